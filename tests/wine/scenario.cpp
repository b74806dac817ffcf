// Plays one scenario file against the real setup.exe, as a person at the
// screen would, then checks what the run left behind:
//   scenario.exe FILE.txt
// Each line of the file is a verb and its arguments; the last argument of a
// verb takes the rest of the line, and the four characters \r\n in it stand
// for a line break.  Blank lines and lines starting with # or a word and a
// colon ("on: x64 x86") are not steps.  A failed check is printed with the
// line it came from and what the screen showed; a failed wait ends the
// scenario, since the steps after it would only report its consequences.
//
// The setup.exe under test is E:\setup.exe (the CD folder); its build's
// payload originals and stand-ins are found through QV_SETUP_BUILD.
#include <objbase.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "harness/driver.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone";
const char kProductKey[] = "Software\\Quavertone";
const char kQuestionCaption[] = "Install Quavertone";
const char kFatalCaption[] = "Installation Error";
const char* const kFiles[] = {"Quavertone.exe", "Quavertone.chm", "akrip32.dll", "npmod32.dll", "tonekit.exe"};
const char kStandinLog[] = "C:\\qvtest\\started.log";
// Checks of things that appear on their own (a stand-in's record, a file a
// removal deletes) wait this long before they fail.
const DWORD kSettleMs = 20000;

struct Step {
  int line;
  std::string verb;
  std::string rest;
};

// The run's state: the programs started (the last one is the current),
// the window the steps act on, and what failed.
std::vector<Program> programs;
HWND window = nullptr;
int failures = 0;
int currentLine = 0;
int folderWindowsBefore = 0;
std::vector<HANDLE> heldFiles;
// Programs a scenario starts around the installer (the product), ended
// quietly at the end.
std::vector<Program> others;

bool Check(bool good, const std::string& what) {
  if (!good) {
    ++failures;
    std::printf("line %d: %s\n", currentLine, what.c_str());
    if (window != nullptr && IsWindow(window)) std::printf("%s", DescribeDialog(window).c_str());
    std::fflush(stdout);
  }
  return good;
}

Program& Setup() {
  static Program none;
  return programs.empty() ? none : programs.back();
}

std::string SetupBuild() { return EnvOr("QV_SETUP_BUILD", "."); }

// Splits "word rest" at the first space.
std::string Word(std::string& rest) {
  size_t space = rest.find(' ');
  std::string word = rest.substr(0, space);
  rest = space == std::string::npos ? "" : rest.substr(space + 1);
  return word;
}

std::string Unescape(std::string text) {
  for (size_t at; (at = text.find("\\r\\n")) != std::string::npos;) text.replace(at, 4, "\r\n");
  return text;
}

// "HKLM\SOFTWARE\..." as root and key path.
bool SplitRoot(const std::string& path, HKEY* root, std::string* key) {
  size_t slash = path.find('\\');
  std::string name = path.substr(0, slash);
  *key = slash == std::string::npos ? "" : path.substr(slash + 1);
  if (name == "HKLM") *root = HKEY_LOCAL_MACHINE;
  else if (name == "HKCU") *root = HKEY_CURRENT_USER;
  else return false;
  return true;
}

// Registry access in the 64-bit view, where the machine has one: what a
// 32-bit setup.exe writes under SOFTWARE is then seen at WOW6432Node, as
// the scenarios state it.
bool ReadValue(const std::string& path, const std::string& value, std::string* data, DWORD* type = nullptr) {
  HKEY root, key;
  std::string keyPath;
  if (!SplitRoot(path, &root, &keyPath) ||
      RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return false;
  char buffer[2048];
  DWORD size = sizeof buffer, valueType = 0;
  bool good = RegQueryValueExA(key, value.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(buffer), &size) ==
              ERROR_SUCCESS;
  RegCloseKey(key);
  if (good) data->assign(buffer, size);
  if (good && type) *type = valueType;
  return good;
}

bool PutValue(const std::string& path, const std::string& value, DWORD type, const std::string& bytes) {
  HKEY root, key;
  std::string keyPath;
  if (!SplitRoot(path, &root, &keyPath) ||
      RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG result = type == REG_NONE ? RegDeleteValueA(key, value.c_str())
                                 : RegSetValueExA(key, value.c_str(), 0, type,
                                                  reinterpret_cast<const BYTE*>(bytes.data()),
                                                  static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

// A value as the scenario writes it: "sz TEXT" (stored with its
// terminator), "bytes TEXT" (without), "hex E8030000", "dword 1000".
bool ValueBytes(std::string rest, DWORD* type, std::string* bytes) {
  std::string kind = Word(rest);
  rest = Unescape(rest);
  if (kind == "sz") {
    *type = REG_SZ;
    *bytes = std::string(rest.c_str(), rest.size() + 1);
  } else if (kind == "bytes") {
    *type = REG_SZ;
    *bytes = rest;
  } else if (kind == "hex") {
    *type = REG_BINARY;
    bytes->clear();
    for (size_t i = 0; i + 1 < rest.size(); i += 2) bytes->push_back(static_cast<char>(std::stoul(rest.substr(i, 2), nullptr, 16)));
  } else if (kind == "dword") {
    *type = REG_DWORD;
    DWORD number = std::stoul(rest);
    *bytes = std::string(reinterpret_cast<const char*>(&number), 4);
  } else {
    return false;
  }
  return true;
}

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[8];
    std::snprintf(hex, sizeof hex, c >= 32 && c < 127 ? "%c" : "<%02X>", c);
    out += hex;
  }
  return out;
}

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return path;
}

// Target and working folder of a shortcut, read through the shell's link
// object; empty when it cannot be read.
std::string ShortcutTarget(const std::string& file) {
  std::string result;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                       reinterpret_cast<void**>(&link)) == S_OK) {
    IPersistFile* persist = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)) == S_OK) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
      char target[MAX_PATH * 2] = "", folder[MAX_PATH * 2] = "";
      if (persist->Load(wide, STGM_READ) == S_OK && link->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH) == S_OK) {
        link->GetWorkingDirectory(folder, sizeof folder);
        result = std::string(target) + " in " + folder;
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return result;
}

// Folder windows the shell opened, of any process.
int CountFolderWindows() {
  int count = 0;
  for (HWND w : WindowsOfProcess(0)) {
    std::string name = ClassNameOf(w);
    if (name == "CabinetWClass" || name == "ExplorerWClass") ++count;
  }
  return count;
}

// The stand-ins' records of name, as "path=...|args=...|cwd=..." lines.
std::string Started(const std::string& name) {
  std::string log = ReadFileText(kStandinLog), lines, prefix = "name=" + name + "|";
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, prefix.size(), prefix) == 0) lines += line.substr(prefix.size()) + "\n";
  }
  return lines;
}

// Copies one file; answers whether it is there afterwards.
bool CopyInto(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

void MakeFolders(const std::string& path) {
  for (size_t at = 3; at <= path.size(); ++at)
    if (at == path.size() || path[at] == '\\') CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
}

// Wine answers a drive's type through a service that a fresh prefix starts
// with its first program: until then E: reads as a plain folder.
bool WaitForCdRom() {
  return WaitUntil([] { return GetDriveTypeA("E:\\") == DRIVE_CDROM; }, kSettleMs);
}

// Starts setup.exe: "cd" as the CD's autorun starts it (E:\setup.exe in
// E:\), "disk" as a copy on the hard disk, "bare" as a name without a
// drive (started in E:\).
bool StartSetup(std::string rest) {
  std::string where = Word(rest), path = "E:\\setup.exe", folder = "E:\\", line;
  if (where == "disk") {
    CreateDirectoryA("C:\\temp", nullptr);
    path = "C:\\temp\\setup.exe";
    folder = "C:\\temp";
    if (!Check(CopyInto("E:\\setup.exe", path), "could not copy setup.exe to the hard disk")) return false;
  } else if (where != "cd" && where != "bare") {
    return Check(false, "start cd|disk|bare, not " + where);
  }
  if (!Check(WaitForCdRom(), "E: never reads as a CD-ROM drive")) return false;
  line = where == "bare" ? "setup.exe" : "\"" + path + "\"";
  if (!rest.empty()) line += " " + rest;
  programs.push_back(StartProgram(path, line, folder));
  return Check(Setup().started, "setup.exe did not start");
}

// A visible top-level window of the current program with that caption.
HWND WaitForCaption(const std::string& caption, DWORD processId, DWORD timeoutMs = kDefaultTimeoutMs) {
  window = WaitForWindow(caption, processId, timeoutMs);
  return window;
}

// Runs the installer in short slices until a window whose caption begins
// with caption shows, and leaves it stopped there: the installer works through its files
// faster than any person could press a key, so a person's Escape in the
// progress window is otherwise impossible to time.
bool Catch(const std::string& caption) {
  Program& setup = Setup();
  DWORD start = GetTickCount();
  char text[256];
  for (;;) {
    SuspendThread(setup.thread);
    for (HWND w : WindowsOfProcess(setup.id)) {
      // GetWindowText reads another process's caption without a message,
      // which a stopped thread could not answer.
      if (IsWindowVisible(w) && GetWindowTextA(w, text, sizeof text) > 0 &&
          std::strncmp(text, caption.c_str(), caption.size()) == 0) {
        window = w;
        return true;
      }
    }
    if (!IsRunning(setup) || GetTickCount() - start > kDefaultTimeoutMs) {
      ResumeThread(setup.thread);
      return Check(false, "no window \"" + caption + "\" caught");
    }
    ResumeThread(setup.thread);
    Sleep(0);
    SuspendThread(setup.thread);
    Sleep(2);
    ResumeThread(setup.thread);
  }
}

// A message box of the current program with that caption and text.
bool Box(const std::string& caption, const std::string& text, DWORD processId) {
  if (!Check(WaitForCaption(caption, processId) != nullptr, "no box \"" + caption + "\" saying: " + text)) return false;
  WaitUntil([&] { return !MessageBoxText(window).empty(); }, 5000);
  return Check(MessageBoxText(window) == text, "box says \"" + Printable(MessageBoxText(window)) + "\"");
}

bool Answer(const std::string& button) {
  static const std::map<std::string, int> ids = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
  auto id = ids.find(button);
  if (!Check(id != ids.end() && window != nullptr, "answer ok|cancel|yes|no to an open box")) return false;
  HWND box = window;
  Click(box, id->second);
  return Check(WaitForWindowGone(box), "the box stayed after " + button);
}

// A state of a control: checked, unchecked, readonly, editable, enabled,
// disabled, default, focused.
bool HasState(int id, const std::string& state) {
  if (state == "checked") return IsChecked(window, id);
  if (state == "unchecked") return !IsChecked(window, id);
  if (state == "readonly") return IsEditReadOnly(window, id);
  if (state == "editable") return !IsEditReadOnly(window, id);
  if (state == "enabled") return IsControlEnabled(window, id);
  if (state == "disabled") return !IsControlEnabled(window, id);
  if (state == "default") return IsDefaultButton(window, id);
  if (state == "focused") return FocusOf(window) == GetDlgItem(window, id);
  return false;
}

// A tree fills an item's children when it opens, reading folders: the next
// key must wait until the item count has stayed the same for a while.
void SettleTree(HWND tree) {
  DWORD_PTR count = 0, before = ~static_cast<DWORD_PTR>(0);
  for (int quiet = 0, polls = 0; quiet < 3 && polls < 100; ++polls) {
    SendMessageTimeoutA(tree, TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    quiet = count == before ? quiet + 1 : 0;
    before = count;
    Sleep(50);
  }
}

UINT KeyCode(const std::string& name) {
  static const std::map<std::string, UINT> keys = {{"escape", VK_ESCAPE}, {"enter", VK_RETURN}, {"tab", VK_TAB},
                                                   {"down", VK_DOWN},     {"up", VK_UP},        {"right", VK_RIGHT},
                                                   {"left", VK_LEFT},     {"home", VK_HOME},    {"space", VK_SPACE}};
  auto key = keys.find(name);
  if (key != keys.end()) return key->second;
  return name.size() == 1 ? static_cast<UINT>(VkKeyScanA(name[0]) & 0xFF) : 0;
}

// The five files in folder are the payloads' originals, the records name
// folder and release 10.0, and both shortcuts point at the program there.
void CheckInstalled(const std::string& folder) {
  for (const char* name : kFiles) {
    std::string expected = ReadFileText(SetupBuild() + "\\payloads\\" + name);
    std::string got = ReadFileText(folder + "\\" + name);
    Check(!expected.empty() && got == expected,
          folder + "\\" + name + ": " + std::to_string(got.size()) + " bytes, the original has " +
              std::to_string(expected.size()));
  }
  Check(!FileExists(folder + "\\tempfile.tmp"), "tempfile.tmp left in " + folder);
  std::string data;
  DWORD type = 0;
  Check(ReadValue("HKCU\\Software\\Quavertone", "ProgramDirectory", &data, &type) && type == REG_SZ &&
            data == std::string(folder.c_str(), folder.size() + 1),
        "ProgramDirectory is \"" + Printable(data) + "\"");
  Check(ReadValue("HKCU\\Software\\Quavertone", "ProgramVersion", &data, &type) && type == REG_BINARY &&
            data == std::string("\xE8\x03\x00\x00", 4),
        "ProgramVersion is \"" + Printable(data) + "\"");
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY}) {
    std::string link = SpecialFolder(csidl) + "\\Quavertone.lnk";
    std::string target = ShortcutTarget(link);
    Check(target == folder + "\\Quavertone.exe in " + folder, link + " points at \"" + target + "\"");
  }
}

// The uninstall entry under HKLM\key names release 10.0 and removes the
// program in folder.
void CheckEntry(const std::string& key, const std::string& folder) {
  std::string data;
  Check(ReadValue("HKLM\\" + key, "DisplayName", &data) && data == std::string("Quavertone VERSION 10.0", 24),
        "DisplayName is \"" + Printable(data) + "\"");
  std::string command = "\"" + folder + "\\Quavertone.exe\" /uninstall";
  Check(ReadValue("HKLM\\" + key, "UninstallString", &data) && data == std::string(command.c_str(), command.size() + 1),
        "UninstallString is \"" + Printable(data) + "\"");
}

bool NoEntry() {
  std::string data;
  return !ReadValue(std::string("HKLM\\") + kUninstallKey, "DisplayName", &data) &&
         !ReadValue("HKLM\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone",
                    "DisplayName", &data);
}

// An earlier installation of version in folder: the records, and the
// programs such an installation holds.
bool PutEarlier(std::string rest) {
  std::string version = Word(rest), folder = rest;
  MakeFolders(folder);
  std::string standins = SetupBuild() + "\\tools\\standins\\";
  bool good = CopyInto(SetupBuild() + "\\payloads\\Quavertone.exe", folder + "\\Quavertone.exe") &&
              CopyInto(standins + "uninstall.exe", folder + "\\uninstall.exe") &&
              CopyInto(standins + "tonekit.exe", folder + "\\tonekit.exe");
  DWORD number = std::stoul(version);
  return Check(good && PutValue("HKCU\\Software\\Quavertone", "ProgramDirectory", REG_SZ,
                                std::string(folder.c_str(), folder.size() + 1)) &&
                   PutValue("HKCU\\Software\\Quavertone", "ProgramVersion", REG_BINARY,
                            std::string(reinterpret_cast<const char*>(&number), 4)),
               "could not put an earlier installation in " + folder);
}

LRESULT CALLBACK PlainWindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(w, message, wParam, lParam);
}

// A window of the installer's own class, as a running installer would own.
bool MakeInstallerWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "Install Quavertone";
  RegisterClassA(&windowClass);
  return Check(CreateWindowA("Install Quavertone", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             windowClass.hInstance, nullptr) != nullptr,
               "could not make an installer window");
}

// Saves a picture of the current window and every window of the current
// program to QV_SHOTS\name.bmp, once two grabs in a row agree (painting has
// finished).  Nothing when QV_SHOTS is not set.
void Shot(const std::string& name) {
  std::string folder = EnvOr("QV_SHOTS", "");
  if (folder.empty()) return;
  std::vector<HWND> windows = WindowsOfProcess(Setup().id);
  if (window != nullptr) windows.push_back(window);
  std::vector<uint8_t> previous, current;
  RECT area;
  for (int i = 0; i < 40; ++i) {
    Sleep(150);
    current = GrabScreen(windows, &area);
    if (!current.empty() && current == previous) break;
    previous = current;
  }
  Check(SaveBitmap(folder + "\\" + name + ".bmp", current, area), "could not save picture " + name);
}

// What an installation in folder left behind, for the person who ran the
// walk.
void Report(const std::string& folder) {
  std::printf("Installed into %s\n", folder.c_str());
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data))
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      std::printf("  %-20s %10lu bytes\n", data.cFileName, static_cast<unsigned long>(data.nFileSizeLow));
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  std::printf("Registry:\n");
  std::string value;
  if (ReadValue("HKCU\\Software\\Quavertone", "ProgramDirectory", &value))
    std::printf("  HKCU\\Software\\Quavertone  ProgramDirectory = %s\n", value.c_str());
  if (ReadValue("HKCU\\Software\\Quavertone", "ProgramVersion", &value) && value.size() == 4)
    std::printf("  HKCU\\Software\\Quavertone  ProgramVersion = %s (REG_BINARY)\n", Printable(value).c_str());
  for (const char* name : {"DisplayName", "UninstallString"})
    if (ReadValue(std::string("HKLM\\") + kUninstallKey, name, &value))
      std::printf("  HKLM\\...\\Uninstall\\Quavertone  %s = %s\n", name, value.c_str());
  std::printf("Shortcuts:\n");
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY}) {
    std::string path = SpecialFolder(csidl) + "\\Quavertone.lnk";
    std::printf("  %s%s\n", path.c_str(), FileExists(path) ? "" : " (missing)");
  }
  std::printf("Programs started:\n%s", (Started("tonekit.exe") + Started("bladeenc.exe")).c_str());
}

// Runs one step; answers false when the scenario cannot go on.
bool Run(const Step& step) {
  const std::string& verb = step.verb;
  std::string rest = step.rest;
  currentLine = step.line;
  DWORD type = 0;
  std::string bytes, data;
  if (verb == "windows") {
    return Check(PutValue("HKCU\\Software\\Wine\\AppDefaults\\setup.exe", "Version", REG_SZ,
                          std::string(("win" + rest).c_str(), rest.size() + 4)),
                 "could not choose Windows " + rest);
  }
  if (verb == "earlier") return PutEarlier(rest);
  if (verb == "put" || verb == "reg") {
    std::string key = Word(rest), value = Word(rest);
    if (value == "@") value.clear();
    if (!Check(ValueBytes(rest, &type, &bytes), "value types: sz, bytes, hex, dword")) return false;
    if (verb == "put") return Check(PutValue(key, value, type, bytes), "could not write " + key + " " + value);
    DWORD got = 0;
    Check(WaitUntil([&] { return ReadValue(key, value, &data, &got) && data == bytes && got == type; }, kSettleMs),
          key + " " + value + " is \"" + Printable(data) + "\" of type " + std::to_string(got));
    return true;
  }
  if (verb == "unput") {
    std::string key = Word(rest);
    return Check(PutValue(key, rest, REG_NONE, ""), "could not delete " + key + " " + rest);
  }
  if (verb == "noreg") {
    std::string key = Word(rest);
    Check(WaitUntil([&] { return !ReadValue(key, rest, &data); }, kSettleMs),
          key + " " + rest + " is there: \"" + Printable(data) + "\"");
    return true;
  }
  if (verb == "folder") {
    MakeFolders(rest);
    return true;
  }
  if (verb == "write") {
    std::string path = Word(rest);
    return Check(WriteFileText(path, Unescape(rest)), "could not write " + path);
  }
  if (verb == "hold") {
    HANDLE file = CreateFileA(rest.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    heldFiles.push_back(file);
    return Check(file != INVALID_HANDLE_VALUE, "could not hold " + rest + " open");
  }
  if (verb == "file") {
    Check(WaitUntil([&] { return FileExists(rest); }, kSettleMs), rest + " is missing");
    return true;
  }
  if (verb == "nofile") {
    Check(WaitUntil([&] { return !FileExists(rest); }, kSettleMs), rest + " is there");
    return true;
  }
  if (verb == "same") {
    std::string path = Word(rest);
    Check(ReadFileText(path) == Unescape(rest), path + " holds \"" + Printable(ReadFileText(path)) + "\"");
    return true;
  }
  if (verb == "installer-window") return MakeInstallerWindow();
  if (verb == "product") {
    others.push_back(StartProgram(rest + "\\Quavertone.exe", "Quavertone.exe", rest));
    return Check(WaitUntil([] { return FindWindowA("Quavertone", nullptr) != nullptr; }), "the product shows no window");
  }
  if (verb == "close-product") {
    PostMessageA(FindWindowA("Quavertone", nullptr), WM_CLOSE, 0, 0);
    return Check(WaitUntil([] { return FindWindowA("Quavertone", nullptr) == nullptr; }), "the product stays open");
  }
  if (verb == "start") return StartSetup(rest);
  if (verb == "uninstall") {
    // As the system's list of programs does: the registered command line.
    if (!Check(ReadValue("HKLM\\" + rest, "UninstallString", &data) && !data.empty(), "no UninstallString")) return false;
    std::string line(data.c_str());
    std::string program = line[0] == '"' ? line.substr(1, line.find('"', 1) - 1) : line.substr(0, line.find(' '));
    programs.push_back(StartProgram(program, line, "C:\\"));
    return Check(Setup().started, "could not start " + line);
  }
  if (verb == "dialog") {
    folderWindowsBefore = CountFolderWindows();
    return Check(WaitForCaption(rest, Setup().id) != nullptr, "no window \"" + rest + "\"");
  }
  if (verb == "see") {
    int id = std::stoi(Word(rest));
    rest = Unescape(rest);
    Check(WaitUntil([&] { return ControlText(window, id) == rest; }, 5000),
          "control " + std::to_string(id) + " shows \"" + Printable(ControlText(window, id)) + "\", not \"" + rest + "\"");
    return true;
  }
  if (verb == "is") {
    int id = std::stoi(Word(rest));
    while (!rest.empty()) {
      std::string state = Word(rest);
      Check(WaitUntil([&] { return HasState(id, state); }, 5000), "control " + std::to_string(id) + " is not " + state);
    }
    return true;
  }
  if (verb == "type") {
    int id = std::stoi(Word(rest));
    SetControlText(window, id, Unescape(rest));
    return true;
  }
  if (verb == "click") {
    Click(window, std::stoi(rest));
    return true;
  }
  if (verb == "key" || verb == "press") {
    // key: to the control with the focus; press ID: to that control, as
    // after a click into it.  A letter is typed as its character.
    HWND target = verb == "press" ? GetDlgItem(window, std::stoi(Word(rest))) : FocusOf(window);
    for (std::string keys = rest; !keys.empty();) {
      std::string name = Word(keys);
      UINT code = KeyCode(name);
      if (!Check(code != 0, "no key " + name)) return false;
      PressKey(target ? target : window, code);
      if (name.size() == 1) PostMessageA(target ? target : window, WM_CHAR, static_cast<unsigned char>(name[0]), 1);
      SettleTree(target);
    }
    return true;
  }
  if (verb == "close") {
    CloseWindowAsCloseBox(window);
    return true;
  }
  if (verb == "ask") return Box(kQuestionCaption, Unescape(rest), Setup().id);
  if (verb == "fatal") return Box(kFatalCaption, Unescape(rest), Setup().id) && Answer("ok");
  if (verb == "box") {
    std::string caption = Word(rest);
    return Box(caption, Unescape(rest), 0);
  }
  if (verb == "answer") return Answer(rest);
  if (verb == "catch") return Catch(rest);
  if (verb == "resume") {
    ResumeThread(Setup().thread);
    return true;
  }
  if (verb == "shown") {
    Check(!FindWindowsByCaption(rest).empty(), "no window \"" + rest + "\"");
    return true;
  }
  if (verb == "hidden") {
    Check(FindWindowsByCaption(rest).empty(), "a window \"" + rest + "\" is shown");
    return true;
  }
  if (verb == "exit") {
    DWORD timeout = rest.find(' ') == std::string::npos ? kDefaultTimeoutMs : std::stoul(rest.substr(rest.find(' ') + 1));
    long code = WaitForExit(Setup(), timeout);
    bool good = Check(code == std::stol(rest), "exit code " + std::to_string(code));
    programs.pop_back();
    window = nullptr;
    return good;
  }
  if (verb == "started") {
    std::string name = Word(rest);
    std::string record = Unescape(rest) + "\n";
    Check(WaitUntil([&] { return Started(name) == record; }, kSettleMs),
          name + " started as \"" + Started(name) + "\", not \"" + record + "\"");
    return true;
  }
  if (verb == "notstarted") {
    Check(Started(rest).empty(), rest + " was started: " + Started(rest));
    return true;
  }
  if (verb == "explorer") {
    if (rest == "opened")
      Check(WaitUntil([] { return CountFolderWindows() > folderWindowsBefore; }, kSettleMs),
            "no folder window was opened");
    else
      Check(CountFolderWindows() == folderWindowsBefore, "a folder window was opened");
    return true;
  }
  if (verb == "installed") {
    CheckInstalled(rest);
    return true;
  }
  if (verb == "entry") {
    std::string key = Word(rest);
    CheckEntry(key, rest);
    return true;
  }
  if (verb == "noentry") {
    Check(WaitUntil(NoEntry, kSettleMs), "an uninstall entry is there");
    return true;
  }
  if (verb == "noshortcuts") {
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY}) {
      std::string link = SpecialFolder(csidl) + "\\Quavertone.lnk";
      Check(WaitUntil([&] { return !FileExists(link); }, kSettleMs), link + " is there");
    }
    return true;
  }
  if (verb == "shortcut") {
    // "shortcut programs|desktop TARGET in FOLDER"
    std::string where = Word(rest);
    std::string link = SpecialFolder(where == "desktop" ? CSIDL_DESKTOPDIRECTORY : CSIDL_PROGRAMS) + "\\Quavertone.lnk";
    Check(ShortcutTarget(link) == rest, link + " points at \"" + ShortcutTarget(link) + "\"");
    return true;
  }
  if (verb == "hide" || verb == "show") {
    ShowWindow(window, verb == "hide" ? SW_HIDE : SW_SHOW);
    return true;
  }
  if (verb == "shot") {
    Shot(rest);
    return true;
  }
  if (verb == "report") {
    Report(rest);
    return true;
  }
  return Check(false, "unknown step \"" + verb + "\"");
}

std::vector<Step> ReadScenario(const char* path) {
  std::vector<Step> steps;
  std::ifstream in(path);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos || line[first] == '#') continue;
    line = line.substr(first);
    std::string rest = line;
    std::string verb = Word(rest);
    if (verb.back() == ':') continue;
    steps.push_back({number, verb, rest});
  }
  return steps;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: scenario.exe FILE\n");
    return 2;
  }
  std::vector<Step> steps = ReadScenario(argv[1]);
  if (steps.empty()) {
    std::printf("no steps in %s\n", argv[1]);
    return 1;
  }
  CreateDirectoryA("C:\\qvtest", nullptr);
  SetEnvironmentVariableA("QV_STANDIN_LOG", kStandinLog);
  int done = 0;
  for (const Step& step : steps) {
    ++done;
    if (!Run(step)) break;
  }
  while (!programs.empty()) {
    if (IsRunning(Setup())) Check(false, "a program is still running at the end");
    KillProgram(Setup());
    programs.pop_back();
  }
  for (Program& other : others) KillProgram(other);
  for (HANDLE file : heldFiles) CloseHandle(file);
  std::printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
  if (done < static_cast<int>(steps.size())) std::printf("stopped after line %d\n", currentLine);
  return failures == 0 ? 0 : 1;
}
