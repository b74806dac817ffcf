#include "control/installed_state.h"

#include <cstring>

#include <windows.h>

#include "common/log_file.h"
#include "product/installed_state_rules.h"
#include "product/installer_state.h"
#include "control/start_program.h"
#include "dialogs/dialog_frame.h"
#include "registry/product_records.h"
#include "registry/registry_helpers.h"

namespace {

// GetWindowsDirectoryA is asked with the platform's full path size.
char windowsFolder[MAX_PATH];
char programFilesDir[FOLDER_BUFFER_SIZE];

VersionClass CurrentVersionClass() { return ClassifyInstalledVersion(Installer.installed, Installer.previousVersion); }

}  // namespace

void DetectInstalledProduct() {
  Installer.installed = false;
  // A version value shorter than 4 bytes then reads as the number it holds.
  Installer.previousVersion = 0;
  uint32_t folderSize = 0;
  bool found = ReadProductValue(PROGRAM_DIRECTORY_RECORD, Installer.previousFolder, FOLDER_BUFFER_SIZE, &folderSize);
  // The platform may leave part of a value that did not fit, or a value
  // stored without its terminator, in the buffer: never keep such a text.
  if (found) found = TerminateReadText(Installer.previousFolder, FOLDER_BUFFER_SIZE, folderSize);
  if (found) found = ReadProductValue(PROGRAM_VERSION_RECORD, &Installer.previousVersion, PROGRAM_VERSION_SIZE);
  if (!found) {
    // Missing or unreadable records simply mean a fresh installation.
    Installer.previousFolder[0] = '\0';
    Installer.previousVersion = 0;
    return;
  }
  Installer.installed = true;
}

void ChooseDefaultFolder() {
  StoredFolder role = StoredFolderRole(Installer.installed, Installer.previousVersion, Installer.previousFolder);
  // "/D=" proposes its folder wherever the user could type one; a fixed
  // folder stays (an unattended run refuses a "/D=" naming another).
  if (role == StoredFolder::Fixed || (role == StoredFolder::Proposed && !Installer.folderGiven)) {
    std::memcpy(Installer.destination, Installer.previousFolder, FOLDER_BUFFER_SIZE);
    return;
  }
  if (Installer.folderGiven) {
    std::memcpy(Installer.destination, Installer.givenFolder, FOLDER_BUFFER_SIZE);
    return;
  }
  programFilesDir[0] = '\0';
  uint32_t size = 0;
  if (!ReadRegistryValue(PROGRAM_FILES_DIR_RECORD, programFilesDir, FOLDER_BUFFER_SIZE, HKEY_LOCAL_MACHINE, &size) ||
      !TerminateReadText(programFilesDir, FOLDER_BUFFER_SIZE, size))
    programFilesDir[0] = '\0';
  windowsFolder[0] = '\0';
  if (programFilesDir[0] == '\0') {
    UINT length = GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) windowsFolder[0] = '\0';
  }
  // A folder too long to take "\Quavertone" leaves the proposal empty: the
  // user then has to name one.
  ComposeDefaultFolder(Installer.destination, FOLDER_BUFFER_SIZE, programFilesDir, windowsFolder, PlatformLeadByte);
}

bool OfferLegacyUninstall() {
  if (CurrentVersionClass() != VersionClass::Legacy) return true;
  // No owner window: nothing of the installer is on the screen yet.
  if (AskUser(LEGACY_UNINSTALL_TEXT, MB_OKCANCEL | MB_ICONINFORMATION, nullptr) != IDOK) return false;
  // Installing while the uninstaller runs would let it remove the files
  // and records just made: the installer waits, then looks at what it left.
  // Where it cannot be waited on, the installation goes on beside it.
  if (RunProgramInFolderToEnd(LEGACY_UNINSTALLER, nullptr, Installer.previousFolder)) {
    Log("the uninstaller in", Installer.previousFolder, "has ended");
    DetectInstalledProduct();
    ChooseDefaultFolder();
  } else {
    Log("not started:", LEGACY_UNINSTALLER, "in", Installer.previousFolder);
  }
  return true;
}

bool ValidateDestination() {
  if (IsValidDestinationForm(Installer.destination)) return true;
  AskUser(INVALID_DESTINATION_TEXT, MB_ICONINFORMATION, nullptr);
  return false;
}

void ReportSuccess() {
  const char* text = ClosingMessageText(CurrentVersionClass());
  if (AskUser(text, MB_YESNO | MB_ICONQUESTION, nullptr) == IDYES)
    StartProgramInFolder(PRODUCT_PROGRAM, nullptr, Installer.destination);
}
