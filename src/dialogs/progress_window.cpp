#include "dialogs/progress_window.h"

#include <windows.h>
#include <commctrl.h>

#include "resource_ids.h"
#include "product/installer_state.h"
#include "dialogs/dialog_frame.h"

namespace {

#define ABORT_QUESTION "Abort?"

// The handle is recorded here already, because the window handles messages
// before CreateDialogParamA has returned it.
INT_PTR OnInitDialog(HWND window, WPARAM, LPARAM) {
  ProgressWindow.window = window;
  SendDlgItemMessageA(window, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                      ProgressRangeParam(ProgressWindow.rangeLow, ProgressWindow.rangeHigh));
  return TRUE;
}

INT_PTR OnDestroy(HWND, WPARAM, LPARAM) { return TRUE; }

// The close box and Escape arrive as IDCANCEL.  Stopping is the owner's
// decision, taken between its steps: the window only asks and raises the
// flag, and stays open either way.  The question is owned by the window so
// that the window cannot be used again while it is asked.
INT_PTR OnCommand(HWND window, WPARAM wParam, LPARAM) {
  if (LOWORD(wParam) == IDCANCEL &&
      AskUser(ABORT_QUESTION, MB_YESNO | MB_ICONQUESTION, window) == IDYES) {
    *ProgressWindow.abortFlag = 1;
  }
  return TRUE;
}

}  // namespace

const ProgressMessageRow ProgressMessageTable[PROGRESS_MESSAGE_ROWS] = {
    {WM_INITDIALOG, OnInitDialog},
    {WM_DESTROY, OnDestroy},
    {WM_COMMAND, OnCommand},
};

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (const ProgressMessageRow& row : ProgressMessageTable) {
    if (row.message == message) return row.handler(window, wParam, lParam);
  }
  return FALSE;
}

bool OpenProgress(HWND parent, int rangeLow, int rangeHigh, int32_t* abortFlag) {
  ProgressWindow.rangeLow = rangeLow;
  ProgressWindow.rangeHigh = rangeHigh;
  ProgressWindow.abortFlag = abortFlag;
  *abortFlag = 0;
  HWND window = CreateDialogParamA(Installer.instance, MAKEINTRESOURCEA(IDD_PROGRESS), parent,
                                   ProgressDialogProc, 0);
  ProgressWindow.window = window;
  return window != nullptr;
}

void UpdateProgress(const char* caption, const char* text, int position) {
  if (caption != nullptr) {
    // A title that would not fit is shown cut rather than not at all.
    ComposeProgressTitle(ProgressWindow.title, sizeof ProgressWindow.title, caption, text);
    SetWindowTextA(ProgressWindow.window, ProgressWindow.title);
  }
  // The template has no control 3001: the per-file texts that the
  // installation gives without a caption are not shown.  The window is too
  // low for a status line, and the title already says what is going on.
  if (text != nullptr) SetDlgItemTextA(ProgressWindow.window, IDC_PROGRESS_STATUS, text);
  if (position != -1) {
    SendDlgItemMessageA(ProgressWindow.window, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
}

void PumpProgress() {
  MSG message;
  // One message at most, and no waiting: the installation goes on at once
  // and takes the next message after its next step.
  if (PeekMessageA(&message, ProgressWindow.window, 0, 0, PM_REMOVE)) {
    // Handles the dialog keys (Escape) and dispatches everything else;
    // whether the message was the dialog's is of no interest here.
    IsDialogMessageA(ProgressWindow.window, &message);
  }
}

void PumpProgressPending() {
  MSG message;
  // Bounded: a window that kept posting to itself must not hold the run.
  for (int taken = 0; taken < 64 && PeekMessageA(&message, ProgressWindow.window, 0, 0, PM_NOREMOVE); ++taken)
    PumpProgress();
}

void CloseProgress() { DestroyWindow(ProgressWindow.window); }
