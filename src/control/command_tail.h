// What the command-line tail asks for.
#pragma once

#include "common/text.h"
#include "product/installer_state.h"

// The log's path buffer: the platform's full path size.
constexpr unsigned LOG_PATH_BUFFER_SIZE = 260;

// "/D=" beginning a word starts the folder, which runs to the end of the
// tail (blanks included; blanks at its end dropped; one pair of double
// quotes around it taken off); the other switches are read before it:
// "/autorun" anywhere, in any letter case; "/S" or "/s" as a word of its
// own; "/LOG=" (any letter case) beginning a word, its file to the next
// blank or, when it begins with a double quote, to the next one.
struct CommandSwitches {
  bool autorun;
  bool silent;
  bool folderGiven;
  // The folder given, or empty when it is empty or longer than a folder may
  // be (255 characters): no destination can then be made of it.
  char folder[FOLDER_BUFFER_SIZE];
  // The log file, or empty: none asked for, or too long for a path.
  char log[LOG_PATH_BUFFER_SIZE];
};

void ReadCommandSwitches(const char* tail, CommandSwitches* switches);
