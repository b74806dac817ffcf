#include "dialogs/dialog_frame_table.h"

UserDialogProc ActiveDialogProc = nullptr;

namespace {

constexpr UINT MSG_INITDIALOG = 0x0110;
constexpr UINT MSG_DESTROY = 0x0002;
constexpr UINT MSG_COMMAND = 0x0111;
constexpr UINT MSG_DRAWITEM = 0x002B;
constexpr UINT MSG_HSCROLL = 0x0114;
constexpr UINT MSG_VSCROLL = 0x0115;

INT_PTR CallActive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ActiveDialogProc != nullptr ? ActiveDialogProc(window, message, wParam, lParam) : 0;
}

// TRUE lets the dialog manager give the focus to the first tab stop.
INT_PTR OnInitDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CallActive(window, message, wParam, lParam);
  return 1;
}

// The dialog's own procedure never sees its window being destroyed.
INT_PTR OnDestroy(HWND, UINT, WPARAM, LPARAM) { return 1; }

// Commands, scroll bars: the dialog's answer is of no interest to the
// dialog manager.
INT_PTR ForwardAnswerFalse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CallActive(window, message, wParam, lParam);
  return 0;
}

// Owner-drawn controls: the dialog's own answer says whether it drew.
INT_PTR ForwardOwnAnswer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallActive(window, message, wParam, lParam);
}

}  // namespace

const FrameMessageRow FrameMessageTable[FRAME_MESSAGE_ROWS] = {
    {MSG_INITDIALOG, OnInitDialog},      {MSG_DESTROY, OnDestroy},
    {MSG_COMMAND, ForwardAnswerFalse},   {MSG_DRAWITEM, ForwardOwnAnswer},
    {MSG_HSCROLL, ForwardAnswerFalse},   {MSG_VSCROLL, ForwardAnswerFalse},
};

INT_PTR DispatchFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const FrameMessageRow& row : FrameMessageTable) {
    if (row.message == message) return row.handler(window, message, wParam, lParam);
  }
  return 0;
}
