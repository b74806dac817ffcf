#include "control/start_up.h"

#include <cstring>

#include <windows.h>

#include "common/log_file.h"
#include "common/log_text.h"
#include "common/text.h"
#include "control/command_tail.h"
#include "resource_ids.h"
#include "control/dll_search.h"
#include "control/instance_mutex.h"
#include "product/installer_state.h"
#include "dialogs/dialog_frame.h"

namespace {

constexpr SIZE_T VERSION_SCRATCH_SIZE = 65535;
// OSVERSIONINFOA: the size every platform of both families accepts.
constexpr DWORD VERSION_INFO_SIZE = 148;

void RegisterInstallerClass(HINSTANCE instance) {
  WNDCLASSA windowClass;
  std::memset(&windowClass, 0, sizeof windowClass);
  windowClass.style = CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW;
  // No window procedure: the class only marks a running installer.
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_INSTALLER));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = INSTALLER_WINDOW_CLASS;
  RegisterClassA(&windowClass);  // no window of it is created: not examined
}

CommandSwitches switches;

void ReadSwitches(const char* commandTail) {
  ReadCommandSwitches(commandTail, &switches);
  Installer.autorun = switches.autorun;
  Installer.silent = switches.silent;
  Installer.folderGiven = switches.folderGiven;
  std::memcpy(Installer.givenFolder, switches.folder, FOLDER_BUFFER_SIZE);
  // Under a deployment tool nobody could answer the platform's own boxes
  // ("There is no disk in the drive"): they fail quietly instead.
  if (Installer.silent) SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  OpenLog(switches.log);
  Log("setup of " PRODUCT_NAME " " PRODUCT_VERSION_TEXT ", command line", GetCommandLineA());
}

}  // namespace

void StartInstaller(HINSTANCE, const char* commandTail) {
  LimitDllSearch();
  Installer.instance = GetModuleHandleA(nullptr);
  // Read first: an unattended run says even a refusal by its exit code.
  ReadSwitches(commandTail);

  if (FindWindowA(INSTALLER_WINDOW_CLASS, nullptr) != nullptr) EndRun(EXIT_ANOTHER_SETUP);

  RegisterInstallerClass(Installer.instance);
  InitCommonControlsFromSystemFolder();

  void* scratch = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, VERSION_SCRATCH_SIZE);
  if (scratch == nullptr) FatalError("ERROR: Insufficient memory.");

  OSVERSIONINFOA* version = static_cast<OSVERSIONINFOA*>(scratch);
  std::memset(version, 0, VERSION_INFO_SIZE);
  version->dwOSVersionInfoSize = VERSION_INFO_SIZE;
  GetVersionExA(version);
  Installer.platform = version->dwPlatformId;
  Installer.release = version->dwMajorVersion * 100 + version->dwMinorVersion;
  char family[DECIMAL_SIZE], release[DECIMAL_SIZE], build[DECIMAL_SIZE];
  Log("platform", DecimalText(family, Installer.platform), "release", DecimalText(release, Installer.release), "build",
      DecimalText(build, version->dwBuildNumber & 0xFFFF));

  // No window of the class above is ever made, so that test finds only
  // other programs' windows: a second installer started beside this one (a
  // double double-click, the autorun and a click, a deployment in another
  // session) ends here just as quietly.  The mutex lives as long as this
  // process.
  HANDLE running = CreateMutexA(nullptr, FALSE, InstallerMutexName(Installer.platform, version->dwMajorVersion));
  if (running != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) EndRun(EXIT_ANOTHER_SETUP);

  if (Installer.platform == PLATFORM_WIN32S) FatalError("ERROR: Quavertone requires Windows 9x/ME/NT");
}
