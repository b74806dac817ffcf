// The uninstaller of release 3.01 and older, as such uninstallers work: a
// program cannot delete its own file while it runs, so it copies itself to
// the temporary folder, starts the copy and ends at once.  The copy ("/copy")
// records its start, stays while the user would still be answering its
// question (standin.cpp's wait), then removes the release's records and ends.
#include <windows.h>

#include <cstdio>
#include <cstring>

void RecordStart();
void WaitWhileHeld();

namespace {

#define COPY_SWITCH "/copy"

bool StartCopy() {
  char self[MAX_PATH], temp[MAX_PATH], copy[MAX_PATH], commandLine[2 * MAX_PATH];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (GetModuleFileNameA(nullptr, self, sizeof self) == 0 || n == 0 || n >= sizeof temp) return false;
  std::snprintf(copy, sizeof copy, "%sqvuninst.exe", temp);
  std::snprintf(commandLine, sizeof commandLine, "\"%s\" " COPY_SWITCH, copy);
  if (!CopyFileA(self, copy, FALSE)) return false;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  if (!CreateProcessA(copy, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

void RemoveRecords() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quavertone", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, "ProgramDirectory");
  RegDeleteValueA(key, "ProgramVersion");
  RegCloseKey(key);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR tail, int) {
  RecordStart();
  if (std::strcmp(tail, COPY_SWITCH) != 0) return StartCopy() ? 0 : 1;
  WaitWhileHeld();
  RemoveRecords();
  return 0;
}
