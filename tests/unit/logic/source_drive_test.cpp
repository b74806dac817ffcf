#include <gtest/gtest.h>

#include <cstring>

#include "companions/source_drive.h"

TEST(SourceDrive, IsTheCharacterBeforeTheFirstColon) {
  EXPECT_EQ(SourceDrive("\"E:\\SETUP.EXE\" /autorun"), 'E');
  EXPECT_EQ(SourceDrive("E:\\setup.exe"), 'E');
  EXPECT_EQ(SourceDrive("setup.exe C:\\x D:\\y"), 'C');  // first ':' wins, even in the tail
  EXPECT_EQ(SourceDrive("setup.exe /autorun"), '\0');
  EXPECT_EQ(SourceDrive(""), '\0');
  EXPECT_EQ(SourceDrive(":odd"), '\0');  // nothing before it
}

TEST(SourceDrive, CdRomPathsPutTheDriveInPlaceOfX) {
  char buffer[32];
  ASSERT_TRUE(CdRomPath(buffer, sizeof buffer, 'E', "directx\\dxsetup.exe"));
  EXPECT_STREQ(buffer, "E:\\directx\\dxsetup.exe");
  ASSERT_TRUE(CdRomPath(buffer, sizeof buffer, 'E', ""));
  EXPECT_STREQ(buffer, "E:\\");
  EXPECT_FALSE(CdRomPath(buffer, sizeof buffer, '\0', "bladeenc.exe"));
  char small[8];
  EXPECT_FALSE(CdRomPath(small, sizeof small, 'E', "bladeenc.exe"));
}
