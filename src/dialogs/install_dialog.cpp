#include "dialogs/install_dialog.h"

#include <windows.h>
#include <shlobj.h>

#include "resource_ids.h"
#include "common/unique_any.h"
#include "product/installer_state.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/install_dialog_texts.h"

namespace {

// The folder browser writes its display name here and SHGetPathFromIDList
// the path, both of which the platform sizes as MAX_PATH.
char BrowsedPath[MAX_PATH];

// Fills the dialog from the installed state; every showing starts afresh,
// so a folder rejected after the last showing is shown again for editing.
void OnInitDialog(HWND window) {
  ShowLogo(window, IDC_INSTALL_LOGO);
  SetWindowTextA(window, INSTALL_DIALOG_HEADING);
  SetDlgItemTextA(window, IDC_HEADING, INSTALL_DIALOG_HEADING);
  InstallDialogWording wording =
      InstallDialogTexts(Installer.installed, Installer.previousVersion, Installer.previousFolder);
  SetDlgItemTextA(window, IDC_STATUS, wording.status);
  SetDlgItemTextA(window, IDCANCEL, CANCEL_BUTTON_TEXT);
  SetDlgItemTextA(window, IDOK, wording.confirm);
  SetDlgItemTextA(window, IDC_DESTINATION, Installer.destination);
  // The field and its browse button are locked together: a read-only field
  // with a working browse button would still let the folder change.
  SendDlgItemMessageA(window, IDC_DESTINATION, EM_SETREADONLY, wording.folderLocked ? TRUE : FALSE, 0);
  EnableWindow(GetDlgItem(window, IDC_BROWSE), wording.folderLocked ? FALSE : TRUE);
  // The requirements are shown as met; nothing reads the boxes afterwards.
  SendDlgItemMessageA(window, IDC_REQUIRE_WINDOWS, BM_SETCHECK, BST_CHECKED, 0);
  SendDlgItemMessageA(window, IDC_REQUIRE_DISK, BM_SETCHECK, BST_CHECKED, 0);
  SendDlgItemMessageA(window, IDC_REQUIRE_MEMORY, BM_SETCHECK, BST_CHECKED, 0);
}

// Installing over the running product would fail on its open files, so
// the user is asked to close it first and the dialog waits.
void OnConfirm(HWND window) {
  if (FindWindowA(PRODUCT_WINDOW_CLASS, nullptr) != nullptr) {
    // No owner, as every note of the installer: the box is the user's
    // business, not the dialog's.
    AskUser(PRODUCT_RUNNING_TEXT, MB_OK | MB_ICONERROR, nullptr);
    return;
  }
  // The limit counts the terminator: a longer field gives its first 255
  // characters and the buffer stays terminated.
  GetDlgItemTextA(window, IDC_DESTINATION, Installer.destination, FOLDER_BUFFER_SIZE);
  EndDialog(window, 1);
}

void OnCommand(HWND window, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDOK:
      OnConfirm(window);
      break;
    case IDCANCEL:
      EndDialog(window, 0);
      break;
    case IDC_BROWSE:
      BrowseForDestination(window);
      break;
    default:
      break;
  }
}

}  // namespace

void BrowseForDestination(HWND dialog) {
  BROWSEINFOA browse;
  ZeroMemory(&browse, sizeof browse);
  browse.hwndOwner = dialog;
  browse.pidlRoot = nullptr;  // the whole namespace
  browse.pszDisplayName = BrowsedPath;
  browse.lpszTitle = BROWSE_TITLE;
  browse.ulFlags = 0;
  ItemListOwner item(SHBrowseForFolderA(&browse));
  if (!item.valid()) return;  // cancelled

  BrowsedPath[0] = '\0';
  BOOL converted = SHGetPathFromIDListA(item.get(), BrowsedPath);
  item.reset();
  // A virtual folder (the desktop's "My Computer", a printer) has no path.
  if (converted != TRUE || BrowsedPath[0] == '\0') return;
  if (!DestinationFromBrowsedPath(BrowsedPath, sizeof BrowsedPath, PlatformLeadByte)) return;
  // The destination itself changes only when the user confirms.
  SetDlgItemTextA(dialog, IDC_DESTINATION, BrowsedPath);
}

INT_PTR InstallDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    OnInitDialog(window);
  } else if (message == WM_COMMAND) {
    OnCommand(window, wParam);
  }
  return 0;
}
