// The CD-ROM menu (template 4000): the five things the product CD offers
// once the product is installed.
#pragma once

#include "common/win_types.h"

// The dialog's own procedure, run through ShowModalDialog(NULL, 4000,
// CdRomMenuProc).  The dialog ends with the id of the chosen action (4001
// to 4005) when the user confirms, and with 2 (IDCANCEL) when the user
// cancels, closes it, or confirms with no choice selected.
INT_PTR CdRomMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
