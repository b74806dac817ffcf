// A stand-in for a program that the installer starts (the CD-ROM's DirectX
// and encoder setups, the legacy uninstaller, the sound-effects pack
// program).  It records how it was started, one line per start, and exits:
//   name=<its own file name>|path=<module path>|args=<command tail>|cwd=<current folder>|show=<show command>
// (the show command as the starter passed it, 10 = SW_SHOWDEFAULT where it
// passed none).
// The record goes to the file named by QV_STANDIN_LOG, or to
// quavertone-standins.log in the temporary folder.  While the file named by
// QV_STANDIN_WAIT exists, the stand-in then stays running (two minutes at
// most), as a program the user has not finished with would.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const char* Tail(const char* line) {
  if (*line == '"') {
    ++line;
    while (*line && *line != '"') ++line;
    if (*line == '"') ++line;
  } else {
    while (*line > ' ') ++line;
  }
  while (*line && *line <= ' ') ++line;
  return line;
}

}  // namespace

void RecordStart() {
  char log[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("QV_STANDIN_LOG", log, sizeof log);
  if (n == 0 || n >= sizeof log) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::snprintf(log, sizeof log, "%squavertone-standins.log", temp);
  }
  char module[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, module, sizeof module);
  const char* name = std::strrchr(module, '\\');
  name = name ? name + 1 : module;
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  unsigned show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
  // Other stand-ins may be started at the same moment: append under a
  // retry loop, since the log is opened without sharing.
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      char line[4 * MAX_PATH + 64];
      int length = std::snprintf(line, sizeof line, "name=%s|path=%s|args=%s|cwd=%s|show=%u\r\n", name, module,
                                 Tail(GetCommandLineA()), folder, show);
      DWORD written = 0;
      WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
      CloseHandle(file);
      return;
    }
    Sleep(10);
  }
}

void WaitWhileHeld() {
  char wait[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("QV_STANDIN_WAIT", wait, sizeof wait);
  for (int polls = 0; n > 0 && n < sizeof wait && polls < 6000 && GetFileAttributesA(wait) != INVALID_FILE_ATTRIBUTES;
       ++polls)
    Sleep(20);
}

#ifndef QV_STANDIN_HAS_MAIN
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RecordStart();
  WaitWhileHeld();
  return 0;
}
#endif
