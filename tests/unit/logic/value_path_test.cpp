#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "registry/product_records.h"
#include "registry/value_path.h"

namespace {

struct Split {
  bool answer;
  std::string key;
  std::string value;
};

// Splits in a heap buffer of exactly VALUE_PATH_BUFFER_SIZE bytes, so that
// AddressSanitizer reports any access past it.
Split SplitIn(const char* prefix, const char* path) {
  std::vector<char> work(VALUE_PATH_BUFFER_SIZE);
  const char* valueName = nullptr;
  bool answer = SplitValuePath(work.data(), work.size(), prefix, path, &valueName);
  EXPECT_GE(valueName, work.data());
  EXPECT_LT(valueName, work.data() + work.size());
  return {answer, work.data(), valueName};
}

}  // namespace

TEST(ValuePath, ProductPathsFollowThePrefixWithNoSeparatorAdded) {
  Split s = SplitIn(PRODUCT_KEY_PATH, PROGRAM_DIRECTORY_RECORD);
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "Software\\Quavertone");
  EXPECT_EQ(s.value, "ProgramDirectory");

  s = SplitIn(PRODUCT_KEY_PATH, "Options\\Mode");
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "Software\\QuavertoneOptions");
  EXPECT_EQ(s.value, "Mode");

  // The prefix alone still has a separator: its last element is the value.
  s = SplitIn(PRODUCT_KEY_PATH, "");
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "Software");
  EXPECT_EQ(s.value, "Quavertone");
}

TEST(ValuePath, ATrailingBackslashNamesTheDefaultValue) {
  Split s = SplitIn(PRODUCT_KEY_PATH, "\\Options\\");
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "Software\\Quavertone\\Options");
  EXPECT_EQ(s.value, "");

  s = SplitIn(PRODUCT_KEY_PATH, "\\");
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "Software\\Quavertone");
  EXPECT_EQ(s.value, "");

  // Only the one backslash goes.
  s = SplitIn(nullptr, "A\\B\\\\");
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "A\\B\\");
  EXPECT_EQ(s.value, "");
}

TEST(ValuePath, RootGivenPathsAreUsedUnchanged) {
  Split s = SplitIn(nullptr, PROGRAM_FILES_DIR_RECORD);
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
  EXPECT_EQ(s.value, "ProgramFilesDir");

  s = SplitIn(nullptr, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone\\UninstallString");
  EXPECT_EQ(s.key, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone");
  EXPECT_EQ(s.value, "UninstallString");

  // A leading backslash leaves an empty key path: the root itself.
  s = SplitIn(nullptr, "\\Value");
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "");
  EXPECT_EQ(s.value, "Value");
}

TEST(ValuePath, RootGivenPathsWithoutASeparatorNameNoKey) {
  EXPECT_FALSE(SplitIn(nullptr, "").answer);
  EXPECT_FALSE(SplitIn(nullptr, "ProgramFilesDir").answer);
}

TEST(ValuePath, PathsThatDoNotFitTheWorkBufferAreRefusedWithoutOverrun) {
  const std::string prefix = PRODUCT_KEY_PATH;
  ASSERT_EQ(prefix.size(), 19u);
  // 19 + 236 = 255 characters fit; one more does not.
  std::string fits = "\\" + std::string(235, 'a');
  Split s = SplitIn(PRODUCT_KEY_PATH, fits.c_str());
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.value, std::string(235, 'a'));
  std::string tooLong = fits + "b";
  s = SplitIn(PRODUCT_KEY_PATH, tooLong.c_str());
  EXPECT_FALSE(s.answer);
  EXPECT_EQ(s.key, "");
  EXPECT_EQ(s.value, "");
  EXPECT_FALSE(SplitIn(PRODUCT_KEY_PATH, std::string(5000, '\\').c_str()).answer);

  std::string rootFits = "K\\" + std::string(253, 'v');
  s = SplitIn(nullptr, rootFits.c_str());
  EXPECT_TRUE(s.answer);
  EXPECT_EQ(s.key, "K");
  EXPECT_FALSE(SplitIn(nullptr, (rootFits + "v").c_str()).answer);
}

TEST(ValuePath, TheCallersTextIsNeverChanged) {
  const std::string original = "\\Options\\Mode\\";
  std::vector<char> path(original.begin(), original.end());
  path.push_back('\0');
  SplitIn(PRODUCT_KEY_PATH, path.data());
  EXPECT_EQ(std::string(path.data()), original);
}
