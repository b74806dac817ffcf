#include "dialogs/dialog_logo.h"

#include <windows.h>

#include "resource_ids.h"
#include "product/installer_state.h"

void ShowLogo(HWND dialog, int pictureId) {
  // Shared: the system owns the bitmap and frees it with the module, so
  // neither dialog has to delete it when it ends.  Mapping the 3-D colours
  // lets the logo's greys follow the user's colour scheme.
  HANDLE logo = LoadImageA(Installer.instance, MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0,
                           LR_SHARED | LR_LOADMAP3DCOLORS);
  // A null handle is passed on as well: the picture then stays empty.
  SendDlgItemMessageA(dialog, pictureId, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo));
}
