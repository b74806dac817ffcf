#include "engine/install_sequence.h"

#include <windows.h>
#include <shlobj.h>

#include "common/text.h"
#include "companions/companions.h"
#include "product/installer_state.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/progress_window.h"
#include "engine/file_table.h"
#include "engine/payload.h"
#include "engine/shortcuts.h"
#include "registry/product_records.h"
#include "registry/registry_helpers.h"

namespace {

#define UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone"
#define WORKING_TEXT "Working ... "

// Set by the progress window when the user confirms "Abort?".
int32_t abortRequested;

char statusText[16 + sizeof FileTable[0].Name];
char uninstallString[UNINSTALL_STRING_SIZE];

void CreateFolderLevel(const char* folder, void*) {
  CreateDirectoryA(folder, nullptr);  // exists, denied, no drive: not examined
}

// The user confirmed "Abort?": stop before anything is recorded.  The files
// already expanded stay, as after a fatal error.
[[noreturn]] void EndAborted() {
  CloseProgress();
  ExitProcess(0);
}

void InstallFileRows() {
  for (unsigned row = 1; row <= FILE_TABLE_ROWS; ++row) {
    const FileTableEntry& entry = FileTable[row - 1];
    if (entry.Flags & FILE_MKDIR) {
      CreateDirectoryA(entry.Name, nullptr);
    } else if (entry.Flags & FILE_EXTRACT) {
      CopyText(statusText, sizeof statusText, WORKING_TEXT);
      AppendText(statusText, sizeof statusText, entry.Name);
      UpdateProgress(nullptr, statusText, -1);
      ExtractPayloadFile(entry.ResourceId, entry.Name);
    }
    UpdateProgress(nullptr, nullptr, static_cast<int>(row));
    PumpProgress();
    if (abortRequested == 1) EndAborted();
  }
}

}  // namespace

void RegisterUninstall() {
  const char displayName[] = PRODUCT_NAME " " PRODUCT_VERSION_TEXT;
  WriteRegistryValue(UNINSTALL_KEY "\\DisplayName", displayName, 256, REG_SZ, HKEY_LOCAL_MACHINE);
  if (ComposeUninstallString(uninstallString, sizeof uninstallString, Installer.destination, PlatformLeadByte))
    WriteRegistryValue(UNINSTALL_KEY "\\UninstallString", uninstallString, 256, REG_SZ, HKEY_LOCAL_MACHINE);
}

void InstallProduct() {
  OpenProgress(nullptr, 0, static_cast<int>(FILE_TABLE_ROWS), &abortRequested);
  UpdateProgress("Installing " PRODUCT_NAME, WORKING_TEXT, 0);
  PumpProgress();

  ForEachFolderLevel(Installer.destination, CreateFolderLevel, nullptr, PlatformLeadByte);
  // Every file name below is relative to the destination: expanding them
  // anywhere else (the CD, the user's download folder) must not happen.
  if (!SetCurrentDirectoryA(Installer.destination)) FatalError(CREATE_FAILURE_TEXT);

  InstallFileRows();

  DeleteProductValue(MONITOR_DEVICE_RECORD);
  WriteProductValue(PROGRAM_DIRECTORY_RECORD, Installer.destination, 256, PROGRAM_DIRECTORY_TYPE);
  const uint8_t version[PROGRAM_VERSION_SIZE] = {PRODUCT_VERSION & 0xFF, (PRODUCT_VERSION >> 8) & 0xFF,
                                                 (PRODUCT_VERSION >> 16) & 0xFF, PRODUCT_VERSION >> 24};
  WriteProductValue(PROGRAM_VERSION_RECORD, version, PROGRAM_VERSION_SIZE, PROGRAM_VERSION_TYPE);
  RunEncoderSetup(true);
  RegisterUninstall();
  AddProductShortcut(CSIDL_PROGRAMS);
  AddProductShortcut(CSIDL_DESKTOPDIRECTORY);
  CloseProgress();
}
