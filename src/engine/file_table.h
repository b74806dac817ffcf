// The installation's file table: what goes into the destination folder, in
// order.  Pure data and rules, built natively for the unit tests too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

constexpr uint32_t FILE_EXTRACT = 1;  // expand payload ResourceId into Name
constexpr uint32_t FILE_MKDIR = 2;    // create the folder Name (tested first)

struct FileTableEntry {
  char Name[80];  // relative to the destination folder
  uint32_t ResourceId;
  uint32_t Flags;
};

constexpr unsigned FILE_TABLE_ROWS = 5;
extern const FileTableEntry FileTable[FILE_TABLE_ROWS];

// Calls create for the destination's drive root's first level, then each
// deeper level in turn: "C:\A\B" gives "C:\A" then "C:\A\B".  The
// destination has at most 255 characters and begins with "X:\".
typedef void (*FolderLevelAction)(const char* folder, void* context);
void ForEachFolderLevel(const char* destination, FolderLevelAction create, void* context,
                        LeadBytePredicate isLeadByte);

// The uninstall command for a destination: the program path in double
// quotes (so that a folder with blanks cannot be read as a shorter program
// path), one blank, "/uninstall".  False when it does not fit.
constexpr size_t UNINSTALL_STRING_SIZE = 300;
bool ComposeUninstallString(char* buffer, size_t capacity, const char* destination, LeadBytePredicate isLeadByte);

// The two texts of a product shortcut, each composed in a 260-byte buffer.
constexpr size_t SHORTCUT_PATH_SIZE = 260;

#define SHORTCUT_FILE_NAME "Quavertone.lnk"
#define SHORTCUT_DESCRIPTION "Quavertone"

// Turns the special folder's path held in buffer into the shortcut file's:
// ("\" unless present) + "Quavertone.lnk".  False, buffer unchanged, when it
// does not fit in capacity bytes (the shortcut is then not made).
bool AppendShortcutFileName(char* folder, size_t capacity, LeadBytePredicate isLeadByte);

// destination + ("\" unless present) + "Quavertone.exe".
bool ComposeShortcutTarget(char* buffer, size_t capacity, const char* destination, LeadBytePredicate isLeadByte);
