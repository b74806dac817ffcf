#include "control/start_up.h"

#include <cstring>

#include <windows.h>
#include <commctrl.h>

#include "common/text.h"
#include "control/installer_state.h"
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
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(100));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = INSTALLER_WINDOW_CLASS;
  RegisterClassA(&windowClass);  // no window of it is created: not examined
}

}  // namespace

void StartInstaller(HINSTANCE, const char* commandTail) {
  Installer.instance = GetModuleHandleA(nullptr);

  if (FindWindowA(INSTALLER_WINDOW_CLASS, nullptr) != nullptr) ExitProcess(0);

  RegisterInstallerClass(Installer.instance);
  // Ordinal 17 of comctl32, present in every version (the Ex form is not on
  // the oldest); it registers the progress bar class.
  InitCommonControls();

  void* scratch = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, VERSION_SCRATCH_SIZE);
  if (scratch == nullptr) FatalError("ERROR: Insufficient memory.");

  OSVERSIONINFOA* version = static_cast<OSVERSIONINFOA*>(scratch);
  std::memset(version, 0, VERSION_INFO_SIZE);
  version->dwOSVersionInfoSize = VERSION_INFO_SIZE;
  GetVersionExA(version);
  Installer.platform = version->dwPlatformId;
  if (Installer.platform == PLATFORM_WIN32S) FatalError("ERROR: Quavertone requires Windows 9x/ME/NT");

  Installer.autorun = FindSubstringNoCase(commandTail, "/autorun");
}
