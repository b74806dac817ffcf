#include "engine/shortcut_paths.h"

#include "common/text.h"
#include "product/installer_state.h"

bool AppendShortcutFileName(char* folder, size_t capacity, LeadBytePredicate isLeadByte) {
  return AppendPathName(folder, capacity, SHORTCUT_FILE_NAME, isLeadByte);
}

bool ComposeShortcutTarget(char* buffer, size_t capacity, const char* destination, LeadBytePredicate isLeadByte) {
  return JoinPath(buffer, capacity, destination, PRODUCT_PROGRAM, isLeadByte);
}
