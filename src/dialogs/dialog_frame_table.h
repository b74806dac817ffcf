// The table-driven frame that every modal dialog of the installer runs
// through.  The frame decides which messages reach a dialog's own procedure
// and what the dialog manager is answered; a dialog's own procedure is thus
// a plain message handler.  Pure: the table and its walk build natively.
#pragma once

#include "common/win_types.h"

// A modal dialog's own procedure.  It ends its dialog with EndDialog itself
// and returns 0 for every message it does not handle.
typedef INT_PTR (*UserDialogProc)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

typedef INT_PTR (*FrameHandler)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct FrameMessageRow {
  UINT message;
  FrameHandler handler;
};

constexpr unsigned FRAME_MESSAGE_ROWS = 6;
extern const FrameMessageRow FrameMessageTable[FRAME_MESSAGE_ROWS];

// The procedure of the dialog being shown.  One slot for the whole program:
// only one framed dialog is ever open at a time.
extern UserDialogProc ActiveDialogProc;

// Looks the message up in FrameMessageTable, first row first, and answers
// what the matching row answers; FALSE for any message not in the table.
INT_PTR DispatchFrameMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
