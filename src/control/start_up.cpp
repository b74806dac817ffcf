#include "control/start_up.h"

#include <cstring>

#include <windows.h>

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

// LOAD_LIBRARY_SEARCH_SYSTEM32, for SetDefaultDllDirectories.
constexpr DWORD SEARCH_SYSTEM_FOLDER_ONLY = 0x00000800;

// A function of a loaded module, by name or ordinal; null when the module
// lacks it (an older platform, an odd copy of a library).
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
  // Through a plain function type: the casts between unrelated function
  // types would otherwise be reported.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// DLLs are looked for in the system folder only, never beside setup.exe (a
// download folder, a copied CD) or in the current folder, where anyone may
// have left one; as far as the platform allows (dll_search.h).
void LimitDllSearch() {
  typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
  typedef BOOL(WINAPI * SetDllDirectoryFunction)(const char*);
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  auto systemFolderOnly = ModuleFunction<SetDefaultDllDirectoriesFunction>(kernel32, "SetDefaultDllDirectories");
  auto dllDirectory = ModuleFunction<SetDllDirectoryFunction>(kernel32, "SetDllDirectoryA");
  switch (ChooseDllSearchLimit(systemFolderOnly != nullptr, dllDirectory != nullptr)) {
    case DllSearchLimit::SystemFolderOnly:
      systemFolderOnly(SEARCH_SYSTEM_FOLDER_ONLY);
      break;
    case DllSearchLimit::WithoutCurrentFolder:
      dllDirectory("");  // an empty folder takes the current one out
      break;
    case DllSearchLimit::Unchanged:
      break;
  }
}

// Registers the progress bar class through ordinal 17 of comctl32
// (InitCommonControls), present in every version (the Ex form is not on the
// oldest), loaded by its full path in the system folder.  Without it the
// progress window cannot be made, which reports the failure then.
void InitCommonControlsFromSystemFolder() {
  char path[MAX_PATH + 16];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || !AppendPathName(path, sizeof path, "comctl32.dll", PlatformLeadByte)) return;
  HMODULE comctl32 = LoadLibraryA(path);
  if (comctl32 == nullptr) return;
  typedef void(WINAPI * InitCommonControlsFunction)();
  auto init = ModuleFunction<InitCommonControlsFunction>(comctl32, MAKEINTRESOURCEA(17));
  if (init != nullptr) init();  // the library stays loaded: its classes are in use
}

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

  // No window of the class above is ever made, so that test finds only
  // other programs' windows: a second installer started beside this one (a
  // double double-click, the autorun and a click, a deployment in another
  // session) ends here just as quietly.  The mutex lives as long as this
  // process.
  HANDLE running = CreateMutexA(nullptr, FALSE, InstallerMutexName(Installer.platform, version->dwMajorVersion));
  if (running != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) EndRun(EXIT_ANOTHER_SETUP);

  if (Installer.platform == PLATFORM_WIN32S) FatalError("ERROR: Quavertone requires Windows 9x/ME/NT");
}
