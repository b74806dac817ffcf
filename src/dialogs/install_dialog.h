// The install dialog (template 1000): confirms the installation and, where
// the installed state allows it, lets the user choose the destination.
#pragma once

#include "common/win_types.h"

// The dialog's own procedure, run through ShowModalDialog(NULL, 1000,
// InstallDialogProc).  The dialog ends with 1 when the user confirmed
// (Installer.destination then holds the edit field, at most 255
// characters) and with 0 when the user cancelled or closed it (the
// destination unchanged).
INT_PTR InstallDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Lets the user pick a folder with the system's folder browser and puts
// that folder followed by "\Quavertone" into the edit field.  Cancelling,
// a folder without a file-system path, or a result too long for the
// destination leaves the field as it was.
void BrowseForDestination(HWND dialog);
