#include "dialogs/progress_state.h"

#include <cstring>

ProgressWindowState ProgressWindow;

namespace {

// Appends as much of source as fits; false when something was left out.
bool AppendCut(char* buffer, size_t capacity, size_t* used, const char* source) {
  size_t length = std::strlen(source);
  size_t room = capacity - 1 - *used;
  size_t taken = length < room ? length : room;
  std::memcpy(buffer + *used, source, taken);
  *used += taken;
  buffer[*used] = '\0';
  return taken == length;
}

}  // namespace

bool ComposeProgressTitle(char* title, size_t capacity, const char* caption, const char* text) {
  if (capacity == 0) return false;
  size_t used = 0;
  title[0] = '\0';
  bool whole = AppendCut(title, capacity, &used, caption);
  whole = AppendCut(title, capacity, &used, PROGRESS_TITLE_SEPARATOR) && whole;
  whole = AppendCut(title, capacity, &used, text != nullptr ? text : "") && whole;
  return whole;
}

LPARAM ProgressRangeParam(int rangeLow, int rangeHigh) {
  uint32_t low = static_cast<uint32_t>(rangeLow) & 0xFFFFu;
  uint32_t high = static_cast<uint32_t>(rangeHigh) & 0xFFFFu;
  // Through uint32_t, as MAKELPARAM does: the word pair is never sign-extended.
  return static_cast<LPARAM>(low | (high << 16));
}
