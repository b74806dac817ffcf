#include "engine/file_table.h"

#include <cstring>

#include "common/text.h"
#include "product/installer_state.h"

const FileTableEntry FileTable[FILE_TABLE_ROWS] = {
    {PRODUCT_PROGRAM, 5000, FILE_EXTRACT},   // the product program
    {"Quavertone.chm", 5001, FILE_EXTRACT},  // its compiled help
    {"akrip32.dll", 5002, FILE_EXTRACT},     // libraries the product loads
    {"npmod32.dll", 5003, FILE_EXTRACT},
    {SOUND_PACK_PROGRAM, 5004, FILE_EXTRACT},  // the sound-effects pack program
};

void ForEachFolderLevel(const char* destination, FolderLevelAction create, void* context,
                        LeadBytePredicate isLeadByte) {
  char folder[FOLDER_BUFFER_SIZE];
  size_t length = std::strlen(destination);
  if (length < 3 || length >= sizeof folder) return;
  // Each level ends at a backslash character, never at a trail byte.
  for (size_t next = 3; next < length;) {
    while (next < length && destination[next] != '\\') next += CharacterLength(destination + next, isLeadByte);
    std::memcpy(folder, destination, next);
    folder[next] = '\0';
    create(folder, context);
    if (next < length) ++next;  // the backslash
  }
}

bool ComposeUninstallString(char* buffer, size_t capacity, const char* destination, LeadBytePredicate isLeadByte) {
  if (capacity == 0) return false;
  buffer[0] = '\0';
  if (AppendText(buffer, capacity, "\"") && AppendText(buffer, capacity, destination) &&
      AppendPathName(buffer, capacity, PRODUCT_PROGRAM, isLeadByte) && AppendText(buffer, capacity, "\" /uninstall"))
    return true;
  buffer[0] = '\0';
  return false;
}

bool AppendShortcutFileName(char* folder, size_t capacity, LeadBytePredicate isLeadByte) {
  return AppendPathName(folder, capacity, SHORTCUT_FILE_NAME, isLeadByte);
}

bool ComposeShortcutTarget(char* buffer, size_t capacity, const char* destination, LeadBytePredicate isLeadByte) {
  return JoinPath(buffer, capacity, destination, PRODUCT_PROGRAM, isLeadByte);
}
