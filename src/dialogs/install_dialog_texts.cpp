#include "dialogs/install_dialog_texts.h"

#include "common/text.h"
#include "product/installed_state_rules.h"
#include "product/installer_state.h"

InstallDialogWording InstallDialogTexts(bool installed, uint32_t previousVersion, const char* previousFolder) {
  const bool locked = StoredFolderRole(installed, previousVersion, previousFolder) == StoredFolder::Fixed;
  switch (ClassifyInstalledVersion(installed, previousVersion)) {
    case VersionClass::Older:
    case VersionClass::Legacy:
      return {UPDATE_STATUS_TEXT, UPDATE_BUTTON_TEXT, locked};
    case VersionClass::Newer:
      // Installing over a newer release is allowed; the message alone warns.
      return {NEWER_STATUS_TEXT, INSTALL_BUTTON_TEXT, locked};
    case VersionClass::Fresh:
    case VersionClass::Same:
      break;
  }
  return {INSTALL_STATUS_TEXT, INSTALL_BUTTON_TEXT, locked};
}

bool DestinationFromBrowsedPath(char* path, size_t capacity, LeadBytePredicate isLeadByte) {
  if (path[0] == '\0') return false;
  size_t limit = capacity < FOLDER_BUFFER_SIZE ? capacity : FOLDER_BUFFER_SIZE;
  return AppendPathName(path, limit, PRODUCT_NAME, isLeadByte);
}
