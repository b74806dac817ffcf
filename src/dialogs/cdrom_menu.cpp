#include "dialogs/cdrom_menu.h"

#include <windows.h>

#include "resource_ids.h"
#include "dialogs/cdrom_menu_choice.h"
#include "dialogs/dialog_frame.h"

static_assert(CDROM_CANCELLED == IDCANCEL, "nothing chosen reads as the close box");

namespace {

// Each showing starts with the first choice selected, so that confirming
// at once reports an action rather than a cancel.
void OnInitDialog(HWND window) {
  SendDlgItemMessageA(window, IDC_RUN_PRODUCT, BM_SETCHECK, BST_CHECKED, 0);
  ShowLogo(window, IDC_MENU_LOGO);
}

void OnConfirm(HWND window) {
  INT_PTR states[CDROM_CHOICES];
  for (int i = 0; i < CDROM_CHOICES; ++i) {
    states[i] = SendDlgItemMessageA(window, CDROM_FIRST_CHOICE + i, BM_GETCHECK, 0, 0);
  }
  EndDialog(window, ChooseCdRomAction(states));
}

}  // namespace

INT_PTR CdRomMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    OnInitDialog(window);
  } else if (message == WM_COMMAND) {
    // Clicks on the choices are the radio buttons' own business.
    switch (LOWORD(wParam)) {
      case IDOK:
        OnConfirm(window);
        break;
      case IDCANCEL:
        EndDialog(window, IDCANCEL);
        break;
      default:
        break;
    }
  }
  return 0;
}
