#include <gtest/gtest.h>

#include <cstring>

#include "common/text.h"

TEST(FindSubstringNoCase, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(FindSubstringNoCase("setup /AUTORUN", "/autorun"));
  EXPECT_TRUE(FindSubstringNoCase("/AutoRun", "/autorun"));
  EXPECT_TRUE(FindSubstringNoCase("x/autorunx", "/autorun"));
  EXPECT_FALSE(FindSubstringNoCase("", "/autorun"));
  EXPECT_FALSE(FindSubstringNoCase("/autoru", "/autorun"));
  EXPECT_TRUE(FindSubstringNoCase("anything", ""));
  // Accented letters of the code page are not folded: 0xE9 is not 0xC9.
  EXPECT_FALSE(FindSubstringNoCase("\xE9t\xE9", "\xC9T\xC9"));
  EXPECT_TRUE(FindSubstringNoCase("\xE9T\xE9", "\xE9t\xE9"));
  // '@' (0x40) and '`' (0x60) sit next to the letters but are not letters.
  EXPECT_FALSE(FindSubstringNoCase("@", "`"));
  EXPECT_FALSE(FindSubstringNoCase("[", "{"));
}

TEST(PathJoin, AddsOneBackslashOnlyWhenMissing) {
  char buffer[32];
  ASSERT_TRUE(JoinPath(buffer, sizeof buffer, "C:\\Program Files", "Quavertone"));
  EXPECT_STREQ(buffer, "C:\\Program Files\\Quavertone");
  ASSERT_TRUE(JoinPath(buffer, sizeof buffer, "D:\\Apps\\", "Quavertone.exe"));
  EXPECT_STREQ(buffer, "D:\\Apps\\Quavertone.exe");
  ASSERT_TRUE(JoinPath(buffer, sizeof buffer, "E:\\", "bladeenc.exe"));
  EXPECT_STREQ(buffer, "E:\\bladeenc.exe");
}

TEST(PathJoin, RefusesWhatDoesNotFitAndNeverWritesPastTheBuffer) {
  char buffer[12];
  std::memset(buffer, 'x', sizeof buffer);
  ASSERT_TRUE(JoinPath(buffer, 11, "C:\\a", "bcdef"));  // 10 characters + NUL
  EXPECT_STREQ(buffer, "C:\\a\\bcdef");
  EXPECT_EQ(buffer[11], 'x');
  EXPECT_FALSE(AppendPathName(buffer, 11, "g"));
  EXPECT_STREQ(buffer, "C:\\a\\bcdef");  // unchanged
  EXPECT_FALSE(AppendText(buffer, 11, "g"));
  EXPECT_FALSE(CopyText(buffer, 4, "abcd"));
  EXPECT_STREQ(buffer, "");
  EXPECT_TRUE(CopyText(buffer, 5, "abcd"));
  EXPECT_TRUE(EndsWithBackslash("C:\\"));
  EXPECT_FALSE(EndsWithBackslash(""));
}
