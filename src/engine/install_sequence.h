// The installation proper, once the user has confirmed a valid destination.
#pragma once

// Creates the destination folder, expands every file of the table into it
// behind the progress window, records the installation, starts the encoder
// setup from the CD-ROM, registers the uninstall entry and adds the
// shortcuts.  If the user confirms "Abort?" during the files, the run ends
// there (exit code 0) with no record, entry or shortcut made.
void InstallProduct();

// Uninstall entry in the system's list of removable programs.
void RegisterUninstall();
