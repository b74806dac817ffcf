#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/shortcut_paths.h"

TEST(ShortcutPaths, TargetAndFileJoinWithOneBackslash) {
  char buffer[SHORTCUT_PATH_SIZE];
  ASSERT_TRUE(ComposeShortcutTarget(buffer, sizeof buffer, "C:\\Program Files\\Quavertone"));
  EXPECT_STREQ(buffer, "C:\\Program Files\\Quavertone\\Quavertone.exe");
  ASSERT_TRUE(ComposeShortcutTarget(buffer, sizeof buffer, "D:\\Apps\\"));
  EXPECT_STREQ(buffer, "D:\\Apps\\Quavertone.exe");
  std::strcpy(buffer, "C:\\users\\root\\Desktop");
  ASSERT_TRUE(AppendShortcutFileName(buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "C:\\users\\root\\Desktop\\Quavertone.lnk");
}

TEST(ShortcutPaths, PathsThatDoNotFit260BytesAreRefused) {
  char buffer[SHORTCUT_PATH_SIZE + 8];
  std::memset(buffer, 'z', sizeof buffer);
  // A destination of 255 characters gives a 270-character target.
  std::string destination = "C:\\" + std::string(252, 'd');
  EXPECT_FALSE(ComposeShortcutTarget(buffer, SHORTCUT_PATH_SIZE, destination.c_str()));
  EXPECT_EQ(buffer[SHORTCUT_PATH_SIZE], 'z');
  // 244 + "\Quavertone.exe" = 259 characters: the longest that fits.
  destination = "C:\\" + std::string(241, 'd');
  EXPECT_TRUE(ComposeShortcutTarget(buffer, SHORTCUT_PATH_SIZE, destination.c_str()));
  EXPECT_EQ(std::strlen(buffer), 259u);
  std::string folder = "C:\\" + std::string(242, 'f');  // 245 + 15 = 260: one too many
  std::strcpy(buffer, folder.c_str());
  EXPECT_FALSE(AppendShortcutFileName(buffer, SHORTCUT_PATH_SIZE));
  EXPECT_EQ(std::string(buffer), folder);
}
