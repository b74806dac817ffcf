// The command-line tail: the command line without the program's own name.
#pragma once

#include "common/text.h"
#include "product/installer_state.h"

// A leading quoted name is skipped up to and including its closing quote,
// a double-byte lead byte inside the quotes taking its trail byte with it
// (a trail byte may be '"'); an unquoted name is skipped up to the first
// character at or below the blank; then blanks and control characters are
// skipped.  Never reads past the terminating NUL.
const char* CommandTail(const char* commandLine, LeadBytePredicate isLeadByte);

// What the command tail asks for.  "/D=" beginning a word starts the folder,
// which runs to the end of the tail (blanks included, no quotes; blanks at
// its end dropped); the other switches are read before it: "/autorun"
// anywhere, in any letter case, and "/S", upper case, as a word of its own.
struct CommandSwitches {
  bool autorun;
  bool silent;
  bool folderGiven;
  // The folder given, or empty when it is empty or longer than a folder may
  // be (255 characters): no destination can then be made of it.
  char folder[FOLDER_BUFFER_SIZE];
};

void ReadCommandSwitches(const char* tail, CommandSwitches* switches);
