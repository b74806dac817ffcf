#include <gtest/gtest.h>

#include <vector>

#include "dialogs/dialog_frame_table.h"

namespace {

struct Call {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Call> calls;
INT_PTR answer = 0;

INT_PTR RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  calls.push_back({window, message, wParam, lParam});
  return answer;
}

HWND const kWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));

}  // namespace

TEST(DialogFrame, TableRowsInOrder) {
  const UINT expected[] = {0x0110, 0x0002, 0x0111, 0x002B, 0x0114, 0x0115};
  for (unsigned i = 0; i < FRAME_MESSAGE_ROWS; ++i) EXPECT_EQ(FrameMessageTable[i].message, expected[i]) << "row " << i + 1;
}

TEST(DialogFrame, ForwardsTheTableRowsUnchangedAndAnswersAsTheTableSays) {
  ActiveDialogProc = RecordingProc;
  answer = 77;
  struct Row {
    UINT message;
    bool forwarded;
    INT_PTR frameAnswer;
  };
  const Row rows[] = {
      {0x0110, true, 1},   // WM_INITDIALOG: TRUE whatever the dialog says
      {0x0002, false, 1},  // WM_DESTROY: never reaches the dialog
      {0x0111, true, 0},   // WM_COMMAND
      {0x002B, true, 77},  // WM_DRAWITEM: the dialog's own answer
      {0x0114, true, 0},   // WM_HSCROLL
      {0x0115, true, 0},   // WM_VSCROLL
      {0x0010, false, 0},  // WM_CLOSE: left to the dialog manager
      {0x0030, false, 0},  // WM_SETFONT
      {0x0001, false, 0},  // WM_CREATE
  };
  // Values that would be cut on a 32-bit LPARAM/WPARAM round trip if the
  // frame ever narrowed them.
  const WPARAM wParam = static_cast<WPARAM>(~static_cast<WPARAM>(0) - 5);
  const LPARAM lParam = -123456;
  for (const Row& row : rows) {
    calls.clear();
    EXPECT_EQ(DispatchFrameMessage(kWindow, row.message, wParam, lParam), row.frameAnswer) << std::hex << row.message;
    if (row.forwarded) {
      ASSERT_EQ(calls.size(), 1u) << std::hex << row.message;
      EXPECT_EQ(calls[0].window, kWindow);
      EXPECT_EQ(calls[0].message, row.message);
      EXPECT_EQ(calls[0].wParam, wParam);
      EXPECT_EQ(calls[0].lParam, lParam);
    } else {
      EXPECT_TRUE(calls.empty()) << std::hex << row.message;
    }
  }
  answer = 0;
  EXPECT_EQ(DispatchFrameMessage(kWindow, 0x002B, 0, 0), 0);
}
