#include "dialogs/dialog_frame.h"

#include "product/installer_state.h"

void FatalError(const char* message) {
  // No owner: the error may arise while no window of ours exists, and the
  // box must stay usable whatever state the other windows are in.
  MessageBoxA(nullptr, message, FATAL_ERROR_CAPTION, MB_OK | MB_ICONERROR);
  ExitProcess(0);
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
