// The progress window (template 3000): the one modeless window of the
// installer.  Its owner drives it by hand from its own thread: open, any
// number of updates and pumps, close.
#pragma once

#include <cstdint>

#include "common/win_types.h"
#include "dialogs/progress_state.h"

// Handles one message of the progress window; FALSE leaves it to the
// dialog manager.
typedef INT_PTR (*ProgressHandler)(HWND window, WPARAM wParam, LPARAM lParam);

struct ProgressMessageRow {
  UINT message;
  ProgressHandler handler;
};

constexpr unsigned PROGRESS_MESSAGE_ROWS = 3;
extern const ProgressMessageRow ProgressMessageTable[PROGRESS_MESSAGE_ROWS];

// The dialog procedure of the progress window: looks the message up in
// ProgressMessageTable, first row first.
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Stores 0 in *abortFlag and shows the window, centred, with the bar's
// range set to rangeLow..rangeHigh (each taken as 16 bits).  False when the
// window cannot be created: the caller ends the run with "ERROR: General
// Failure!".
bool OpenProgress(HWND parent, int rangeLow, int rangeHigh, int32_t* abortFlag);

// With a caption, the title becomes caption + "  ---  " + text.  A text
// also goes to the status line 3001 (the window has none, so a text alone
// shows nowhere).  A position other than -1 moves the bar.
void UpdateProgress(const char* caption, const char* text, int position);

// Lets the window handle at most one pending message, without waiting.  A
// close request or Escape asks "Abort?" here and, on Yes, stores 1 in the
// abort flag.
void PumpProgress();

// Lets the window handle every message already waiting, one by one.
void PumpProgressPending();

void CloseProgress();
