#include "control/dll_search.h"

#include <windows.h>

#include "common/module_function.h"
#include "common/text.h"

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, for SetDefaultDllDirectories.
constexpr DWORD SEARCH_SYSTEM_FOLDER_ONLY = 0x00000800;

}  // namespace

void LimitDllSearch() {
  typedef BOOL(WINAPI * SetDefaultDllDirectoriesFunction)(DWORD);
  typedef BOOL(WINAPI * SetDllDirectoryFunction)(const char*);
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  auto systemFolderOnly = ModuleFunction<SetDefaultDllDirectoriesFunction>(kernel32, "SetDefaultDllDirectories");
  if (systemFolderOnly != nullptr) {
    systemFolderOnly(SEARCH_SYSTEM_FOLDER_ONLY);
    return;
  }
  auto dllDirectory = ModuleFunction<SetDllDirectoryFunction>(kernel32, "SetDllDirectoryA");
  if (dllDirectory != nullptr) dllDirectory("");  // an empty folder takes the current one out
}

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
