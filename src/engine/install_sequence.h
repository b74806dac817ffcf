// The installation proper, once the user has confirmed a valid destination.
#pragma once

#include "engine/install_journal.h"

// Creates the destination folder, expands every file of the table into it
// behind the progress window, records the installation, starts the encoder
// setup from the CD-ROM, registers the uninstall entry and adds the
// shortcuts.  The files go in all or nothing: when one cannot be created or
// written, or the user confirms "Abort?" during the files, everything this
// run did to the destination is undone and nothing is recorded; the answer
// says why, and the caller decides how the run ends.  Once the files are
// in they stay: RecordsFailed then says a record, a value of the uninstall
// entry or a shortcut could not be written.
InstallOutcome InstallProduct();

// Uninstall entry in the system's list of removable programs, replacing any
// earlier one whole; false when a value of it could not be written.
bool RegisterUninstall();
