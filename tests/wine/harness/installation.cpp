#include "installation.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include "wine_test.h"

namespace {

const char* const kFiles[] = {"Quavertone.exe", "Quavertone.chm", "akrip32.dll", "npmod32.dll", "tonekit.exe"};

void DeleteKeyTree(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  char name[256];
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DeleteKeyTree(key, name);
  }
  RegCloseKey(key);
  RegDeleteKeyA(root, path.c_str());
}

std::string StandinLog() { return "C:\\qvtest\\started.log"; }

std::string Payload(const std::string& name) { return TestBin() + "\\..\\..\\payloads\\" + name; }

}  // namespace

std::string SpecialFolderPath(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return path;
}

void UseWindows98(bool win98) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe", 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  if (win98) {
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
  } else {
    RegDeleteValueA(key, "Version");
  }
  RegCloseKey(key);
}

// A product started by an earlier case may still be running (or still be
// starting, its window not yet made): end every such process, so that its
// window and its file are gone before the next case.
void EndRunningProducts() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "Quavertone.exe") != 0) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (process == nullptr) continue;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  WaitUntil([] { return FindWindowA("Quavertone", nullptr) == nullptr; }, 10000);
}

int CountProcesses(const char* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, exeName) == 0) ++count;
  CloseHandle(snapshot);
  return count;
}

void ResetInstallation() {
  EndRunningProducts();
  DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Quavertone");
  DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone");
  DeleteFileA((SpecialFolderPath(CSIDL_PROGRAMS) + "\\Quavertone.lnk").c_str());
  DeleteFileA((SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\Quavertone.lnk").c_str());
  RemoveTree(DEFAULT_DESTINATION);
  RemoveTree("C:\\qvtest");
  CreateDirectoryA("C:\\qvtest", nullptr);
  UseWindows98(false);
  SetEnvironmentVariableA("QV_STANDIN_LOG", StandinLog().c_str());
}

void PutEarlierInstallation(const std::string& folder, unsigned version) {
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const char* program : {"Quavertone.exe", "uninstall.exe", "tonekit.exe"}) {
    std::string from = std::string(program) == "Quavertone.exe" ? Payload("Quavertone.exe")
                                                                 : TestBin() + "\\..\\..\\tools\\standins\\" + program;
    CopyFileA(from.c_str(), (folder + "\\" + program).c_str(), FALSE);
  }
  PutValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory", REG_SZ, SzBytes(folder));
  PutValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramVersion", REG_BINARY,
           std::string(reinterpret_cast<const char*>(&version), 4));
}

Program StartSetupFromCdRom(const std::string& switches) {
  std::string line = "\"E:\\setup.exe\"";
  if (!switches.empty()) line += " " + switches;
  return StartProgram("E:\\setup.exe", line, "E:\\");
}

Program StartSetupFromHardDisk(const std::string& switches) {
  CreateDirectoryA("C:\\temp", nullptr);
  CopyFileA("E:\\setup.exe", "C:\\temp\\setup.exe", FALSE);
  std::string line = "\"C:\\temp\\setup.exe\"";
  if (!switches.empty()) line += " " + switches;
  return StartProgram("C:\\temp\\setup.exe", line, "C:\\temp");
}

std::string StandinLogText() { return ReadFileText(StandinLog()); }

std::string Started(const std::string& name) {
  std::string log = StandinLogText();
  std::string lines;
  size_t start = 0;
  while (start < log.size()) {
    // A line still being written is not a record yet.
    size_t end = log.find('\n', start);
    if (end == std::string::npos) break;
    std::string line = log.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find("name=" + name + "|") != std::string::npos) lines += line + "\n";
    start = end + 1;
  }
  return lines;
}

bool WaitForStart(const std::string& name, DWORD timeoutMs) {
  return WaitUntil([&] { return !Started(name).empty(); }, timeoutMs);
}

std::string AnswerBox(const Program& program, const std::string& caption, int button) {
  HWND box = WaitForWindow(caption, program.id);
  if (box == nullptr) return "";
  std::string text = MessageBoxText(box);
  AnswerMessageBox(box, button);
  WaitForWindowGone(box);
  return text;
}

bool InstalledFilesIntact(const std::string& folder, std::string* why) {
  for (const char* name : kFiles) {
    std::string expected = ReadFileText(Payload(name));
    std::string got = ReadFileText(folder + "\\" + name);
    if (expected.empty() || got != expected) {
      *why = Format("%s: %zu bytes, expected %zu", name, got.size(), expected.size());
      return false;
    }
  }
  return true;
}

bool AnyInstalledFile(const std::string& folder) {
  for (const char* name : kFiles)
    if (FileExists(folder + "\\" + name)) return true;
  return false;
}

bool PutValue(HKEY root, const std::string& keyPath, const std::string& value, DWORD type, const std::string& bytes) {
  HKEY key;
  if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  LONG result = RegSetValueExA(key, value.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

std::string SzBytes(const std::string& text) { return std::string(text.c_str(), text.size() + 1); }

bool ReadValue(HKEY root, const std::string& keyPath, const std::string& value, std::string* data, DWORD* type) {
  HKEY key;
  if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  char buffer[1024];
  DWORD size = sizeof buffer;
  DWORD valueType = 0;
  bool good = RegQueryValueExA(key, value.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(buffer), &size) ==
              ERROR_SUCCESS;
  RegCloseKey(key);
  if (good) {
    data->assign(buffer, size);
    if (type) *type = valueType;
  }
  return good;
}
