// The installation proper (InstallProduct through install_probe): folders,
// files, records, the uninstall entry and what happens when it cannot or
// must not go on.
#include <shlobj.h>

#include "harness/driver.h"
#include "harness/installation.h"
#include "harness/wine_test.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone";

Program StartInstall(const std::string& destination, const std::string& folder, const char* slowMs = "") {
  SetEnvironmentVariableA("QV_PROBE_DESTINATION", destination.c_str());
  SetEnvironmentVariableA("QV_PROBE_SLOW", slowMs);
  SetEnvironmentVariableA("QV_PROBE_REPORT", "C:\\qvtest\\report.txt");
  return StartProgram(TestBin() + "\\install_probe.exe", "\"E:\\setup.exe\"", folder);
}

long RunInstall(const std::string& destination) {
  Program probe = StartInstall(destination, "E:\\");
  return WaitForExit(probe, 60000);
}

std::string Value(HKEY root, const std::string& key, const std::string& name) {
  std::string data;
  return ReadValue(root, key, name, &data) ? data : std::string("<missing>");
}

void SetProductValue(const char* name, const std::string& data) {
  PutValue(HKEY_CURRENT_USER, "Software\\Quavertone", name, REG_SZ, SzBytes(data));
}

}  // namespace

WINE_TEST(missing_parent_folders_are_created_level_by_level) {
  ResetInstallation();
  const std::string destination = "C:\\qvtest\\New\\Deeper\\Quavertone";
  ok(RunInstall(destination) == 0, "install ended with 0");
  std::string why;
  ok(InstalledFilesIntact(destination, &why), "files: %s", why.c_str());
  ok(ReadFileText("C:\\qvtest\\report.txt").find("installed") != std::string::npos, "InstallProduct returned");
  ok(!FileExists(destination + "\\tempfile.tmp"), "scratch file left");
}

WINE_TEST(reinstalling_replaces_every_file_and_records_the_installation) {
  ResetInstallation();
  const std::string destination = "C:\\qvtest\\Again";
  CreateDirectoryA(destination.c_str(), nullptr);
  for (const char* name : {"Quavertone.exe", "Quavertone.chm", "akrip32.dll", "npmod32.dll", "tonekit.exe"})
    WriteFileText(destination + "\\" + name, std::string(2 * 1024 * 1024, 'o'));  // older and longer
  SetProductValue("MonitorDevice", "Line In");
  SetProductValue("Theme", "dark");
  ok(RunInstall(destination) == 0, "install ended with 0");
  std::string why;
  ok(InstalledFilesIntact(destination, &why), "files: %s", why.c_str());
  ok(Value(HKEY_CURRENT_USER, "Software\\Quavertone", "MonitorDevice") == "<missing>", "MonitorDevice still there");
  ok(Value(HKEY_CURRENT_USER, "Software\\Quavertone", "Theme") == std::string("dark") + '\0', "other value touched");
  ok(Value(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory") == destination + '\0', "ProgramDirectory");
  std::string version;
  DWORD type = 0;
  ok(ReadValue(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramVersion", &version, &type) &&
         version == std::string("\xE8\x03\x00\x00", 4) && type == REG_BINARY,
     "ProgramVersion %zu bytes, type %lu", version.size(), type);

  // Without MonitorDevice the installation goes on just the same.
  ok(RunInstall(destination) == 0, "second install ended with 0");
  ok(InstalledFilesIntact(destination, &why), "files: %s", why.c_str());
}

WINE_TEST(uninstall_entry_quotes_the_program_and_never_doubles_a_backslash) {
  struct {
    const char* destination;
    const char* command;
  } cases[] = {
      {"C:\\Program Files\\Quavertone", "\"C:\\Program Files\\Quavertone\\Quavertone.exe\" /uninstall"},
      {"C:\\qvtest\\Apps\\", "\"C:\\qvtest\\Apps\\Quavertone.exe\" /uninstall"},
  };
  for (const auto& c : cases) {
    ResetInstallation();
    ok(RunInstall(c.destination) == 0, "%s: install ended with 0", c.destination);
    ok(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString") == std::string(c.command) + '\0',
       "UninstallString \"%s\"", Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").c_str());
    ok(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName") == std::string("Quavertone VERSION 10.0") + '\0',
       "DisplayName");
    ok(Value(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory") == std::string(c.destination) + '\0',
       "ProgramDirectory as typed");
  }
}

WINE_TEST(a_destination_on_a_missing_drive_is_fatal_before_anything_is_written) {
  ResetInstallation();
  std::string cwd = FreshFolder("cwd");
  Program probe = StartInstall("Q:\\Quavertone", cwd);
  HWND box = WaitForWindow("Installation Error", probe.id);
  require(box != nullptr, "no fatal box");
  ok(MessageBoxText(box) == "ERROR: Could not create file.", "text \"%s\"", MessageBoxText(box).c_str());
  AnswerMessageBox(box, IDOK);
  ok(WaitForExit(probe) == 0, "exit code 0");
  ok(!AnyInstalledFile(cwd) && !FileExists(cwd + "\\tempfile.tmp"), "files written into the current folder");
  ok(Value(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory") == "<missing>", "installation recorded");
  ok(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString") == "<missing>", "uninstall entry written");
}

WINE_TEST(abort_confirmed_during_the_files_stops_the_installation) {
  ResetInstallation();
  const std::string destination = "C:\\qvtest\\Aborted";
  Program probe = StartInstall(destination, "E:\\", "700");
  HWND progress = WaitForWindow("Installing Quavertone  ---  Working ... ", probe.id);
  require(progress != nullptr, "no progress window");
  ok(WaitUntil([] { return ReadFileText("C:\\qvtest\\report.txt").find("row 1") != std::string::npos; }),
     "first row not reached");
  CloseWindowAsCloseBox(progress);
  HWND question = WaitForWindow("Install Quavertone", probe.id);
  require(question != nullptr, "no Abort? question");
  ok(MessageBoxText(question) == "Abort?", "question \"%s\"", MessageBoxText(question).c_str());
  ok(GetWindow(question, GW_OWNER) == progress, "question owned by the progress window");
  AnswerMessageBox(question, IDYES);
  ok(WaitForExit(probe, 30000) == 0, "exit code 0");
  std::string report = ReadFileText("C:\\qvtest\\report.txt");
  ok(report.find("installed") == std::string::npos, "went on to the end: %s", report.c_str());
  ok(report.find("row 5") == std::string::npos, "all rows done: %s", report.c_str());
  ok(FileExists(destination + "\\Quavertone.exe"), "first file removed");
  ok(!FileExists(destination + "\\tempfile.tmp"), "scratch file left");
  ok(Value(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory") == "<missing>", "installation recorded");
  ok(Value(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString") == "<missing>", "uninstall entry written");
  ok(!FileExists(SpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\Quavertone.lnk"), "shortcut made");
  ok(Started("bladeenc.exe").empty(), "encoder started");
  ok(FindWindowsByCaption("Install Quavertone").empty(), "closing message shown");
}

WINE_TEST(abort_answered_no_goes_on) {
  ResetInstallation();
  const std::string destination = "C:\\qvtest\\NotAborted";
  Program probe = StartInstall(destination, "E:\\", "400");
  HWND progress = WaitForWindow("Installing Quavertone  ---  Working ... ", probe.id);
  require(progress != nullptr, "no progress window");
  PressKey(progress, VK_ESCAPE);
  ok(AnswerBox(probe, "Install Quavertone", IDNO) == "Abort?", "no Abort? question after Escape");
  ok(WaitForExit(probe, 30000) == 0, "exit code 0");
  std::string why;
  ok(InstalledFilesIntact(destination, &why), "files: %s", why.c_str());
  ok(Value(HKEY_CURRENT_USER, "Software\\Quavertone", "ProgramDirectory") == destination + '\0', "recorded");
}
