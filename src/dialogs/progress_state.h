// The progress window's record and the rules that need no window: how its
// title is composed and how the range reaches the bar.  Pure: no Windows
// header, so the rules build natively and are unit-tested.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/win_types.h"

// The title is composed in a buffer of this size: caption and text of at
// most 248 characters together, the separator and the terminator.
constexpr size_t PROGRESS_TITLE_SIZE = 256;
#define PROGRESS_TITLE_SEPARATOR "  ---  "

// There is never more than one progress window, so its state is one
// process-wide record.  It keeps its values after the window is closed.
struct ProgressWindowState {
  HWND window;
  int rangeLow;   // the bar takes each bound as a 16-bit value
  int rangeHigh;
  int32_t* abortFlag;  // the owner's; the window writes 0 and 1, never reads
  char title[PROGRESS_TITLE_SIZE];
};

extern ProgressWindowState ProgressWindow;

// title = caption + "  ---  " + text, in a buffer of capacity bytes; a null
// text counts as empty.  The callers keep within the buffer; should one
// ever pass more, the title is cut at the end of the buffer (still
// terminated) rather than written past it, and the answer is false.
bool ComposeProgressTitle(char* title, size_t capacity, const char* caption, const char* text);

// The lParam of PBM_SETRANGE: the low bound in the low 16 bits and the high
// bound in the next 16, each cut to its own low 16 bits as the bar reads
// them (a bound above 65535 reaches the bar as its low 16 bits).
LPARAM ProgressRangeParam(int rangeLow, int rangeHigh);
