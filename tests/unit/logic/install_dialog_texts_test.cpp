#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialogs/install_dialog_texts.h"

namespace {

const char kInstall[] = "This will install Quavertone into your PC in the specified folder.";
const char kUpdate[] = "This will update your current version of Quavertone.";
const char kNewer[] =
    "A newer version of Quavertone is already installed. If you do not wish to replace your newer version with "
    "this older one, click Cancel.";

}  // namespace

TEST(InstallDialogTexts, WordingAndLockFollowTheInstalledVersion) {
  struct Row {
    bool installed;
    uint32_t version;
    const char* status;
    const char* confirm;
    bool locked;
  };
  const Row rows[] = {
      {false, 0, kInstall, "&I n s t a l l", false},
      // Without an installation the version is not looked at.
      {false, 999, kInstall, "&I n s t a l l", false},
      {false, 1001, kInstall, "&I n s t a l l", false},
      {true, 1000, kInstall, "&I n s t a l l", false},
      {true, 999, kUpdate, "&U p d a t e", true},
      {true, 0, kUpdate, "&U p d a t e", true},
      {true, 301, kUpdate, "&U p d a t e", true},
      {true, 1001, kNewer, "&I n s t a l l", true},
      // Unsigned: the largest version is newer, not negative.
      {true, 0xFFFFFFFFu, kNewer, "&I n s t a l l", true},
      {true, 0x80000000u, kNewer, "&I n s t a l l", true},
  };
  for (const Row& row : rows) {
    InstallDialogWording wording = InstallDialogTexts(row.installed, row.version);
    SCOPED_TRACE(std::to_string(row.installed) + "/" + std::to_string(row.version));
    EXPECT_STREQ(wording.status, row.status);
    EXPECT_STREQ(wording.confirm, row.confirm);
    EXPECT_EQ(wording.folderLocked, row.locked);
  }
}

TEST(DestinationFromBrowsedPath, AppendsTheProductFolder) {
  struct Row {
    const char* browsed;
    const char* destination;
  } rows[] = {
      {"C:\\", "C:\\Quavertone"},
      {"D:\\Music", "D:\\Music\\Quavertone"},
      {"D:\\Music\\", "D:\\Music\\Quavertone"},
      {"\\\\server\\share", "\\\\server\\share\\Quavertone"},
  };
  for (const Row& row : rows) {
    char path[260];
    std::strcpy(path, row.browsed);
    EXPECT_TRUE(DestinationFromBrowsedPath(path, sizeof path)) << row.browsed;
    EXPECT_STREQ(path, row.destination);
  }
}

TEST(DestinationFromBrowsedPath, RefusesAnEmptyPathAndOneTooLongForTheDestination) {
  char path[260] = "";
  EXPECT_FALSE(DestinationFromBrowsedPath(path, sizeof path));
  EXPECT_STREQ(path, "");

  // "\Quavertone" is 11 characters: a folder of 244 gives exactly 255, the
  // most the destination holds; one more would be cut on confirming.
  std::string fits = "C:\\" + std::string(241, 'a');
  ASSERT_EQ(fits.size(), 244u);
  std::strcpy(path, fits.c_str());
  EXPECT_TRUE(DestinationFromBrowsedPath(path, sizeof path));
  EXPECT_EQ(std::strlen(path), 255u);
  EXPECT_EQ(std::string(path), fits + "\\Quavertone");

  // Ending in a backslash saves one: 245 characters still fit.
  std::string rooted = "C:\\" + std::string(241, 'a') + "\\";
  std::strcpy(path, rooted.c_str());
  EXPECT_TRUE(DestinationFromBrowsedPath(path, sizeof path));
  EXPECT_EQ(std::strlen(path), 255u);

  for (size_t length : {245u, 248u, 249u, 259u}) {
    std::string tooLong = "C:\\" + std::string(length - 3, 'b');
    std::strcpy(path, tooLong.c_str());
    EXPECT_FALSE(DestinationFromBrowsedPath(path, sizeof path)) << length;
    EXPECT_EQ(std::string(path), tooLong) << "a refused path stays as it was";
  }
}

TEST(DestinationFromBrowsedPath, NeverWritesPastASmallBuffer) {
  // Exactly sized heap buffers, so that the sanitizer sees any byte past them.
  char* path = new char[14];
  std::strcpy(path, "C:\\");
  EXPECT_TRUE(DestinationFromBrowsedPath(path, 14));
  EXPECT_STREQ(path, "C:\\Quavertone");
  delete[] path;

  path = new char[13];
  std::strcpy(path, "C:\\");
  EXPECT_FALSE(DestinationFromBrowsedPath(path, 13));
  EXPECT_STREQ(path, "C:\\");
  delete[] path;
}
