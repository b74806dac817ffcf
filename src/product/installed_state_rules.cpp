#include "product/installed_state_rules.h"

#include <cstring>

#include "common/text.h"
#include "product/installer_state.h"

VersionClass ClassifyInstalledVersion(bool installed, uint32_t previousVersion) {
  if (!installed) return VersionClass::Fresh;
  if (previousVersion == PRODUCT_VERSION) return VersionClass::Same;
  if (previousVersion > PRODUCT_VERSION) return VersionClass::Newer;
  if (previousVersion <= LEGACY_VERSION_LIMIT) return VersionClass::Legacy;
  return VersionClass::Older;
}

const char* ClosingMessageText(VersionClass versionClass) {
  bool updated = versionClass == VersionClass::Older || versionClass == VersionClass::Legacy;
  return updated ? UPDATED_TEXT : INSTALLED_TEXT;
}

bool IsValidDestinationForm(const char* destination) {
  // Each test reads a character only after the one before it proved not to
  // be the terminator.
  if (!(destination[0] != '\0' && destination[1] == ':' && destination[2] == '\\' && destination[3] != '\0'))
    return false;
  size_t length = std::strlen(destination);
  if (length - (destination[length - 1] == '\\') > MAX_DESTINATION_LENGTH) return false;
  // A level of dots only would climb back up ("C:\.." is the root).  Bytes
  // are enough: a level that a trail byte's "\" seems to begin ends in dots,
  // which the platform drops from a name anyway.
  size_t dots = 0, size = 0;
  for (const char* p = destination + 3;; ++p) {
    if (*p == '\\' || *p == '\0') {
      if (size > 0 && dots == size) return false;
      if (*p == '\0') return true;
      dots = size = 0;
    } else {
      ++size;
      dots += *p == '.';
    }
  }
}

bool IsSameFolder(const char* a, const char* b, LeadBytePredicate isLeadByte) {
  for (;;) {
    // A final backslash is no part of the name.
    if (*a == '\\' && a[1] == '\0') ++a;
    if (*b == '\\' && b[1] == '\0') ++b;
    if (*a == '\0' || *b == '\0') return *a == *b;
    size_t length = CharacterLength(a, isLeadByte);
    if (length != CharacterLength(b, isLeadByte)) return false;
    bool same = length == 2 ? a[0] == b[0] && a[1] == b[1]
                            : FoldAsciiLetter(static_cast<unsigned char>(*a)) == FoldAsciiLetter(static_cast<unsigned char>(*b));
    if (!same) return false;
    a += length;
    b += length;
  }
}

StoredFolder StoredFolderRole(bool installed, uint32_t previousVersion, const char* previousFolder) {
  if (!installed || !IsValidDestinationForm(previousFolder)) return StoredFolder::Unused;
  if (ClassifyInstalledVersion(installed, previousVersion) == VersionClass::Same) return StoredFolder::Proposed;
  return StoredFolder::Fixed;
}

bool ComposeDefaultFolder(char* folder, size_t capacity, const char* programFilesDir, const char* windowsFolder,
                          LeadBytePredicate isLeadByte) {
  if (capacity == 0) return false;
  folder[0] = '\0';
  bool fits = true;
  if (programFilesDir[0] != '\0') {
    fits = CopyText(folder, capacity, programFilesDir);
  } else if (windowsFolder[0] != '\0' && windowsFolder[1] == ':') {
    // The drive of the Windows folder, as in C:\Program Files.
    char drive[3] = {windowsFolder[0], ':', '\0'};
    fits = CopyText(folder, capacity, drive) && AppendText(folder, capacity, "\\Program Files");
  }
  if (fits && EndsWithBackslash(folder, isLeadByte)) folder[std::strlen(folder) - 1] = '\0';
  if (fits) fits = AppendText(folder, capacity, "\\" PRODUCT_NAME);
  if (!fits) folder[0] = '\0';
  return fits;
}

bool TerminateReadText(char* buffer, size_t capacity, uint32_t dataSize) {
  if (capacity == 0) return false;
  size_t used = dataSize < capacity ? dataSize : capacity;
  if (std::memchr(buffer, '\0', used) != nullptr) return true;
  if (used == capacity) {
    buffer[0] = '\0';
    return false;
  }
  buffer[used] = '\0';
  return true;
}
