#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/file_table.h"

namespace {

std::vector<std::string> Levels(const char* destination) {
  std::vector<std::string> levels;
  ForEachFolderLevel(
      destination, [](const char* folder, void* context) { static_cast<std::vector<std::string>*>(context)->push_back(folder); },
      &levels);
  return levels;
}

}  // namespace

TEST(FileTable, FiveExtractRowsInInstallationOrder) {
  const char* names[] = {"Quavertone.exe", "Quavertone.chm", "akrip32.dll", "npmod32.dll", "tonekit.exe"};
  for (unsigned i = 0; i < FILE_TABLE_ROWS; ++i) {
    EXPECT_STREQ(FileTable[i].Name, names[i]);
    EXPECT_EQ(FileTable[i].ResourceId, 5000 + i);
    EXPECT_EQ(FileTable[i].Flags, FILE_EXTRACT);
  }
}

TEST(FileTable, FoldersAreCreatedLevelByLevel) {
  EXPECT_EQ(Levels("C:\\New\\Deeper\\Quavertone"),
            (std::vector<std::string>{"C:\\New", "C:\\New\\Deeper", "C:\\New\\Deeper\\Quavertone"}));
  EXPECT_EQ(Levels("D:\\Apps\\"), (std::vector<std::string>{"D:\\Apps"}));
  EXPECT_EQ(Levels("C:\\x"), (std::vector<std::string>{"C:\\x"}));
  EXPECT_TRUE(Levels("C:\\").empty());
  EXPECT_TRUE(Levels("C:").empty());
  // 255 characters fit; the last level is the whole destination.
  std::string longest = "C:\\" + std::string(252, 'd');
  EXPECT_EQ(Levels(longest.c_str()).back(), longest);
  EXPECT_TRUE(Levels(("C:\\" + std::string(253, 'd')).c_str()).empty());
}

TEST(FileTable, UninstallStringQuotesTheProgramPath) {
  char buffer[UNINSTALL_STRING_SIZE];
  ASSERT_TRUE(ComposeUninstallString(buffer, sizeof buffer, "C:\\Program Files\\Quavertone"));
  EXPECT_STREQ(buffer, "\"C:\\Program Files\\Quavertone\\Quavertone.exe\" /uninstall");
  ASSERT_TRUE(ComposeUninstallString(buffer, sizeof buffer, "D:\\Apps\\"));
  EXPECT_STREQ(buffer, "\"D:\\Apps\\Quavertone.exe\" /uninstall");
  // The longest destination fits the buffer.
  std::string longest = "C:\\" + std::string(252, 'd');
  EXPECT_TRUE(ComposeUninstallString(buffer, sizeof buffer, longest.c_str()));
  EXPECT_FALSE(ComposeUninstallString(buffer, 40, longest.c_str()));
  EXPECT_STREQ(buffer, "");
}
