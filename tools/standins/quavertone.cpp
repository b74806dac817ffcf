// Stand-in for the product program, Quavertone.exe.  Started normally it
// records the start (as every stand-in does) and opens its main window of
// class "Quavertone", which the installer looks for to tell that the product
// is running.  Started with "/uninstall" (the command the installer
// registers) it asks for confirmation and removes what the installer made:
// the five files in its own folder, the two shortcuts, the ProgramDirectory
// and ProgramVersion values and the uninstall entry, and nothing else.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

void RecordStart();  // standin.cpp

namespace {

const char* const kInstalledFiles[] = {"Quavertone.exe", "Quavertone.chm", "akrip32.dll", "npmod32.dll", "tonekit.exe"};

std::string ModuleFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  char* slash = std::strrchr(path, '\\');
  if (slash) *slash = '\0';
  return path;
}

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = "";
  if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) return "";
  return path;
}

bool HasSwitch(const char* name) {
  const char* line = GetCommandLineA();
  size_t length = std::strlen(name);
  for (const char* p = line; *p; ++p)
    if (_strnicmp(p, name, length) == 0) return true;
  return false;
}

// The shortcut is ours only when it points at this folder's program.
bool ShortcutPointsInto(const std::string& shortcut, const std::string& folder) {
  bool ours = false;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                       reinterpret_cast<void**>(&link)) == S_OK) {
    IPersistFile* file = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
      char target[MAX_PATH * 2] = "";
      if (file->Load(wide, STGM_READ) == S_OK && link->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH) == S_OK)
        ours = lstrcmpiA(target, (folder + "\\Quavertone.exe").c_str()) == 0;
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return ours;
}

void RemoveInstallation(const std::string& folder) {
  for (const char* name : kInstalledFiles) DeleteFileA((folder + "\\" + name).c_str());
  RemoveDirectoryA(folder.c_str());  // only when nothing of the user's is left in it
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY}) {
    std::string shortcut = SpecialFolder(csidl) + "\\Quavertone.lnk";
    if (ShortcutPointsInto(shortcut, folder)) DeleteFileA(shortcut.c_str());
  }
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quavertone", 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "ProgramDirectory");
    RegDeleteValueA(key, "ProgramVersion");
    RegCloseKey(key);
  }
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone");
}

// A running program cannot delete its own file: the removal runs from a
// copy in the temporary folder, which waits for this process to end.
int Uninstall() {
  if (MessageBoxA(nullptr, "Remove Quavertone and all of its components?", "Quavertone",
                  MB_YESNO | MB_ICONQUESTION) != IDYES)
    return 1;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string copy = std::string(temp) + "quavertone-remove.exe";
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  if (!CopyFileA(self, copy.c_str(), FALSE)) {
    RemoveInstallation(ModuleFolder());  // best effort from here
    return 0;
  }
  char command[3 * MAX_PATH];
  std::snprintf(command, sizeof command, "\"%s\" /remove-after %lu \"%s\"", copy.c_str(), GetCurrentProcessId(),
                ModuleFolder().c_str());
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info;
  if (CreateProcessA(copy.c_str(), command, nullptr, nullptr, FALSE, 0, nullptr, temp, &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  return 0;
}

int RemoveAfter() {
  // command line: "copy" /remove-after PID "folder"
  const char* line = GetCommandLineA();
  const char* p = std::strstr(line, "/remove-after ");
  if (!p) return 1;
  p += std::strlen("/remove-after ");
  unsigned long pid = std::strtoul(p, nullptr, 10);
  const char* quote = std::strchr(p, '"');
  if (!quote) return 1;
  std::string folder(quote + 1);
  if (!folder.empty() && folder.back() == '"') folder.pop_back();
  HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (parent) {
    WaitForSingleObject(parent, 30000);
    CloseHandle(parent);
  }
  RemoveInstallation(folder);
  // The removal's own copy goes when the system next cleans the folder.
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, sizeof self);
  MoveFileExA(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int RunProduct(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "Quavertone";
  RegisterClassA(&windowClass);
  CreateWindowA("Quavertone", "Quavertone 10.0", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 480,
                320, nullptr, nullptr, instance, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (HasSwitch("/remove-after")) return RemoveAfter();
  RecordStart();
  if (HasSwitch("/uninstall")) return Uninstall();
  return RunProduct(instance);
}
