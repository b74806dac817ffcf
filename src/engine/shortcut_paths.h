// The two texts of a product shortcut, each composed in a 260-byte buffer.
// Pure: the rules are tested natively.
#pragma once

#include <cstddef>

#include "common/text.h"

constexpr size_t SHORTCUT_PATH_SIZE = 260;

#define SHORTCUT_FILE_NAME "Quavertone.lnk"
#define SHORTCUT_DESCRIPTION "Quavertone"

// Turns the special folder's path held in buffer into the shortcut file's:
// ("\" unless present) + "Quavertone.lnk".  False, buffer unchanged, when it
// does not fit in capacity bytes (the shortcut is then not made).
bool AppendShortcutFileName(char* folder, size_t capacity, LeadBytePredicate isLeadByte);

// destination + ("\" unless present) + "Quavertone.exe".
bool ComposeShortcutTarget(char* buffer, size_t capacity, const char* destination, LeadBytePredicate isLeadByte);
