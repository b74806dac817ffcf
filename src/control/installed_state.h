// The earlier installation, the proposed destination folder, and the
// decisions that depend on them: the legacy-uninstall offer, the check of the
// folder the user confirmed, and the closing message.  All of them read and
// write the installed-state fields of Installer (installer_state.h).
#pragma once

// Sets Installer.installed, previousVersion and previousFolder from the
// product's records.  An installation counts only when both ProgramDirectory
// and ProgramVersion can be read; otherwise installed is clear,
// previousFolder empty and previousVersion 0.
void DetectInstalledProduct();

// Sets Installer.destination: the earlier installation's folder when it has
// the form of a destination and is fixed (or proposed, unless "/D=" gave
// one), the folder "/D=" gave, or else the system's program folder (or the
// Windows drive's "\Program Files") followed by "\Quavertone".
void ChooseDefaultFolder();

// Over a legacy release, asks the user to let its own uninstaller run first,
// runs it from the earlier folder and, once it has ended, detects the
// installed state and proposes the folder again.  Answers go on (true) or stop
// (false, the user cancelled); no question at all for other releases.
bool OfferLegacyUninstall();

// Answers whether Installer.destination has the form of a full folder path
// ("X:\" and more); tells the user when it has not.
bool ValidateDestination();

// The closing message; starts the installed product when the user says yes.
void ReportSuccess();
