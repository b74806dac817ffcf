// The product logo in the picture holder of a dialog.
#pragma once

#include "common/win_types.h"

// Loads bitmap 200 and puts it into the dialog's picture control.  A logo
// that cannot be loaded leaves the picture empty; the dialog works as usual.
void ShowLogo(HWND dialog, int pictureId);
