// scenario.exe FILE.txt plays a scenario against the real E:\setup.exe as a person would and checks what the run left
// behind.  A line is a verb and its arguments (\r\n a line break, <HH> the byte HH); "#" lines and "word:" lines are
// not steps.  A failed check prints its line and the window at hand; a failed wait for a window ends the scenario;
// every wait is bounded.  QV_SETUP_BUILD names the build under test.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "check.h"  // ReadAll, WriteAll
#include "engine/file_table.h"
#include "engine/install_journal.h"

namespace {

const char kProductKey[] = "HKCU\\Software\\Quavertone";
const char kStandinLog[] = "C:\\qvtest\\started.log";
// While this file exists, a started stand-in stays running.
const char kStandinWait[] = "C:\\qvtest\\standin.wait";
// The closing message's wording after an installation (not an update).
const char kInstalledText[] = "Quavertone has been successfully installed!\r\nWould you like to go Quavertone now?";
// Generous, as a wait ends once its condition holds; kWatchMs is how long a check that something does not happen
// watches for it.
const DWORD kWaitMs = 60000, kSettleMs = 20000, kControlMs = 5000, kWatchMs = 1500;

struct Program {
  HANDLE process = nullptr, thread = nullptr;
  DWORD id = 0;
};

// The installers started (the last is current), the product, the window at hand.
std::vector<Program> programs, others;
std::vector<HANDLE> heldFiles;
HWND window = nullptr;
int failures = 0, currentLine = 0, stoppedAt = 0;  // stoppedAt: the file the last interrupt was taken at
std::set<HWND> folderWindowsBefore;
std::string currentLoop;  // the values of the loops the line runs in ("F=akrip32.dll")
std::map<std::string, std::string> snapshot;  // what snapshot recorded: path or value -> content
std::string snapshotFolder;

Program& Setup();

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kWaitMs) {
  for (DWORD start = GetTickCount(); !condition(); Sleep(20))
    if (GetTickCount() - start > timeoutMs) return condition();
  return true;
}

// A window's text through WM_GETTEXT, bounded in time like every wait.
std::string Text(HWND w) {
  char buffer[1024] = "";
  DWORD_PTR length = 0;
  if (w == nullptr || !SendMessageTimeoutA(w, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                                           SMTO_ABORTIFHUNG, kControlMs, &length))
    return "";
  return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

std::string ControlText(int id) { return Text(GetDlgItem(window, id)); }

std::string ClassOf(HWND w) {
  char name[256] = "";
  GetClassNameA(w, name, sizeof name);
  return name;
}

BOOL CALLBACK DescribeChild(HWND child, LPARAM out) {
  char line[1400];
  std::snprintf(line, sizeof line, "      id %d %s \"%s\" style %08lx%s%s\n", GetDlgCtrlID(child),
                ClassOf(child).c_str(), Text(child).c_str(),
                static_cast<unsigned long>(GetWindowLongPtrA(child, GWL_STYLE)),
                IsWindowEnabled(child) ? "" : " disabled", IsWindowVisible(child) ? "" : " hidden");
  *reinterpret_cast<std::string*>(out) += line;
  return TRUE;
}

// The window with its controls' ids, classes, texts and states.
std::string Describe(HWND w) {
  std::string out = "    window \"" + Text(w) + "\" class " + ClassOf(w) + "\n";
  EnumChildWindows(w, DescribeChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

bool Check(bool good, const std::string& what) {
  if (!good) {
    ++failures;
    std::printf("line %d%s: %s\n", currentLine, currentLoop.c_str(), what.c_str());
    if (window != nullptr && IsWindow(window)) std::printf("%s", Describe(window).c_str());
    std::fflush(stdout);
  }
  return good;
}

// A check of something that comes about on its own; the scenario goes on.
template <typename Condition>
bool Soon(Condition condition, const std::string& what, DWORD timeoutMs = kSettleMs) {
  Check(WaitUntil(condition, timeoutMs), what);
  return true;
}

Program& Setup() {
  static Program none;
  return programs.empty() ? none : programs.back();
}

bool Running(const Program& p) { return p.process && WaitForSingleObject(p.process, 0) == WAIT_TIMEOUT; }

void Kill(Program& p) {
  if (p.process) TerminateProcess(p.process, 99), WaitForSingleObject(p.process, 5000), CloseHandle(p.process);
  if (p.thread) CloseHandle(p.thread);
  p = Program();
}

BOOL CALLBACK CollectWindow(HWND w, LPARAM context) {
  auto* found = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  if (found->first == 0 || owner == found->first) found->second.push_back(w);
  return TRUE;
}

// Top-level windows of a process (of all when processId is 0).
std::vector<HWND> WindowsOf(DWORD processId) {
  std::pair<DWORD, std::vector<HWND>> found{processId, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
  return found.second;
}

// Windows whose caption is caption, or begins so when prefix is set.
std::vector<HWND> Captioned(const std::string& caption, DWORD processId = 0, bool prefix = false) {
  std::vector<HWND> found;
  for (HWND w : WindowsOf(processId))
    if (prefix ? Text(w).compare(0, caption.size(), caption) == 0 : Text(w) == caption) found.push_back(w);
  return found;
}

// What a wait that timed out saw: visible top-level windows, the installer's state.
std::string Scene() {
  std::string out = "    the screen shows:\n";
  for (HWND w : WindowsOf(0)) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (IsWindowVisible(w))
      out += "      " + ClassOf(w) + " \"" + Text(w) + "\" of process " + std::to_string(process) + "\n";
  }
  DWORD code = 0;
  if (Setup().process == nullptr) return out + "    no installer started\n";
  GetExitCodeProcess(Setup().process, &code);
  return out + "    installer " + std::to_string(Setup().id) +
         (code == STILL_ACTIVE ? " still runs\n" : " ended with code " + std::to_string(code) + "\n");
}

// Waits for a visible window of the process with that caption: the window at hand.
HWND WaitForCaption(const std::string& caption, DWORD processId) {
  window = nullptr;
  WaitUntil([&] {
    for (HWND w : Captioned(caption, processId))
      if (IsWindowVisible(w)) window = w;
    return window != nullptr;
  });
  return window;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Env(const char* name) {
  char buffer[1024];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : "";
}

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

std::string Sz(const std::string& text) { return std::string(text.c_str(), text.size() + 1); }

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[8];
    std::snprintf(hex, sizeof hex, c >= 32 && c < 127 ? "%c" : "<%02X>", c);
    out += hex;
  }
  return out;
}

// "HKLM\SOFTWARE\..." opened in the 64-bit view, where the machine has one: what a 32-bit setup.exe writes under
// SOFTWARE is then seen at WOW6432Node, as the scenarios state it.  create also makes the key.
HKEY OpenPath(const std::string& path, bool create) {
  size_t slash = path.find('\\');
  std::string root = path.substr(0, slash), rest = slash == std::string::npos ? "" : path.substr(slash + 1);
  HKEY base = root == "HKLM" ? HKEY_LOCAL_MACHINE : root == "HKCU" ? HKEY_CURRENT_USER : nullptr;
  HKEY key = nullptr;
  if (base == nullptr) return nullptr;
  LONG result = create ? RegCreateKeyExA(base, rest.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr,
                                         &key, nullptr)
                       : RegOpenKeyExA(base, rest.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key);
  return result == ERROR_SUCCESS ? key : nullptr;
}

bool ReadValue(const std::string& path, const std::string& value, std::string* data, DWORD* type = nullptr) {
  HKEY key = OpenPath(path, false);
  char buffer[2048];
  DWORD size = sizeof buffer, valueType = 0;
  bool good = key && RegQueryValueExA(key, value.c_str(), nullptr, &valueType, reinterpret_cast<BYTE*>(buffer),
                                      &size) == ERROR_SUCCESS;
  if (key) RegCloseKey(key);
  if (good) data->assign(buffer, size);
  if (type) *type = good ? valueType : REG_NONE;
  return good;
}

// Writes a value; REG_NONE deletes it (a missing one is deleted already).
bool PutValue(const std::string& path, const std::string& value, DWORD type, const std::string& bytes) {
  HKEY key = OpenPath(path, true);
  if (key == nullptr) return false;
  LONG result = type == REG_NONE ? RegDeleteValueA(key, value.c_str())
                                 : RegSetValueExA(key, value.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                                  static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS || (type == REG_NONE && result == ERROR_FILE_NOT_FOUND);
}

bool HasValue(const std::string& path, const std::string& value, DWORD type, const std::string& bytes) {
  std::string data;
  DWORD got;
  return ReadValue(path, value, &data, &got) && got == type && data == bytes;
}

// A value as the scenario writes it: "sz TEXT" (stored with its terminator), "bytes TEXT" (without), "hex E8030000",
// "dword 1000"; "none" deletes it.
bool ValueBytes(std::string rest, DWORD* type, std::string* bytes) {
  std::string kind = Word(rest);
  rest = Unescape(rest);
  *type = kind == "hex" ? REG_BINARY : kind == "dword" ? REG_DWORD : kind == "none" ? REG_NONE : REG_SZ;
  DWORD number = kind == "dword" ? std::stoul(rest) : 0;
  if (kind == "sz") *bytes = Sz(rest);
  else if (kind == "dword") bytes->assign(reinterpret_cast<const char*>(&number), 4);
  else if (kind == "none") bytes->clear();
  else if (kind == "bytes") *bytes = rest;
  else if (kind == "hex")
    for (size_t i = 0; i + 1 < rest.size(); i += 2) bytes->push_back(static_cast<char>(std::stoul(rest.substr(i, 2), nullptr, 16)));
  else
    return false;
  return true;
}

std::string Shortcut(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return std::string(path) + "\\Quavertone.lnk";
}

// "TARGET in FOLDER" of a shortcut through the shell's link object, or "".
std::string ShortcutTarget(const std::string& file) {
  std::string result;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IPersistFile* persist = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                       reinterpret_cast<void**>(&link)) == S_OK &&
      link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)) == S_OK) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    char target[MAX_PATH * 2] = "", folder[MAX_PATH * 2] = "";
    if (persist->Load(wide, STGM_READ) == S_OK && link->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH) == S_OK &&
        link->GetWorkingDirectory(folder, sizeof folder) == S_OK)
      result = std::string(target) + " in " + folder;
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
  return result;
}

// Folder windows opened, by any process, since the start or the last check.
std::vector<HWND> NewFolderWindows() {
  std::vector<HWND> found;
  for (HWND w : WindowsOf(0))
    if ((ClassOf(w) == "CabinetWClass" || ClassOf(w) == "ExplorerWClass") && !folderWindowsBefore.count(w))
      found.push_back(w);
  return found;
}

// The stand-ins' records of name, as "path=...|args=...|cwd=...|show=N" lines.
std::string Started(const std::string& name) {
  std::istringstream in(ReadAll(kStandinLog));
  std::string lines, prefix = "name=" + name + "|";
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, prefix.size(), prefix) == 0) lines += line.substr(prefix.size()) + "\n";
  }
  return lines;
}

bool Copy(const std::string& from, const std::string& to) { return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0; }

void MakeFolders(const std::string& path) {
  for (size_t at = 3; at <= path.size(); ++at)
    if (at == path.size() || path[at] == '\\') CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
}

// Starts a program with the exact command line given; a start that Wine refuses under load (error 1359, before any
// code ran) is tried again.
bool Start(std::vector<Program>& list, const std::string& path, const std::string& commandLine,
           const std::string& folder) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info;
  for (int attempt = 0; attempt < 3; ++attempt, Sleep(200)) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info)) {
      list.push_back({info.hProcess, info.hThread, info.dwProcessId});
      return true;
    }
    std::printf("    CreateProcess(%s) failed: error %lu\n", path.c_str(), GetLastError());
  }
  return Check(false, "could not start " + commandLine);
}

// Starts setup.exe: "cd" as the CD's autorun starts it (E:\setup.exe in E:\), "disk" as a copy on the hard disk,
// "bare" as a name without a drive (started in E:\).
bool StartSetup(std::string rest) {
  std::string where = Word(rest), path = "E:\\setup.exe", folder = "E:\\";
  if (where == "disk") {
    CreateDirectoryA("C:\\temp", nullptr);
    path = "C:\\temp\\setup.exe";
    folder = "C:\\temp";
    if (!Check(Copy("E:\\setup.exe", path), "could not copy setup.exe to the hard disk")) return false;
  } else if (!Check(where == "cd" || where == "bare", "start cd|disk|bare, not " + where)) {
    return false;
  }
  // Wine answers a drive's type through its mount manager, a service that a fresh prefix starts with its first
  // program: until then E: reads as a plain folder.  On a busy machine E: once stayed one for a minute: if it takes
  // long, the service is started again, and its state is told.
  auto cdrom = [] { return GetDriveTypeA("E:\\") == DRIVE_CDROM; };
  if (!WaitUntil(cdrom, kSettleMs)) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceA(manager, "MountMgr", SERVICE_START | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status = {};
    QueryServiceStatus(service, &status);
    BOOL restarted = StartServiceA(service, 0, nullptr);
    std::printf("    E: is no CD-ROM after %lu ms: mount manager in state %lu, started again: %d (error %lu)\n",
                kSettleMs, status.dwCurrentState, restarted, GetLastError());
    CloseServiceHandle(service), CloseServiceHandle(manager);
  }
  if (!Check(WaitUntil(cdrom), "E: reads as drive type " + std::to_string(GetDriveTypeA("E:\\")) + ", never as a CD-ROM"))
    return false;
  std::string line = where == "bare" ? "setup.exe" : "\"" + path + "\"";
  return Start(programs, path, rest.empty() ? line : line + " " + rest, folder);
}

// The row whose payload the installer is expanding into FOLDER (the scratch file is there, the row's staged file
// shorter than its payload), or 0.
int Expanding(const std::string& folder) {
  if (!Exists(folder + "\\" SCRATCH_FILE_NAME)) return 0;
  for (unsigned row = 1; row <= FILE_TABLE_ROWS; ++row) {
    WIN32_FILE_ATTRIBUTE_DATA staged, payload;
    if (GetFileAttributesExA((folder + "\\" + StagedFileName(row)).c_str(), GetFileExInfoStandard, &staged) &&
        GetFileAttributesExA((Env("QV_SETUP_BUILD") + "\\payloads\\" + FileTable[row - 1].Name).c_str(),
                             GetFileExInfoStandard, &payload) &&
        staged.nFileSizeLow < payload.nFileSizeLow)
      return static_cast<int>(row);
  }
  return 0;
}

// The installer's visible window whose caption begins with caption, asked through GetWindowText, which asks a stopped
// thread nothing.
HWND StoppedWindow(const std::string& caption) {
  char text[256];
  for (HWND w : WindowsOf(Setup().id))
    if (IsWindowVisible(w) && GetWindowTextA(w, text, sizeof text) > 0 &&
        std::strncmp(text, caption.c_str(), caption.size()) == 0)
      return w;
  return nullptr;
}

// Runs the installer in short slices until it shows a window whose caption begins with caption (the window at hand
// then), and leaves it stopped there: the installer works through its files faster than any person could press a key,
// so a person's Escape in the progress window, or a power cut in the middle of the files, is otherwise impossible to
// time.
bool Catch(const std::string& caption) {
  Program& setup = Setup();
  auto caught = [&] { return (window = StoppedWindow(caption)) != nullptr; };
  for (DWORD start = GetTickCount();; Sleep(0)) {
    SuspendThread(setup.thread);
    if (caught()) return true;
    ResumeThread(setup.thread);
    if (!Running(setup) || GetTickCount() - start > kWaitMs)
      return Check(false, "never caught: " + caption + "\n" + Scene());
    Sleep(0);
    SuspendThread(setup.thread);
    Sleep(2);
    ResumeThread(setup.thread);
  }
}

BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
  DWORD_PTR icon = 0;
  if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ClassOf(child) == "Static" &&
      SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kControlMs, &icon) && icon != 0)
    *reinterpret_cast<bool*>(found) = true;
  return TRUE;
}

// The buttons a box shows ("ok", "okcancel", "yesno"), "-owned" when it has an owner window, and "-noicon" when it
// shows no icon.
std::string Shape(HWND box) {
  static const char* const names[] = {"", "ok", "cancel", "abort", "retry", "ignore", "yes", "no"};
  std::string shape;
  for (int id = IDOK; id <= IDNO; ++id)
    if (IsWindowVisible(GetDlgItem(box, id))) shape += names[id];
  bool icon = false;
  EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
  return shape + (GetWindow(box, GW_OWNER) ? "-owned" : "") + (icon ? "" : "-noicon");
}

// A message box of the current installer with that caption, shape and text.
bool Box(const std::string& caption, const std::string& shape, const std::string& text) {
  if (WaitForCaption(caption, Setup().id) == nullptr)
    return Check(false, "no box \"" + caption + "\" saying: " + text + "\n" + Scene());
  WaitUntil([] { return !ControlText(0xFFFF).empty(); }, kControlMs);
  Check(Shape(window) == shape, "box \"" + text + "\" is " + Shape(window) + ", not " + shape);
  return Check(ControlText(0xFFFF) == text, "box says \"" + Printable(ControlText(0xFFFF)) + "\"");
}

// Presses a button as a click does: posted, so a box it opens blocks nothing.
void Click(int id) { PostMessageA(GetDlgItem(window, id), BM_CLICK, 0, 0); }

bool Answer(const std::string& button) {
  static const std::map<std::string, int> ids = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
  auto id = ids.find(button);
  if (!Check(id != ids.end() && window != nullptr, "answer ok|cancel|yes|no to an open box")) return false;
  HWND box = window;
  Click(id->second);
  return Check(WaitUntil([box] { return !IsWindow(box); }), "the box stayed after " + button);
}

HWND Focus() {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// A state of a control: checked, unchecked, picture, readonly, editable, enabled, disabled, default, focused; one
// that cannot be asked has none.
bool HasState(int id, const std::string& state) {
  HWND control = GetDlgItem(window, id);
  LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
  DWORD_PTR checked = 0;
  if (control == nullptr) return false;
  if (state == "checked" || state == "unchecked")
    return ClassOf(control) == "Button" &&
           SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kControlMs, &checked) &&
           (checked == BST_CHECKED) == (state == "checked");
  if (state == "picture")  // a bitmap control that holds a bitmap
    return (style & SS_TYPEMASK) == SS_BITMAP &&
           SendMessageTimeoutA(control, STM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_ABORTIFHUNG, kControlMs, &checked) &&
           checked != 0;
  if (state == "readonly" || state == "editable")
    return ClassOf(control) == "Edit" && ((style & ES_READONLY) != 0) == (state == "readonly");
  if (state == "enabled" || state == "disabled") return (IsWindowEnabled(control) != 0) == (state == "enabled");
  if (state == "default") return (style & 0x0F) == BS_DEFPUSHBUTTON;
  return state == "focused" && Focus() == control;
}

// A tree fills an item's children when it opens, reading folders: the next key waits until the item count has stayed
// the same for a while.
void SettleTree(HWND tree) {
  DWORD_PTR count = 0, before = ~static_cast<DWORD_PTR>(0);
  for (int quiet = 0, polls = 0; quiet < 3 && polls < 100; ++polls, before = count, Sleep(50)) {
    SendMessageTimeoutA(tree, TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kControlMs, &count);
    quiet = count == before ? quiet + 1 : 0;
  }
}

UINT KeyCode(const std::string& name) {
  static const std::map<std::string, UINT> keys = {
      {"escape", VK_ESCAPE}, {"enter", VK_RETURN}, {"down", VK_DOWN}, {"right", VK_RIGHT}};
  auto key = keys.find(name);
  if (key != keys.end()) return key->second;
  return name.size() == 1 ? static_cast<UINT>(VkKeyScanA(name[0]) & 0xFF) : 0;
}

// key: to the control with the focus; press ID: to that control, as after a click into it.  A letter is typed as its
// character.
bool Keys(HWND target, std::string keys) {
  if (target == nullptr) target = window;
  while (!keys.empty()) {
    std::string name = Word(keys);
    UINT code = KeyCode(name);
    if (!Check(code != 0, "no key " + name)) return false;
    PostMessageA(target, WM_KEYDOWN, code, 1);
    PostMessageA(target, WM_KEYUP, code, 0xC0000001);
    if (name.size() == 1) PostMessageA(target, WM_CHAR, static_cast<unsigned char>(name[0]), 1);
    SettleTree(target);
  }
  return true;
}

// The five files in folder are the payloads' originals with no scratch, staged or kept-aside file (*.tmp) beside
// them, the records name folder and release 10.0, and both shortcuts point at the program there.
void CheckInstalled(const std::string& folder) {
  for (const FileTableEntry& entry : FileTable) {
    const std::string name = entry.Name;
    std::string expected = ReadAll(Env("QV_SETUP_BUILD") + "\\payloads\\" + name), got = ReadAll(folder + "\\" + name);
    Check(!expected.empty() && got == expected, folder + "\\" + name + ": " + std::to_string(got.size()) +
                                                    " bytes, the original has " + std::to_string(expected.size()));
  }
  WIN32_FIND_DATAA found = {};
  HANDLE left = FindFirstFileA((folder + "\\*.tmp").c_str(), &found);
  Check(left == INVALID_HANDLE_VALUE, std::string(found.cFileName) + " left in " + folder);
  if (left != INVALID_HANDLE_VALUE) FindClose(left);
  Check(HasValue(kProductKey, "ProgramDirectory", REG_SZ, Sz(folder)), "ProgramDirectory is not " + folder);
  Check(HasValue(kProductKey, "ProgramVersion", REG_BINARY, std::string("\xE8\x03\x00\x00", 4)),
        "ProgramVersion is not E8030000");
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY}) {
    std::string target = ShortcutTarget(Shortcut(csidl));
    Check(target == folder + "\\Quavertone.exe in " + folder, Shortcut(csidl) + " points at \"" + target + "\"");
  }
}

// An earlier installation of version in folder: the records, the programs such an installation holds, and its other
// files ("9.99 akrip32.dll").
bool PutEarlier(std::string rest) {
  std::string version = Word(rest), folder = rest, standins = Env("QV_SETUP_BUILD") + "\\tools\\standins\\";
  MakeFolders(folder);
  DWORD number = std::stoul(version);
  for (const char* name : {"Quavertone.chm", "akrip32.dll", "npmod32.dll"})
    WriteAll(folder + "\\" + name, "9.99 " + std::string(name));
  return Check(Copy(Env("QV_SETUP_BUILD") + "\\payloads\\Quavertone.exe", folder + "\\Quavertone.exe") &&
                   Copy(standins + "uninstall.exe", folder + "\\uninstall.exe") &&
                   Copy(standins + "tonekit.exe", folder + "\\tonekit.exe") &&
                   PutValue(kProductKey, "ProgramDirectory", REG_SZ, Sz(folder)) &&
                   PutValue(kProductKey, "ProgramVersion", REG_BINARY,
                            std::string(reinterpret_cast<const char*>(&number), 4)),
               "could not put an earlier installation in " + folder);
}

// Asks scripts/play.sh (which sets QV_SHOTS) for a picture of the windows at hand: prints "shot NAME WxH+X+Y" and
// waits for QV_SHOTS\NAME.png.
void Shot(const std::string& name) {
  std::string folder = Env("QV_SHOTS");
  if (folder.empty()) return;
  std::vector<HWND> windows = WindowsOf(Setup().id);
  windows.push_back(window);
  RECT r = {0, 0, 0, 0}, wr;
  for (HWND w : windows)
    if (w && IsWindowVisible(w) && GetWindowRect(w, &wr)) UnionRect(&r, &r, &wr);
  InflateRect(&r, 8, 8);
  r.left = r.left < 0 ? 0 : r.left;
  r.top = r.top < 0 ? 0 : r.top;
  std::printf("shot %s %ldx%ld+%ld+%ld\n", name.c_str(), r.right - r.left, r.bottom - r.top, r.left, r.top);
  std::fflush(stdout);
  Check(WaitUntil([&] { return Exists(folder + "\\" + name + ".png"); }), "no picture " + name);
}

// Every file and folder below folder, by path relative to it: a folder as "/", a file as its bytes (one held open
// without sharing as "<held>").
void ListTree(const std::string& folder, const std::string& relative, std::map<std::string, std::string>* out) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName, path = folder + "\\" + name;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      (*out)[relative + name] = "/";
      ListTree(path, relative + name + "\\", out);
    } else {
      HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      (*out)[relative + name] = file == INVALID_HANDLE_VALUE ? "<held>" : ReadAll(path);
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// Every value of a key, as "KEY name" -> type and bytes.
void ListValues(const std::string& key, std::map<std::string, std::string>* out) {
  HKEY opened = OpenPath(key, false);
  char name[256], data[2048];
  DWORD nameSize, dataSize, type;
  for (DWORD i = 0; opened && (nameSize = sizeof name, dataSize = sizeof data,
                               RegEnumValueA(opened, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                             &dataSize) == ERROR_SUCCESS);
       ++i)
    (*out)[key + " " + name] = std::to_string(type) + " " + Printable(std::string(data, dataSize));
  if (opened) RegCloseKey(opened);
}

const char* const kUninstallKeys[] = {
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone",
    "HKLM\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone"};

// What a person would find of the product: the folder's tree, the product's records, the uninstall entry and the
// shortcuts.
std::map<std::string, std::string> MachineState(const std::string& folder) {
  std::map<std::string, std::string> state;
  if (Exists(folder)) state[folder] = "/";
  ListTree(folder, folder + "\\", &state);
  ListValues(kProductKey, &state);
  for (const char* key : kUninstallKeys) ListValues(key, &state);
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY})
    if (Exists(Shortcut(csidl))) state[Shortcut(csidl)] = "shortcut";
  return state;
}

bool Unchanged() {
  std::map<std::string, std::string> now = MachineState(snapshotFolder);
  for (const auto& [what, before] : snapshot)
    if (!now.count(what)) Check(false, what + " is gone");
    else if (now[what] != before) Check(false, what + " changed: \"" + Printable(now[what].substr(0, 60)) + "\"");
  for (const auto& [what, after] : now)
    if (!snapshot.count(what)) Check(false, what + " is new");
  return true;
}

void DeleteTree(const std::string& folder) {
  std::map<std::string, std::string> tree;
  ListTree(folder, folder + "\\", &tree);
  for (auto entry = tree.rbegin(); entry != tree.rend(); ++entry)
    entry->second == "/" ? RemoveDirectoryA(entry->first.c_str()) : DeleteFileA(entry->first.c_str());
  RemoveDirectoryA(folder.c_str());
}

// Every file the scenario holds open is let go.
void ReleaseHeld() {
  for (HANDLE file : heldFiles) CloseHandle(file);
  heldFiles.clear();
}

// The machine as before any installation, but for folder: no files held, no product folder, records, entry, shortcuts
// or stand-ins' records.
bool Clean(const std::string& folder) {
  ReleaseHeld();
  DeleteTree(folder);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quavertone");
  for (const char* key : kUninstallKeys) {
    HKEY software = OpenPath("HKLM\\SOFTWARE", true);
    RegDeleteKeyA(software, key + sizeof "HKLM\\SOFTWARE");
    RegCloseKey(software);
  }
  for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY}) DeleteFileA(Shortcut(csidl).c_str());
  DeleteFileA(kStandinLog);
  return Check(!Exists(folder) && MachineState(folder).empty(), "could not clean " + folder);
}

// Runs one step; answers false when the scenario cannot go on.
bool Run(const std::string& verb, std::string rest) {
  DWORD type = 0;
  std::string bytes, data;
  if (verb == "windows")
    return Check(PutValue("HKCU\\Software\\Wine\\AppDefaults\\setup.exe", "Version", REG_SZ, Sz("win" + rest)),
                 "could not choose Windows " + rest);
  if (verb == "earlier") return PutEarlier(rest);
  if (verb == "put" || verb == "reg") {
    std::string key = Word(rest), value = Word(rest);
    if (value == "@") value.clear();
    if (!Check(ValueBytes(rest, &type, &bytes), "value types: sz, bytes, hex, dword, none")) return false;
    if (verb == "put") return Check(PutValue(key, value, type, bytes), "could not write " + key + " " + value);
    return Soon([&] { return HasValue(key, value, type, bytes); }, key + " " + value + " is not " + rest);
  }
  if (verb == "noreg") {
    std::string key = Word(rest);
    return Soon([&] { return !ReadValue(key, rest, &data); }, key + " " + rest + " is there: " + Printable(data));
  }
  if (verb == "folder") return MakeFolders(rest), true;
  if (verb == "write") {
    std::string path = Word(rest);
    return Check(WriteAll(path, Unescape(rest)), "could not write " + path);
  }
  if (verb == "hold") {
    heldFiles.push_back(CreateFileA(rest.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    return Check(heldFiles.back() != INVALID_HANDLE_VALUE, "could not hold " + rest + " open");
  }
  if (verb == "release") return ReleaseHeld(), true;
  if (verb == "delete") return DeleteFileA(rest.c_str()) || RemoveDirectoryA(rest.c_str()), true;  // a file or an empty folder
  if (verb == "fill") {  // "fill PATH KB": a file that takes that much room
    std::string path = Word(rest);
    return Check(WriteAll(path, std::string(std::stoul(rest) * 1024, 'x')), "could not fill " + path);
  }
  if (verb == "clean") return Clean(rest);
  if (verb == "snapshot") return snapshot = MachineState(snapshotFolder = rest), true;
  if (verb == "unchanged") return Unchanged();
  if (verb == "only") {  // "only FOLDER holds NAME...": exactly these, in any order
    size_t holds = rest.find(" holds ");
    if (holds == std::string::npos) return Check(false, "only FOLDER holds NAME...");
    std::map<std::string, std::string> tree;
    std::set<std::string> want;
    ListTree(rest.substr(0, holds), "", &tree);
    for (rest = rest.substr(holds + 7); !rest.empty();) want.insert(Word(rest));
    std::string got;
    for (const auto& entry : tree) got += entry.first + (want.erase(entry.first) ? " " : "(extra) ");
    for (const std::string& name : want) got += name + "(missing) ";
    return Check(got.find('(') == std::string::npos, "the folder holds " + got), true;
  }
  if (verb == "file") {
    // "file PATH" or "file PATH = SIZE": a file (not a folder), of that size.
    size_t sized = rest.find(" = ");
    std::string path = rest.substr(0, sized), size = sized == std::string::npos ? "" : rest.substr(sized + 3);
    WIN32_FILE_ATTRIBUTE_DATA data;
    auto good = [&] {
      return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
             !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (size.empty() || std::to_string(data.nFileSizeLow) == size);
    };
    return Soon(good, path + " is not a file" + (size.empty() ? "" : " of " + size + " bytes"));
  }
  if (verb == "nofile") return Soon([&] { return !Exists(rest); }, rest + " is there");
  if (verb == "product")
    return Start(others, rest + "\\Quavertone.exe", "Quavertone.exe", rest) &&
           Check(WaitUntil([] { return FindWindowA("Quavertone", nullptr) != nullptr; }), "the product shows no window");
  if (verb == "close-product") {
    PostMessageA(FindWindowA("Quavertone", nullptr), WM_CLOSE, 0, 0);
    return Check(WaitUntil([] { return FindWindowA("Quavertone", nullptr) == nullptr; }), "the product stays open");
  }
  if (verb == "start") return StartSetup(rest);
  // "setup [disk] [ARGUMENTS]": started (from the CD unless said), up to the install dialog; "install ...": and
  // Install pressed there; "menu": as the CD's autorun starts it, up to the CD-ROM menu.
  if (verb == "setup" || verb == "install")
    return StartSetup(rest.compare(0, 4, "disk") == 0 ? rest : "cd " + rest) &&
           Run("dialog", "Install Quavertone VERSION 10.0") && (verb == "setup" || Run("click", "1"));
  if (verb == "menu") return StartSetup("cd /autorun") && Run("dialog", "Quavertone --- CD-ROM");
  if (verb == "cancel") return Click(IDCANCEL), Run("exit", "0");
  if (verb == "dialog")
    return WaitForCaption(rest, Setup().id) != nullptr || Check(false, "no window \"" + rest + "\"\n" + Scene());
  if (verb == "see") {
    int id = std::stoi(Word(rest));
    rest = Unescape(rest);
    return Soon([&] { return ControlText(id) == rest; },
                "control " + std::to_string(id) + " shows \"" + Printable(ControlText(id)) + "\", not \"" + rest + "\"",
                kControlMs);
  }
  if (verb == "is") {  // "is ID... STATE..."
    std::vector<int> ids;
    while (!rest.empty() && std::isdigit(static_cast<unsigned char>(rest[0]))) ids.push_back(std::stoi(Word(rest)));
    for (std::string state; !(state = Word(rest)).empty();)
      for (int id : ids)
        Soon([&] { return HasState(id, state); }, "control " + std::to_string(id) + " is not " + state, kControlMs);
    return true;
  }
  if (verb == "type") {
    int id = std::stoi(Word(rest));
    rest = Unescape(rest);
    DWORD_PTR ignored;
    return SendMessageTimeoutA(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(rest.c_str()),
                               SMTO_ABORTIFHUNG, kControlMs, &ignored),
           true;
  }
  if (verb == "click") return Click(std::stoi(rest)), true;
  if (verb == "key") return Keys(Focus(), rest);
  if (verb == "press") {  // the id is taken off rest before the keys are read
    HWND control = GetDlgItem(window, std::stoi(Word(rest)));
    return Keys(control, rest);
  }
  if (verb == "close") return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0), true;
  if (verb == "ask" || verb == "reply") {
    // "ask SHAPE TEXT", SHAPE as Shape() names it; "reply ANSWER SHAPE TEXT": and answered so.
    std::string answer = verb == "reply" ? Word(rest) : "", shape = Word(rest);
    return Box("Install Quavertone", shape, Unescape(rest)) && (answer.empty() || Answer(answer));
  }
  // The error, answered; the run then ends.
  if (verb == "fatal") return Box("Installation Error", "ok", Unescape(rest)) && Answer("ok") && Run("exit", "0");
  if (verb == "answer") return Answer(rest);
  if (verb == "closing") {
    // The closing message of an installation, answered; the run then ends.
    return Box("Install Quavertone", "yesno", kInstalledText) && Answer(rest) && Run("exit", "0");
  }
  if (verb == "catch") return Catch(rest);
  if (verb == "interrupt") {
    // "interrupt": the progress window's close box, as soon as it shows.
    if (rest.empty()) return Catch("Installing Quavertone") && Run("close", "") && Run("resume", "");
    // "interrupt K FOLDER": Escape, taken with K files (1 to 5) staged in FOLDER where the installer can be seen
    // expanding file R when its progress window is caught: it takes a message after each file, so K - R go before
    // the key.  (The close box would take two: the dialog posts the command.)  Where it is seen between files, the
    // key goes in where it is, the line says so, and the bar is held only to what is staged.
    int k = std::stoi(Word(rest));
    if (!Catch("Installing Quavertone")) return false;
    int row = Expanding(rest);
    if (row == 0 || row > k)
      std::printf("    line %d%s: seen at file %d, not %d\n", currentLine, currentLoop.c_str(), row, k);
    for (stoppedAt = row == 0 ? -1 : std::max(row, k); row > 0 && row < k; ++row) PostMessageA(window, WM_NULL, 0, 0);
    return PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1), Run("resume", "");
  }
  if (verb == "resume") return ResumeThread(Setup().thread), true;
  if (verb == "bar") {
    // "bar FOLDER N": the progress bar of the window that owns the box at hand runs from 0 to 5 and stands at N (or
    // where the last interrupt said it stopped, past N), one step for each file staged in FOLDER.
    size_t last = rest.rfind(' ');
    std::string folder = rest.substr(0, last);
    rest = rest.substr(last + 1);
    HWND bar = GetDlgItem(GetWindow(window, GW_OWNER), 3002);
    DWORD_PTR low = 9, high = 9, pos = 9;
    SendMessageTimeoutA(bar, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kControlMs, &low);
    SendMessageTimeoutA(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kControlMs, &high);
    SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kControlMs, &pos);
    std::map<std::string, std::string> tree;
    ListTree(folder, "", &tree);
    size_t staged = 0;
    for (const auto& entry : tree) staged += entry.first.compare(0, 5, "qvnew") == 0;
    const auto n = static_cast<DWORD_PTR>(stoppedAt < 0 ? pos : std::max(std::stoi(rest), stoppedAt));
    return Check(low == 0 && high == 5 && pos == staged && pos == n, "the bar runs " + std::to_string(low) + " to " +
                 std::to_string(high) + " and stands at " + std::to_string(pos) + " with " + std::to_string(staged) + " files staged"), true;
  }
  if (verb == "kill") {
    // As a power cut or the task manager would end it.
    Kill(Setup());
    if (!programs.empty()) programs.pop_back();
    return window = nullptr, true;
  }
  if (verb == "hidden") {
    // No window with a caption that begins so comes, watched for a while.
    WaitUntil([&] { return !Captioned(rest, 0, true).empty(); }, kWatchMs);
    return Check(Captioned(rest, 0, true).empty(), "a window \"" + rest + "\" is shown"), true;
  }
  if (verb == "silent") {  // "silent CODE SWITCHES": started with them, then as unseen
    std::string code = Word(rest);
    return StartSetup("cd " + rest) && Run("unseen", code);
  }
  if (verb == "unseen") {
    // "unseen CODE": it ends with that code, no window shown on the way.
    std::string shown;
    WaitUntil([&] {
      for (HWND w : WindowsOf(Setup().id))
        if (shown.empty() && IsWindowVisible(w)) shown = Describe(w);
      return !Running(Setup());
    });
    Check(shown.empty(), "the installer showed a window:\n" + shown);
    return Run("exit", rest);
  }
  if (verb == "exit") {
    // "exit CODE [TIMEOUT_MS]": the installer ends with that code in time; one still running is killed, with what it
    // shows.
    long code = std::stol(Word(rest));
    if (!Check(!programs.empty(), "no installer to wait for")) return false;
    Program& setup = Setup();
    DWORD got = 0;
    if (WaitForSingleObject(setup.process, rest.empty() ? kWaitMs : std::stoul(rest)) == WAIT_OBJECT_0) {
      GetExitCodeProcess(setup.process, &got);
    } else {
      std::printf("    still running; windows:\n");
      for (HWND w : WindowsOf(setup.id)) std::printf("%s", Describe(w).c_str());
      got = static_cast<DWORD>(-1);
    }
    Kill(setup);
    programs.pop_back();
    window = nullptr;
    return Check(static_cast<long>(got) == code, "exit code " + std::to_string(static_cast<long>(got)));
  }
  if (verb == "started") {
    std::string name = Word(rest), record = Unescape(rest) + "\n";
    return Soon([&] { return Started(name) == record; }, name + " started as \"" + Started(name) + "\", not \"" + record + "\"");
  }
  if (verb == "notstarted") {  // none of the names given, watched for a while
    std::vector<std::string> names;
    for (std::string name; !(name = Word(rest)).empty();) names.push_back(name);
    auto any = [&] {
      for (const std::string& name : names)
        if (!Started(name).empty()) return true;
      return false;
    };
    WaitUntil(any, kWatchMs);
    for (const std::string& name : names) Check(Started(name).empty(), name + " was started: " + Started(name));
    return true;
  }
  if (verb == "explorer") {
    // "explorer none", or "explorer FOLDER": a folder window opened on it, captioned with the folder's name as the
    // shell shows it.
    SHFILEINFOA shown = {};
    SHGetFileInfoA(rest.c_str(), 0, &shown, sizeof shown, SHGFI_DISPLAYNAME);
    auto opened = [&] {
      for (HWND w : NewFolderWindows())
        if (rest == "none" || Text(w) == shown.szDisplayName) return true;
      return false;
    };
    bool seen = WaitUntil(opened, rest == "none" ? kWatchMs : kSettleMs);
    std::string windows;
    for (HWND w : NewFolderWindows()) windows += Describe(w), folderWindowsBefore.insert(w);
    return Check(seen == (rest != "none"), "folder windows opened:\n" + windows), true;
  }
  if (verb == "installed") return CheckInstalled(rest), true;
  if (verb == "entry") {  // "entry KEY FOLDER": release 10.0's entry under HKLM\KEY removes FOLDER's program
    std::string key = "HKLM\\" + Word(rest), one("\1\0\0\0", 4);
    const std::pair<const char*, std::string> values[] = {
        {"DisplayName", Sz("Quavertone VERSION 10.0")}, {"UninstallString", Sz("\"" + rest + "\\Quavertone.exe\" /uninstall")},
        {"DisplayVersion", Sz("10.0")}, {"InstallLocation", Sz(rest)}, {"DisplayIcon", Sz(rest + "\\Quavertone.exe")},
        {"NoModify", one}, {"NoRepair", one}};
    for (const auto& [name, bytes] : values)
      Check(HasValue(key, name, bytes.size() == 4 && bytes == one ? REG_DWORD : REG_SZ, bytes), std::string(name) + " is wrong");
    return true;
  }
  if (verb == "logged") {  // "logged FILE TEXT" (FILE in quotes when it has blanks): a line, after its time stamp
    size_t quoted = rest[0] == '"', end = quoted ? rest.find('"', 1) + 1 : rest.find(' ');
    std::string path = rest.substr(quoted, end - 2 * quoted), log = "\n" + ReadAll(path), text = rest.substr(end + 1);
    for (size_t at = 0; (at = log.find('\n', at)) != std::string::npos;)
      if (++at + 24 < log.size() && log.compare(at + 24, text.size(), text) == 0) return true;
    return Check(false, path + " has no line \"" + text + "\":" + log), true;
  }
  if (verb == "marker") {  // "marker CLASS": a window of that class, never shown, as another program may have
    WNDCLASSA windowClass = {0, DefWindowProcA, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, rest.c_str()};
    RegisterClassA(&windowClass);
    return Check(CreateWindowA(rest.c_str(), "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr) != nullptr,
                 "no window of class " + rest);
  }
  if (verb == "noentry") {  // the whole key, in both views
    for (const char* key : kUninstallKeys) Soon([&] { return !OpenPath(key, false); }, std::string(key) + " is there");
    return true;
  }
  if (verb == "noshortcuts") {
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY})
      Soon([&] { return !Exists(Shortcut(csidl)); }, Shortcut(csidl) + " is there");
    return true;
  }
  if (verb == "shortcut") {
    // "shortcut programs|desktop TARGET in FOLDER"
    std::string link = Shortcut(Word(rest) == "desktop" ? CSIDL_DESKTOPDIRECTORY : CSIDL_PROGRAMS);
    return Check(ShortcutTarget(link) == rest, link + " points at \"" + ShortcutTarget(link) + "\""), true;
  }
  if (verb == "hide" || verb == "show") return ShowWindow(window, verb == "hide" ? SW_HIDE : SW_SHOW), true;
  if (verb == "shot") return Shot(rest), true;
  return Check(false, "unknown step \"" + verb + "\"");
}

struct Line {
  int number;
  std::string text, loop;
};

// Expands "for NAME in A B C" (or "in A 1 | B 2") ... "end" blocks, nested or not: the body once for each value, with
// $NAME replaced by it.  "for N1 N2 in A 1 | B 2": each name takes a word of the value, the last name the rest.
std::vector<Line> Expand(const std::vector<Line>& lines, size_t& at, bool inner) {
  std::vector<Line> out;
  while (at < lines.size()) {
    Line line = lines[at++];
    std::string rest = line.text, verb = Word(rest);
    if (verb == "end" && inner) return out;
    if (verb != "for") {
      out.push_back(line);
      continue;
    }
    std::vector<std::string> names;
    for (std::string name; (name = Word(rest)) != "in" && !name.empty();) names.push_back("$" + name);
    std::vector<Line> body = Expand(lines, at, true);
    // Values are words, or parts between " | " where there is one.
    std::string separator = rest.find(" | ") == std::string::npos ? " " : " | ";
    for (std::string value; !rest.empty();) {
      size_t end = rest.find(separator);
      value = rest.substr(0, end);
      rest = end == std::string::npos ? "" : rest.substr(end + separator.size());
      for (Line step : body) {
        std::string words = value;
        for (size_t n = 0; n < names.size(); ++n) {
          std::string part = n + 1 < names.size() ? Word(words) : words;
          for (size_t found; (found = step.text.find(names[n])) != std::string::npos;)
            step.text.replace(found, names[n].size(), part);
        }
        step.loop = " " + names[0].substr(1) + "=" + value + step.loop;
        out.push_back(step);
      }
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::ifstream in(argc == 2 ? argv[1] : "");
  if (!in) {
    std::fprintf(stderr, "usage: scenario.exe FILE\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // whatever was printed survives a crash
  CreateDirectoryA("C:\\qvtest", nullptr);
  for (HWND w : WindowsOf(0)) folderWindowsBefore.insert(w);
  SetEnvironmentVariableA("QV_STANDIN_LOG", kStandinLog);
  SetEnvironmentVariableA("QV_STANDIN_WAIT", kStandinWait);
  std::vector<Line> lines;
  for (std::string text; std::getline(in, text);) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    text.erase(0, text.find_first_not_of(' '));
    for (size_t at = 0; (at = text.find('<', at)) != std::string::npos && at + 3 < text.size(); ++at)
      if (text[at + 3] == '>' && std::isxdigit(text[at + 1]) && std::isxdigit(text[at + 2]) && !std::islower(text[at + 1]) &&
          !std::islower(text[at + 2]))
        text.replace(at, 4, 1, static_cast<char>(std::stoi(text.substr(at + 1, 2), nullptr, 16)));
    lines.push_back({static_cast<int>(lines.size()) + 1, text, ""});
  }
  size_t first = 0;
  int steps = 0;
  bool goOn = true;
  for (const Line& line : Expand(lines, first, false)) {
    if (!goOn) break;
    currentLine = line.number;
    currentLoop = line.loop;
    std::string rest = line.text, verb = Word(rest);
    if (verb.empty() || verb[0] == '#' || verb.back() == ':') continue;
    ++steps;
    DWORD began = GetTickCount();
    try {  // a malformed step (a number that is none) fails its line
      goOn = Run(verb, rest);
    } catch (const std::exception& e) {
      goOn = Check(false, std::string("the step cannot be read: ") + e.what());
    }
    // For the benchmarks: how long each step took, waits included.
    if (!Env("QV_STEP_TIMES").empty()) std::printf("%6lu ms  %s\n", GetTickCount() - began, line.text.c_str());
  }
  if (!goOn) std::printf("stopped after line %d%s\n", currentLine, currentLoop.c_str());
  for (; !programs.empty(); programs.pop_back()) {
    Check(!Running(Setup()), "a program is still running at the end");
    Kill(Setup());
  }
  for (Program& other : others) Kill(other);
  for (HANDLE file : heldFiles) CloseHandle(file);
  Check(steps > 0, "no steps");
  std::printf("%s\n", failures == 0 ? "passed" : "FAILED");
  return failures == 0 ? 0 : 1;
}
