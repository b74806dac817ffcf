#include <gtest/gtest.h>

#include "control/command_tail.h"

namespace {

// Shift-JIS lead bytes, as code page 932 has them.
bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

TEST(CommandTail, SkipsQuotedAndUnquotedNamesAndTheBlanksAfter) {
  EXPECT_STREQ(CommandTail("\"E:\\setup.exe\" /autorun", nullptr), "/autorun");
  EXPECT_STREQ(CommandTail("\"C:\\My Files\\setup.exe\"/x", nullptr), "/x");
  EXPECT_STREQ(CommandTail("setup.exe  \t /autorun x", nullptr), "/autorun x");
  EXPECT_STREQ(CommandTail("setup.exe", nullptr), "");
  EXPECT_STREQ(CommandTail("\"setup.exe", nullptr), "");   // no closing quote
  EXPECT_STREQ(CommandTail("", nullptr), "");
  EXPECT_STREQ(CommandTail("\"\"  a", nullptr), "a");
  // The switch inside the program's own path is not part of the tail.
  EXPECT_STREQ(CommandTail("\"C:\\x/autorunx\\setup.exe\"", nullptr), "");
  EXPECT_STREQ(CommandTail("C:\\x/autorunx\\setup.exe", nullptr), "");
}

TEST(CommandTail, ADoubleByteCharacterInQuotesTakesItsTrailByte) {
  // 0x94 0x22 is one character whose trail byte happens to be '"'.
  EXPECT_STREQ(CommandTail("\"C:\\\x94\"\\setup.exe\" /autorun", ShiftJisLead), "/autorun");
  // Without the lead-byte rule the trail byte ends the name early.
  EXPECT_STREQ(CommandTail("\"C:\\\x94\"\\setup.exe\" /autorun", nullptr), "\\setup.exe\" /autorun");
  // A lead byte just before the terminator must not step over it.
  EXPECT_STREQ(CommandTail("\"C:\\\x94", ShiftJisLead), "");
}
