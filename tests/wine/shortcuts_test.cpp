// The product shortcuts, made by the installer's own code (engine_probe) and
// read back through the shell's link object.
#include <objbase.h>
#include <shlobj.h>

#include "harness/driver.h"
#include "harness/wine_test.h"

namespace {

struct Shortcut {
  bool read = false;
  std::string target, folder, description, arguments;
};

Shortcut ReadShortcut(const std::string& path) {
  Shortcut shortcut;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                       reinterpret_cast<void**>(&link)) == S_OK) {
    IPersistFile* file = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
      if (file->Load(wide, STGM_READ) == S_OK) {
        char text[MAX_PATH * 2] = "";
        link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
        shortcut.target = text;
        link->GetWorkingDirectory(text, sizeof text);
        shortcut.folder = text;
        link->GetDescription(text, sizeof text);
        shortcut.description = text;
        link->GetArguments(text, sizeof text);
        shortcut.arguments = text;
        shortcut.read = true;
      }
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return shortcut;
}

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return path;
}

Program StartShortcutProbe(const std::string& destination, const std::string& folder) {
  SetEnvironmentVariableA("QV_PROBE", "shortcuts");
  SetEnvironmentVariableA("QV_PROBE_DESTINATION", destination.c_str());
  SetEnvironmentVariableA("QV_PROBE_REPORT", (folder + "\\report.txt").c_str());
  return StartProgram(TestBin() + "\\engine_probe.exe", "\"C:\\temp\\setup.exe\"", folder);
}

void CheckShortcut(const std::string& file, const std::string& target, const std::string& folder) {
  Shortcut s = ReadShortcut(file);
  if (!ok(s.read, "shortcut %s could not be read", file.c_str())) return;
  ok(s.target == target, "%s target \"%s\", expected \"%s\"", file.c_str(), s.target.c_str(), target.c_str());
  ok(s.folder == folder, "%s working folder \"%s\", expected \"%s\"", file.c_str(), s.folder.c_str(), folder.c_str());
  ok(s.description == "Quavertone", "%s description \"%s\"", file.c_str(), s.description.c_str());
  ok(s.arguments.empty(), "%s arguments \"%s\"", file.c_str(), s.arguments.c_str());
}

}  // namespace

WINE_TEST(shortcuts_in_programs_and_on_the_desktop_point_at_the_program) {
  std::string programs = SpecialFolder(CSIDL_PROGRAMS) + "\\Quavertone.lnk";
  std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Quavertone.lnk";
  struct {
    const char* destination;
    const char* target;
  } cases[] = {
      {"C:\\Program Files\\Quavertone", "C:\\Program Files\\Quavertone\\Quavertone.exe"},
      {"C:\\Apps\\", "C:\\Apps\\Quavertone.exe"},
  };
  for (const auto& c : cases) {
    // The installation has expanded the program before it adds shortcuts.
    CreateDirectoryA(c.destination, nullptr);
    WriteFileText(c.target, "program");
    std::string folder = FreshFolder("shortcuts");
    Program probe = StartShortcutProbe(c.destination, folder);
    long code = WaitForExit(probe);
    ok(code == 0, "probe exit code %ld (a note box would have kept it waiting)", code);
    CheckShortcut(programs, c.target, c.destination);
    CheckShortcut(desktop, c.target, c.destination);
  }
}

WINE_TEST(a_target_the_shell_cannot_find_is_a_failure_with_a_note) {
  // The link object answers S_FALSE for a path that does not exist; only
  // S_OK counts, so each shortcut ends in the note.
  std::string folder = FreshFolder("notarget");
  Program probe = StartShortcutProbe("C:\\Missing\\Quavertone", folder);
  for (int note = 0; note < 2; ++note) {
    HWND box = WaitForWindow("Install Quavertone", probe.id);
    if (!ok(box != nullptr, "note %d missing", note + 1)) break;
    AnswerMessageBox(box, IDOK);
    WaitForWindowGone(box);
  }
  ok(WaitForExit(probe) == 0, "probe ended with 0");
}

WINE_TEST(both_shortcuts_failing_give_two_notes_programs_first) {
  // Point both shell folders at a drive that does not exist.
  HKEY key;
  require(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                        0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS,
          "User Shell Folders key");
  const char* missing = "Q:\\nowhere\\folder";
  RegSetValueExA(key, "Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(missing), 18);
  RegSetValueExA(key, "Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(missing), 18);
  RegCloseKey(key);

  std::string folder = FreshFolder("noshortcuts");
  Program probe = StartShortcutProbe("C:\\Program Files\\Quavertone", folder);
  for (const char* step : {"programs", "desktop"}) {
    HWND note = WaitForWindow("Install Quavertone", probe.id);
    if (!ok(note != nullptr, "no note for %s", step)) break;
    ok(MessageBoxText(note) == "NOTE: Could not add shortcut to start menu/desktop.", "note text \"%s\"",
       MessageBoxText(note).c_str());
    ok(GetWindow(note, GW_OWNER) == nullptr, "note has no owner");
    std::string report = ReadFileText(folder + "\\report.txt");
    bool desktopStarted = report.find("desktop") != std::string::npos;
    ok(desktopStarted == (std::string(step) == "desktop"), "note for %s while report is: %s", step, report.c_str());
    AnswerMessageBox(note, IDOK);
    WaitForWindowGone(note);
  }
  ok(WaitForExit(probe) == 0, "probe ended with 0");
  ok(ReadFileText(folder + "\\report.txt").find("done") != std::string::npos, "went on after the notes");
}
