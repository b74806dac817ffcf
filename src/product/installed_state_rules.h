// The rules that turn the installed state into decisions and texts: the
// version class (shared by the install dialog and the closing message), the
// form a destination folder must have, and the proposed folder.  Pure: no
// Windows header, so the rules build natively and are unit-tested.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

// What an earlier installation means for this one.  Legacy is a kind of
// older: it gets the older wording after the legacy-uninstall offer.
enum class VersionClass {
  Fresh,   // no earlier installation
  Same,    // this very release
  Older,   // an earlier release: update wording, folder fixed (StoredFolderRole)
  Legacy,  // LEGACY_VERSION_LIMIT or below: its own uninstaller runs first
  Newer,   // a later release: warning wording, folder fixed (StoredFolderRole)
};

// Versions compare as plain unsigned numbers.
VersionClass ClassifyInstalledVersion(bool installed, uint32_t previousVersion);

#define LEGACY_UNINSTALL_TEXT "Previous version of Quavertone must be uninstalled first. Press OK to continue."
#define INVALID_DESTINATION_TEXT "You must specify a valid destination drive and directory such as C:\\Quavertone"
#define UPDATED_TEXT "Quavertone has been successfully updated!\r\nWould you like to go Quavertone now?"
#define INSTALLED_TEXT "Quavertone has been successfully installed!\r\nWould you like to go Quavertone now?"
#define LEGACY_UNINSTALLER "uninstall.exe"

// The closing message: "updated" over an older release (legacy included),
// "installed" otherwise, a newer release too.
const char* ClosingMessageText(VersionClass versionClass);

// A destination is accepted when it has the form "X:\" followed by at least
// one more character, holds every file's full name within the platform's
// path limit (MAX_DESTINATION_LENGTH) and has no level of dots only ("." or
// ".."); nothing else about it is checked (the drive need not exist, the
// folders are created by the installation).
bool IsValidDestinationForm(const char* destination);

// Whether two texts name the same folder as the file system reads them:
// ASCII letters in either case, one "\" at the end or none.  Characters of
// a double-byte code page compare as they are.
bool IsSameFolder(const char* a, const char* b, LeadBytePredicate isLeadByte);

// What the folder of an earlier installation is to this one.
enum class StoredFolder {
  Unused,    // none, or one no destination may be: the default folder is proposed, open
  Proposed,  // over this very release: proposed, open to change
  Fixed,     // over another release: it stays where that release's files and records are
};

// The one rule for "is the folder fixed": only a folder of the form
// IsValidDestinationForm accepts can be.  A fixed folder that can never pass
// (empty, "\\server\share\Q", "D:Q") would bring the same refusal at every
// confirmation, with Cancel the only way out, so it counts as none stored;
// the wording and the closing message still follow the version class.
StoredFolder StoredFolderRole(bool installed, uint32_t previousVersion, const char* previousFolder);

// The proposed folder of a fresh installation: the system's program folder
// (programFilesDir, empty when unknown), else the drive of the Windows folder
// followed by "\Program Files"; then one trailing backslash dropped and
// "\Quavertone" appended.  With neither, the result is "\Quavertone", which
// the user must correct.  False, with folder emptied, when the result does
// not fit capacity bytes.
bool ComposeDefaultFolder(char* folder, size_t capacity, const char* programFilesDir, const char* windowsFolder,
                          LeadBytePredicate isLeadByte);

// A text read from the registry is not terminated by the platform when the
// value was stored without its terminator.  Answers true when buffer
// (capacity bytes, dataSize of them read) now holds a terminated text:
// terminated at dataSize when the data holds no NUL.  False when a text
// without terminator fills the whole buffer, since cutting it would make
// another folder of it.
bool TerminateReadText(char* buffer, size_t capacity, uint32_t dataSize);
