#include "engine/shortcut_paths.h"

#include "common/text.h"
#include "control/installer_state.h"

bool AppendShortcutFileName(char* folder, size_t capacity) {
  return AppendPathName(folder, capacity, SHORTCUT_FILE_NAME);
}

bool ComposeShortcutTarget(char* buffer, size_t capacity, const char* destination) {
  return JoinPath(buffer, capacity, destination, PRODUCT_PROGRAM);
}
