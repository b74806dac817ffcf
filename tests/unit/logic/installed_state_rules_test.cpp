#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "control/installed_state_rules.h"
#include "control/installer_state.h"

TEST(VersionClass, FollowsTheInstalledFlagAndThePlainUnsignedNumber) {
  struct {
    uint32_t version;
    VersionClass expected;
  } cases[] = {
      {0, VersionClass::Legacy},       {1, VersionClass::Legacy},     {301, VersionClass::Legacy},
      {302, VersionClass::Older},      {999, VersionClass::Older},    {1000, VersionClass::Same},
      {1001, VersionClass::Newer},     {1200, VersionClass::Newer},   {0xFFFFFFFFu, VersionClass::Newer},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassifyInstalledVersion(true, c.version), c.expected) << c.version;
    // Without an installation the number means nothing.
    EXPECT_EQ(ClassifyInstalledVersion(false, c.version), VersionClass::Fresh) << c.version;
  }
  static_assert(PRODUCT_VERSION == 1000 && LEGACY_VERSION_LIMIT == 301, "the release numbers");
}

TEST(ClosingMessage, UpdatedOnlyOverAnOlderRelease) {
  EXPECT_STREQ(ClosingMessageText(VersionClass::Older), UPDATED_TEXT);
  EXPECT_STREQ(ClosingMessageText(VersionClass::Legacy), UPDATED_TEXT);
  EXPECT_STREQ(ClosingMessageText(VersionClass::Fresh), INSTALLED_TEXT);
  EXPECT_STREQ(ClosingMessageText(VersionClass::Same), INSTALLED_TEXT);
  EXPECT_STREQ(ClosingMessageText(VersionClass::Newer), INSTALLED_TEXT);
  EXPECT_STREQ(ClosingMessageText(ClassifyInstalledVersion(true, 1200)),
               "Quavertone has been successfully installed!\r\nWould you like to go Quavertone now?");
  EXPECT_STREQ(ClosingMessageText(ClassifyInstalledVersion(true, 999)),
               "Quavertone has been successfully updated!\r\nWould you like to go Quavertone now?");
}

TEST(DestinationForm, NeedsDriveColonBackslashAndMore) {
  EXPECT_TRUE(IsValidDestinationForm("C:\\x"));
  EXPECT_TRUE(IsValidDestinationForm("C:\\Program Files\\Quavertone"));
  EXPECT_TRUE(IsValidDestinationForm("Q:\\\\"));  // nothing beyond the form is checked
  const char* rejected[] = {"", "C", "C:", "C:\\", "C:x", "CC:\\x", "\\\\server\\share", "\\Quavertone"};
  for (const char* text : rejected) {
    // Exactly sized copies: ASan reports a read past the terminator.
    std::vector<char> copy(text, text + std::strlen(text) + 1);
    EXPECT_FALSE(IsValidDestinationForm(copy.data())) << text;
  }
}

TEST(DefaultFolder, ProgramFolderWithOrWithoutTrailingBackslash) {
  char folder[256];
  ASSERT_TRUE(ComposeDefaultFolder(folder, sizeof folder, "D:\\Apps\\", "C:\\WINDOWS"));
  EXPECT_STREQ(folder, "D:\\Apps\\Quavertone");
  ASSERT_TRUE(ComposeDefaultFolder(folder, sizeof folder, "D:\\Apps", "C:\\WINDOWS"));
  EXPECT_STREQ(folder, "D:\\Apps\\Quavertone");
  // Only one backslash is dropped.
  ASSERT_TRUE(ComposeDefaultFolder(folder, sizeof folder, "D:\\", ""));
  EXPECT_STREQ(folder, "D:\\Quavertone");
}

TEST(DefaultFolder, WithoutProgramFolderTheWindowsDriveIsUsed) {
  char folder[256];
  ASSERT_TRUE(ComposeDefaultFolder(folder, sizeof folder, "", "F:\\WINNT"));
  EXPECT_STREQ(folder, "F:\\Program Files\\Quavertone");
  // A Windows folder not beginning with a drive leaves the base empty.
  ASSERT_TRUE(ComposeDefaultFolder(folder, sizeof folder, "", "\\\\server\\windows"));
  EXPECT_STREQ(folder, "\\Quavertone");
  ASSERT_TRUE(ComposeDefaultFolder(folder, sizeof folder, "", ""));
  EXPECT_STREQ(folder, "\\Quavertone");
  ASSERT_TRUE(ComposeDefaultFolder(folder, sizeof folder, "", "C"));
  EXPECT_STREQ(folder, "\\Quavertone");
}

TEST(DefaultFolder, AProgramFolderTooLongForTheProductNameGivesNoProposal) {
  std::vector<char> folder(256, 'x');
  std::string longest = "C:\\" + std::string(241, 'p');  // 244 + 11 = 255: fits
  ASSERT_TRUE(ComposeDefaultFolder(folder.data(), folder.size(), longest.c_str(), "C:\\WINDOWS"));
  EXPECT_EQ(std::string(folder.data()), longest + "\\Quavertone");
  std::string tooLong = longest + "p";
  EXPECT_FALSE(ComposeDefaultFolder(folder.data(), folder.size(), tooLong.c_str(), "C:\\WINDOWS"));
  EXPECT_STREQ(folder.data(), "");
  std::string huge(255, 'p');
  EXPECT_FALSE(ComposeDefaultFolder(folder.data(), folder.size(), huge.c_str(), ""));
  EXPECT_STREQ(folder.data(), "");
}

TEST(ReadText, IsTerminatedOrRefused) {
  std::vector<char> buffer(8, 'z');
  std::memcpy(buffer.data(), "abc", 4);
  EXPECT_TRUE(TerminateReadText(buffer.data(), buffer.size(), 4));
  EXPECT_STREQ(buffer.data(), "abc");
  // Stored without its terminator: cut at the data's end.
  std::fill(buffer.begin(), buffer.end(), 'z');
  std::memcpy(buffer.data(), "abc", 3);
  EXPECT_TRUE(TerminateReadText(buffer.data(), buffer.size(), 3));
  EXPECT_STREQ(buffer.data(), "abc");
  EXPECT_TRUE(TerminateReadText(buffer.data(), buffer.size(), 0));
  EXPECT_STREQ(buffer.data(), "");
  // A whole buffer of text without a terminator is refused and emptied.
  std::fill(buffer.begin(), buffer.end(), 'z');
  EXPECT_FALSE(TerminateReadText(buffer.data(), buffer.size(), 8));
  EXPECT_STREQ(buffer.data(), "");
  std::fill(buffer.begin(), buffer.end(), 'z');
  EXPECT_FALSE(TerminateReadText(buffer.data(), buffer.size(), 0xFFFFFFFFu));
  // A terminator anywhere in the data is enough.
  std::fill(buffer.begin(), buffer.end(), 'z');
  buffer[7] = '\0';
  EXPECT_TRUE(TerminateReadText(buffer.data(), buffer.size(), 8));
  EXPECT_EQ(std::strlen(buffer.data()), 7u);
}
