// The command-line tail: the command line without the program's own name.
#pragma once

#include "common/text.h"

// A leading quoted name is skipped up to and including its closing quote,
// a double-byte lead byte inside the quotes taking its trail byte with it
// (a trail byte may be '"'); an unquoted name is skipped up to the first
// character at or below the blank; then blanks and control characters are
// skipped.  Never reads past the terminating NUL.
const char* CommandTail(const char* commandLine, LeadBytePredicate isLeadByte);
