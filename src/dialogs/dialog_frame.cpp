#include "dialogs/dialog_frame.h"

#include "common/log_file.h"
#include "resource_ids.h"
#include "product/installer_state.h"

void EndRun(uint32_t unattendedCode) {
  uint32_t code = Installer.silent ? unattendedCode : 0;
  LogNumber("exit code", nullptr, code);
  ExitProcess(code);
}

void FatalError(const char* message) {
  Log(message);
  if (Installer.silent) EndRun(EXIT_FAILED);
  // No owner: the error may arise while no window of ours exists, and the
  // box must stay usable whatever state the other windows are in.
  MessageBoxA(nullptr, message, FATAL_ERROR_CAPTION, MB_OK | MB_ICONERROR);
  EndRun(EXIT_FAILED);
}

int AskUser(const char* text, UINT style, HWND owner) {
  return MessageBoxA(owner, text, QUESTION_CAPTION, style);
}

INT_PTR ShowModalDialog(HWND parent, int templateId, UserDialogProc userProc) {
  ActiveDialogProc = userProc;
  INT_PTR result = DialogBoxParamA(Installer.instance,
                                   MAKEINTRESOURCEA(templateId), parent, DialogFrame, 0);
  if (result == -1) FatalError(GENERAL_FAILURE_TEXT);
  return result;
}

INT_PTR CALLBACK DialogFrame(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DispatchFrameMessage(window, message, wParam, lParam);
}

void ShowLogo(HWND dialog, int pictureId) {
  // Shared: the system owns the bitmap and frees it with the module, so
  // neither dialog has to delete it when it ends.  Mapping the 3-D colours
  // lets the logo's greys follow the user's colour scheme.
  HANDLE logo = LoadImageA(Installer.instance, MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0,
                           LR_SHARED | LR_LOADMAP3DCOLORS);
  // A null handle is passed on as well: the picture then stays empty.
  SendDlgItemMessageA(dialog, pictureId, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo));
}
