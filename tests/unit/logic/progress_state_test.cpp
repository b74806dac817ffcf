#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialogs/progress_state.h"

TEST(ComposeProgressTitle, CaptionSeparatorTextWithNothingBetween) {
  char title[PROGRESS_TITLE_SIZE];
  EXPECT_TRUE(ComposeProgressTitle(title, sizeof title, "Installing Quavertone", "Working ... "));
  EXPECT_STREQ(title, "Installing Quavertone  ---  Working ... ");
  EXPECT_TRUE(ComposeProgressTitle(title, sizeof title, "", ""));
  EXPECT_STREQ(title, "  ---  ");
  EXPECT_TRUE(ComposeProgressTitle(title, sizeof title, "Caption", nullptr));
  EXPECT_STREQ(title, "Caption  ---  ");
}

TEST(ComposeProgressTitle, FillsTheBufferExactlyAtTheCallersLimit) {
  // Callers keep caption and text within 248 characters together.
  std::string caption(200, 'c');
  std::string text(48, 't');
  char* title = new char[PROGRESS_TITLE_SIZE];
  EXPECT_TRUE(ComposeProgressTitle(title, PROGRESS_TITLE_SIZE, caption.c_str(), text.c_str()));
  EXPECT_EQ(std::strlen(title), 255u);
  EXPECT_EQ(std::string(title), caption + "  ---  " + text);
  delete[] title;
}

TEST(ComposeProgressTitle, CutsAnOverlongTitleInsideTheBuffer) {
  char* title = new char[PROGRESS_TITLE_SIZE];  // heap: the sanitizer sees any byte past it
  std::string caption(200, 'c');
  std::string text(49, 't');
  EXPECT_FALSE(ComposeProgressTitle(title, PROGRESS_TITLE_SIZE, caption.c_str(), text.c_str()));
  EXPECT_EQ(std::string(title), (caption + "  ---  " + text).substr(0, 255));

  std::string huge(1000, 'h');
  EXPECT_FALSE(ComposeProgressTitle(title, PROGRESS_TITLE_SIZE, huge.c_str(), "text"));
  EXPECT_EQ(std::string(title), huge.substr(0, 255));
  EXPECT_FALSE(ComposeProgressTitle(title, PROGRESS_TITLE_SIZE, "Installing", huge.c_str()));
  EXPECT_EQ(std::string(title), ("Installing  ---  " + huge).substr(0, 255));
  delete[] title;

  char tiny[4];
  EXPECT_FALSE(ComposeProgressTitle(tiny, sizeof tiny, "Installing", "x"));
  EXPECT_STREQ(tiny, "Ins");
}

TEST(ProgressRangeParam, EachBoundTakesSixteenBits) {
  EXPECT_EQ(ProgressRangeParam(0, 5), static_cast<LPARAM>(0x00050000));
  EXPECT_EQ(ProgressRangeParam(3, 70000), static_cast<LPARAM>((70000 & 0xFFFF) << 16 | 3));
  EXPECT_EQ(ProgressRangeParam(65536 + 7, 9), static_cast<LPARAM>(0x00090007));
  // High words with the top bit set stay positive: no sign extension into
  // a 64-bit LPARAM.
  EXPECT_EQ(ProgressRangeParam(0, 0xFFFF), static_cast<LPARAM>(0xFFFF0000u));
  EXPECT_EQ(ProgressRangeParam(-1, -1), static_cast<LPARAM>(0xFFFFFFFFu));
  EXPECT_GT(ProgressRangeParam(0, 0x8000), 0);
}
