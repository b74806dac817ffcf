// Start-up and the dialog frame, driven from outside as a user would see them.
#include <cstdio>

#include "harness/driver.h"
#include "harness/wine_test.h"

namespace {

std::string SetupExe() { return "E:\\setup.exe"; }
std::string Probe() { return TestBin() + "\\start_up_probe.exe"; }

// Runs the start-up probe with a command line and answers its report.
std::string RunProbe(const std::string& mode, const std::string& commandLine, long* exitCode = nullptr) {
  std::string folder = FreshFolder("probe");
  std::string report = folder + "\\report.txt";
  SetEnvironmentVariableA("QV_PROBE", mode.c_str());
  SetEnvironmentVariableA("QV_PROBE_REPORT", report.c_str());
  Program probe = StartProgram(Probe(), commandLine, folder);
  long code = WaitForExit(probe);
  if (exitCode) *exitCode = code;
  return ReadFileText(report);
}

}  // namespace

WINE_TEST(a_second_installer_ends_silently_while_an_installer_window_exists) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "Install Quavertone";
  RegisterClassA(&windowClass);
  HWND marker = CreateWindowA("Install Quavertone", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  require(marker != nullptr, "could not create the marker window: error %lu", GetLastError());

  SetEnvironmentVariableA("QV_PROBE", "startup");
  std::string folder = FreshFolder("second");
  std::string report = folder + "\\report.txt";
  SetEnvironmentVariableA("QV_PROBE_REPORT", report.c_str());
  Program second = StartProgram(Probe(), "\"start_up_probe.exe\" /autorun", folder);
  long code = WaitForExit(second, 10000);
  ok(code == 0, "second installer exit code 0, got %ld", code);
  ok(!FileExists(report), "second installer went on past the check: %s", ReadFileText(report).c_str());

  // The real installer too: it ends at once and shows nothing.
  Program setup = StartProgram(SetupExe(), "\"E:\\setup.exe\"", "E:\\");
  code = WaitForExit(setup, 10000);
  ok(code == 0, "setup.exe exit code 0, got %ld", code);
  ok(FindWindowsByCaption("Installation Error").empty(), "an error box appeared");
  DestroyWindow(marker);
}

WINE_TEST(autorun_switch_is_read_from_the_tail_in_any_case) {
  struct {
    const char* commandLine;
    int autorun;
  } cases[] = {
      {"\"E:\\setup.exe\" /AUTORUN", 1},
      {"\"E:\\setup.exe\" /AutoRun", 1},
      {"\"E:\\setup.exe\" x/autorunx", 1},
      {"setup.exe /autorun", 1},
      {"\"E:\\setup.exe\"", 0},
      {"setup.exe", 0},
      {"\"C:\\cd\\x/autorunx\\setup.exe\"", 0},
      {"\"C:\\cd\\/AUTORUN\\setup.exe\" other", 0},
      {"C:\\x/autorun\\setup.exe", 0},
  };
  for (const auto& c : cases) {
    long code = -2;
    std::string report = RunProbe("startup", c.commandLine, &code);
    std::string expected = Format("autorun=%d", c.autorun);
    ok(report.find(expected) != std::string::npos, "%s: expected %s, report \"%s\"", c.commandLine,
       expected.c_str(), report.c_str());
    ok(code == 0, "%s: exit code %ld", c.commandLine, code);
  }
  std::string report = RunProbe("startup", "setup.exe");
  ok(report.find("platform=2") != std::string::npos, "NT family reported: %s", report.c_str());
  ok(report.find("instance=1") != std::string::npos, "instance is the module: %s", report.c_str());
}

WINE_TEST(win98_is_reported_as_the_9x_family) {
  HKEY key;
  require(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\start_up_probe.exe", 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS,
          "AppDefaults key");
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
  std::string report = RunProbe("startup", "setup.exe");
  RegDeleteValueA(key, "Version");
  RegCloseKey(key);
  ok(report.find("platform=1") != std::string::npos, "9x family reported under win98: %s", report.c_str());
}

WINE_TEST(missing_dialog_template_is_a_general_failure) {
  std::string folder = FreshFolder("missing");
  SetEnvironmentVariableA("QV_PROBE", "missing-template");
  SetEnvironmentVariableA("QV_PROBE_REPORT", (folder + "\\report.txt").c_str());
  Program probe = StartProgram(Probe(), "probe.exe", folder);
  HWND box = WaitForWindow("Installation Error", probe.id);
  require(box != nullptr, "no error box");
  ok(MessageBoxText(box) == "ERROR: General Failure!", "box text \"%s\"", MessageBoxText(box).c_str());
  ok(MessageBoxHasButton(box, IDOK) && !MessageBoxHasButton(box, IDCANCEL), "one OK button");
  ok(GetWindow(box, GW_OWNER) == nullptr, "error box has no owner");
  AnswerMessageBox(box, IDOK);
  long code = WaitForExit(probe);
  ok(code == 0, "exit code after OK is 0, got %ld", code);
  ok(ReadFileText(folder + "\\report.txt").find("returned") == std::string::npos, "ShowModalDialog returned");
}

WINE_TEST(ask_user_uses_the_installer_caption_style_and_owner) {
  struct {
    const char* style;
    bool owner;
    int button;
    int answer;
    int absentButton;
  } cases[] = {
      {"0x24", false, IDNO, IDNO, IDOK},       // MB_YESNO | MB_ICONQUESTION
      {"0x24", true, IDYES, IDYES, IDCANCEL},  // the "Abort?" shape: owned
      {"0x41", false, IDCANCEL, IDCANCEL, IDYES},
      {"0x40", false, IDOK, IDOK, IDCANCEL},
  };
  for (const auto& c : cases) {
    std::string folder = FreshFolder("ask");
    SetEnvironmentVariableA("QV_PROBE", "ask");
    SetEnvironmentVariableA("QV_PROBE_STYLE", c.style);
    SetEnvironmentVariableA("QV_PROBE_OWNER", c.owner ? "1" : "0");
    SetEnvironmentVariableA("QV_PROBE_REPORT", (folder + "\\report.txt").c_str());
    Program probe = StartProgram(Probe(), "probe.exe", folder);
    HWND box = WaitForWindow("Install Quavertone", probe.id);
    if (!ok(box != nullptr, "style %s: no box captioned Install Quavertone", c.style)) {
      KillProgram(probe);
      continue;
    }
    ok(MessageBoxText(box) == "Probe question?", "text \"%s\"", MessageBoxText(box).c_str());
    ok(MessageBoxHasButton(box, c.button), "style %s has button %d", c.style, c.button);
    ok(!MessageBoxHasButton(box, c.absentButton), "style %s lacks button %d", c.style, c.absentButton);
    HWND owner = GetWindow(box, GW_OWNER);
    ok((owner != nullptr) == c.owner, "style %s owner %p", c.style, static_cast<void*>(owner));
    AnswerMessageBox(box, c.button);
    ok(WaitForExit(probe) == 0, "probe ended");
    std::string report = ReadFileText(folder + "\\report.txt");
    ok(report.find(Format("answer=%d", c.answer)) != std::string::npos, "answer in %s", report.c_str());
  }
  SetEnvironmentVariableA("QV_PROBE_OWNER", nullptr);
}
