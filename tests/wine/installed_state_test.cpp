// Installed-state detection, the proposed folder, the legacy-uninstall offer,
// the destination check and the closing message, acted out by
// installed_state_probe.exe (the installer's own code) over records that
// this program prepares in the registry.
#include <cstdio>
#include <string>
#include <vector>

#include "harness/driver.h"
#include "harness/installation.h"
#include "harness/wine_test.h"

#include <tlhelp32.h>

namespace {

const char* const kProductKey = "Software\\Quavertone";
const char* const kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const kCaption = "Install Quavertone";




std::string Version(DWORD version) { return std::string(reinterpret_cast<const char*>(&version), 4); }

void CleanProductKey() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
  HKEY handle;
  bool gone = RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS;
  if (!gone) RegCloseKey(handle);
  require(gone, "the product key could not be removed before the case");
}

// An earlier installation as the records describe it.
void PrepareInstallation(const std::string& folder, DWORD version) {
  CleanProductKey();
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramDirectory", REG_SZ, SzBytes(folder)), "ProgramDirectory");
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramVersion", REG_BINARY, Version(version)), "ProgramVersion");
}

// Sets or removes the system's program folder; answers the one there was,
// so that the case can put it back.
std::string SetProgramFilesDir(const std::string* value) {
  std::string before;
  HKEY handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return before;
  char buffer[512];
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(handle, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
      ERROR_SUCCESS)
    before = buffer;
  if (value == nullptr) {
    RegDeleteValueA(handle, "ProgramFilesDir");
  } else {
    RegSetValueExA(handle, "ProgramFilesDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                   static_cast<DWORD>(value->size() + 1));
  }
  RegCloseKey(handle);
  return before;
}

// Wine very rarely loses a new process during its start-up: CreateProcess
// then fails with ERROR_INTERNAL_ERROR (1359; seen once in several hundred
// starts, under load).  That is no behaviour of the installer, and nothing
// of the probe has run yet, so such a start is simply tried again.
Program StartProbeProgram(const std::string& path, const std::string& commandLine, const std::string& folder) {
  Program program;
  for (int attempt = 0; attempt < 3 && !program.started; ++attempt) program = StartProgram(path, commandLine, folder);
  return program;
}

struct ProbeRun {
  Program program;
  std::string folder;
  std::string report;
  std::string log;
};

// Starts the probe in a fresh folder of its own; the stand-ins it starts
// record themselves in run.log.
ProbeRun StartProbe(const std::string& mode, const std::string& destination = "") {
  ProbeRun run;
  run.folder = FreshFolder("probe");
  run.report = run.folder + "\\report.txt";
  run.log = run.folder + "\\standins.log";
  SetEnvironmentVariableA("QV_PROBE", mode.c_str());
  SetEnvironmentVariableA("QV_PROBE_REPORT", run.report.c_str());
  SetEnvironmentVariableA("QV_PROBE_DESTINATION", destination.c_str());
  SetEnvironmentVariableA("QV_STANDIN_LOG", run.log.c_str());
  run.program = StartProbeProgram(TestBin() + "\\installed_state_probe.exe", "installed_state_probe.exe", run.folder);
  return run;
}

std::string RunProbe(const std::string& mode) {
  ProbeRun run = StartProbe(mode);
  long code = WaitForExit(run.program);
  ok(code == 0, "%s probe exit code %ld", mode.c_str(), code);
  return ReadFileText(run.report);
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string StandIn(const std::string& name) { return TestBin() + "\\..\\..\\tools\\standins\\" + name; }

// Waits for the installer's question box and checks its text and buttons.
HWND WaitForBox(const ProbeRun& run, const std::string& text, int presentButton, int absentButton) {
  HWND box = WaitForWindow(kCaption, run.program.id);
  if (!ok(box != nullptr, "no box captioned \"%s\"", kCaption)) return nullptr;
  ok(MessageBoxText(box) == text, "box text \"%s\", expected \"%s\"", MessageBoxText(box).c_str(), text.c_str());
  ok(MessageBoxHasButton(box, presentButton), "box has button %d", presentButton);
  ok(!MessageBoxHasButton(box, absentButton), "box lacks button %d", absentButton);
  ok(GetWindow(box, GW_OWNER) == nullptr, "box has no owner");
  return box;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

bool ProcessRuns(const std::string& exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
    found = lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0;
  CloseHandle(snapshot);
  return found;
}

// The records of everything the probe started.  A program started through
// the shell exists before the shell call returns, and a stand-in records
// itself before it ends: once the probe has ended and no stand-in of that
// name runs any more, the log is complete, and an absent log means that
// nothing was started.
std::string CompleteLog(const ProbeRun& run, const std::string& exeName) {
  ok(WaitUntil([&] { return !ProcessRuns(exeName); }), "%s still running", exeName.c_str());
  return ReadFileText(run.log);
}

// The stand-in product records its start, then shows its main window (class
// "Quavertone") until that is closed.  Closes every running product and
// answers the log once none runs any more.
std::string CompleteProductLog(const ProbeRun& run) {
  for (;;) {
    HWND window = nullptr;
    bool settled = WaitUntil([&] {
      window = FindWindowA("Quavertone", nullptr);
      return window != nullptr || !ProcessRuns("Quavertone.exe");
    });
    if (!ok(settled, "Quavertone.exe runs without its window") || window == nullptr) break;
    PostMessageA(window, WM_CLOSE, 0, 0);
    ok(WaitForWindowGone(window), "the product's window did not close");
  }
  return ReadFileText(run.log);
}

const std::string kLegacyText = "Previous version of Quavertone must be uninstalled first. Press OK to continue.";
const std::string kUpdatedText = "Quavertone has been successfully updated!\r\nWould you like to go Quavertone now?";
const std::string kInstalledText =
    "Quavertone has been successfully installed!\r\nWould you like to go Quavertone now?";

}  // namespace

WINE_TEST(an_installation_needs_both_records_and_keeps_its_folder) {
  PrepareInstallation("C:\\Old Place\\Quavertone", 999);
  std::string report = RunProbe("detect");
  ok(Contains(report, "installed=1 version=999 previous=[C:\\Old Place\\Quavertone] "
                      "destination=[C:\\Old Place\\Quavertone]"),
     "installed 999 proposes its own folder: %s", report.c_str());

  // The version as REG_DWORD reads like the REG_BINARY one.
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramVersion", REG_DWORD, Version(1200)), "REG_DWORD version");
  report = RunProbe("detect");
  ok(Contains(report, "installed=1 version=1200"), "REG_DWORD 1200: %s", report.c_str());

  // A 5-byte version does not fit the 4-byte read: fresh.
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramVersion", REG_BINARY, std::string("\xE8\x03\0\0\0", 5)),
          "5-byte version");
  report = RunProbe("detect");
  ok(Contains(report, "installed=0 version=0 previous=[] destination=[C:\\Program Files\\Quavertone]"),
     "5-byte version means fresh: %s", report.c_str());

  // ProgramDirectory without ProgramVersion: fresh, folder from ProgramFilesDir.
  CleanProductKey();
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramDirectory", REG_SZ, SzBytes("C:\\Elsewhere")), "folder only");
  std::string apps = "D:\\Apps";
  std::string saved = SetProgramFilesDir(&apps);
  report = RunProbe("detect");
  ok(Contains(report, "installed=0 version=0 previous=[] destination=[D:\\Apps\\Quavertone]"),
     "folder without version: %s", report.c_str());
  // ProgramVersion without ProgramDirectory: fresh too.
  CleanProductKey();
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramVersion", REG_BINARY, Version(1000)), "version only");
  report = RunProbe("detect");
  ok(Contains(report, "installed=0"), "version without folder: %s", report.c_str());
  SetProgramFilesDir(&saved);
}

WINE_TEST(a_folder_record_that_does_not_fit_or_lacks_its_terminator_is_handled) {
  // 300 characters: larger than the 256-byte folder buffer, so no
  // installation, and no part of it is kept.
  PrepareInstallation("C:\\" + std::string(297, 'f'), 1000);
  std::string report = RunProbe("detect");
  ok(Contains(report, "installed=0 version=0 previous=[] destination=[C:\\Program Files\\Quavertone]"),
     "overlong folder: %s", report.c_str());

  // Stored by another tool without the terminator: the folder is still read.
  CleanProductKey();
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramDirectory", REG_SZ, "C:\\Bare"), "bare folder");
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramVersion", REG_BINARY, Version(1000)), "version");
  report = RunProbe("detect");
  ok(Contains(report, "installed=1 version=1000 previous=[C:\\Bare] destination=[C:\\Bare]"),
     "folder without terminator: %s", report.c_str());
}

WINE_TEST(the_proposed_folder_comes_from_the_program_folder_or_the_windows_drive) {
  CleanProductKey();
  struct {
    std::string programFilesDir;
    std::string expected;
  } cases[] = {{"D:\\Apps\\", "D:\\Apps\\Quavertone"}, {"D:\\Apps", "D:\\Apps\\Quavertone"}};
  std::string saved;
  for (const auto& c : cases) {
    saved = SetProgramFilesDir(&c.programFilesDir);
    std::string report = RunProbe("detect");
    ok(Contains(report, "installed=0 version=0 previous=[] destination=[" + c.expected + "]"),
       "ProgramFilesDir %s: %s", c.programFilesDir.c_str(), report.c_str());
    SetProgramFilesDir(&saved);
  }
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, sizeof windows);
  std::string expected = std::string(windows, 2) + "\\Program Files\\Quavertone";
  saved = SetProgramFilesDir(nullptr);
  std::string report = RunProbe("detect");
  ok(Contains(report, "destination=[" + expected + "]"), "no ProgramFilesDir (Windows in %s): %s", windows,
     report.c_str());
  std::string empty;
  SetProgramFilesDir(&empty);
  report = RunProbe("detect");
  ok(Contains(report, "destination=[" + expected + "]"), "empty ProgramFilesDir: %s", report.c_str());
  SetProgramFilesDir(&saved);
}

WINE_TEST(destination_must_be_a_drive_a_backslash_and_more) {
  const char* rejected[] = {"C:\\", "C:", ""};
  for (const char* destination : rejected) {
    ProbeRun run = StartProbe("validate", destination);
    HWND box = WaitForBox(run, "You must specify a valid destination drive and directory such as C:\\Quavertone",
                          IDOK, IDCANCEL);
    if (box) {
      ok(!MessageBoxHasButton(box, IDYES) && !MessageBoxHasButton(box, IDNO), "%s: one OK button", destination);
      AnswerMessageBox(box, IDOK);
    }
    ok(WaitForExit(run.program) == 0, "%s: probe ended", destination);
    ok(Contains(ReadFileText(run.report), "valid=0"), "%s rejected: %s", destination,
       ReadFileText(run.report).c_str());
  }
  ProbeRun run = StartProbe("validate", "C:\\x");
  // The probe ends by itself only when no box is shown.
  ok(WaitForExit(run.program) == 0, "C:\\x: probe ended without a box");
  ok(Contains(ReadFileText(run.report), "valid=1"), "C:\\x accepted: %s", ReadFileText(run.report).c_str());
}

WINE_TEST(legacy_release_is_uninstalled_first_by_its_own_uninstaller) {
  std::string old = FreshFolder("old release");
  require(CopyFileA(StandIn("uninstall.exe").c_str(), (old + "\\uninstall.exe").c_str(), FALSE),
          "copy the stand-in uninstaller: error %lu", GetLastError());
  PrepareInstallation(old, 301);

  // Cancel: stop, nothing started.
  ProbeRun run = StartProbe("legacy");
  HWND box = WaitForBox(run, kLegacyText, IDCANCEL, IDYES);
  if (box) AnswerMessageBox(box, IDCANCEL);
  ok(WaitForExit(run.program) == 0, "probe ended after Cancel");
  std::string report = ReadFileText(run.report);
  ok(Contains(report, "goon=0"), "Cancel stops: %s", report.c_str());
  std::string log = CompleteLog(run, "uninstall.exe");
  ok(log.empty(), "Cancel started nothing: %s", log.c_str());

  // OK: the earlier folder's uninstaller, by full path, no parameters, in
  // that folder; not a decoy of the same name in the current folder.
  run = StartProbe("legacy");
  require(CopyFileA(StandIn("uninstall.exe").c_str(), (run.folder + "\\uninstall.exe").c_str(), FALSE), "decoy");
  box = WaitForBox(run, kLegacyText, IDOK, IDYES);
  if (box) AnswerMessageBox(box, IDOK);
  ok(WaitForExit(run.program) == 0, "probe ended after OK");
  report = ReadFileText(run.report);
  ok(Contains(report, "destination=[" + old + "]"), "destination is the earlier folder: %s", report.c_str());
  ok(Contains(report, "goon=1"), "OK goes on: %s", report.c_str());
  log = CompleteLog(run, "uninstall.exe");
  std::vector<std::string> starts = Lines(log);
  std::string expected = "name=uninstall.exe|path=" + old + "\\uninstall.exe|args=|cwd=" + old;
  ok(starts.size() == 1 && starts[0] == expected, "started once as \"%s\", log \"%s\"", expected.c_str(),
     log.c_str());

  // The earlier folder has lost its uninstaller: the decoy found by name in
  // the current folder must not run in its place.
  require(DeleteFileA((old + "\\uninstall.exe").c_str()), "remove the uninstaller");
  run = StartProbe("legacy");
  require(CopyFileA(StandIn("uninstall.exe").c_str(), (run.folder + "\\uninstall.exe").c_str(), FALSE), "decoy");
  box = WaitForBox(run, kLegacyText, IDOK, IDYES);
  if (box) AnswerMessageBox(box, IDOK);
  ok(WaitForExit(run.program) == 0, "probe ended after OK");
  ok(Contains(ReadFileText(run.report), "goon=1"), "goes on although nothing could be started");
  log = CompleteLog(run, "uninstall.exe");
  ok(log.empty(), "no program started in place of the missing uninstaller: %s", log.c_str());
}

WINE_TEST(only_releases_at_or_below_301_get_the_legacy_offer) {
  const DWORD versions[] = {302, 999, 1000, 1200};
  for (DWORD version : versions) {
    PrepareInstallation("C:\\Quavertone", version);
    std::string report = RunProbe("legacy");
    ok(Contains(report, Format("version=%lu", version)) && Contains(report, "goon=1"),
       "%lu goes on without a question: %s", version, report.c_str());
  }
  // Version 0 is at or below 301 too.
  PrepareInstallation(FreshFolder("zero"), 0);
  ProbeRun run = StartProbe("legacy");
  HWND box = WaitForBox(run, kLegacyText, IDOK, IDYES);
  if (box) AnswerMessageBox(box, IDCANCEL);
  ok(WaitForExit(run.program) == 0, "probe ended");
  // Fresh: no question.
  CleanProductKey();
  std::string report = RunProbe("legacy");
  ok(Contains(report, "installed=0") && Contains(report, "goon=1"), "fresh goes on: %s", report.c_str());
}

WINE_TEST(closing_message_says_updated_only_over_an_older_release_and_yes_starts_the_product) {
  std::string product = FreshFolder("product");
  require(CopyFileA(StandIn("Quavertone.exe").c_str(), (product + "\\Quavertone.exe").c_str(), FALSE),
          "copy the stand-in product");
  struct {
    bool installed;
    DWORD version;
    const std::string* text;
    int answer;
  } cases[] = {
      {true, 999, &kUpdatedText, IDYES},     {true, 301, &kUpdatedText, IDNO},
      {true, 1000, &kInstalledText, IDNO},   {true, 1200, &kInstalledText, IDYES},
      {false, 0, &kInstalledText, IDNO},
  };
  for (const auto& c : cases) {
    if (c.installed) {
      PrepareInstallation(product, c.version);
    } else {
      CleanProductKey();
    }
    ProbeRun run = StartProbe("success", product);
    require(CopyFileA(StandIn("Quavertone.exe").c_str(), (run.folder + "\\Quavertone.exe").c_str(), FALSE),
            "decoy");
    HWND box = WaitForBox(run, *c.text, IDYES, IDCANCEL);
    if (box) AnswerMessageBox(box, c.answer);
    ok(WaitForExit(run.program) == 0, "version %lu: probe ended", c.version);
    ok(Contains(ReadFileText(run.report), "reported"), "version %lu: ReportSuccess returned", c.version);
    std::string log = CompleteProductLog(run);
    if (c.answer == IDYES) {
      std::vector<std::string> starts = Lines(log);
      std::string expected = "name=Quavertone.exe|path=" + product + "\\Quavertone.exe|args=|cwd=" + product;
      ok(starts.size() == 1 && starts[0] == expected, "version %lu: Yes started \"%s\", log \"%s\"", c.version,
         expected.c_str(), log.c_str());
    } else {
      ok(log.empty(), "version %lu: No started nothing: %s", c.version, log.c_str());
    }
  }
}
