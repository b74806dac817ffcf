// Payload extraction by the installer's own code (engine_probe "extract"),
// compared with the files the payloads were made from.
#include "harness/driver.h"
#include "harness/wine_test.h"

namespace {

const char* const kNames[] = {"Quavertone.exe", "Quavertone.chm", "akrip32.dll", "npmod32.dll", "tonekit.exe"};

std::string Original(const std::string& name) { return TestBin() + "\\..\\..\\payloads\\" + name; }

std::string AllPayloads() {
  std::string list;
  for (int i = 0; i < 5; ++i) list += std::to_string(5000 + i) + "=" + kNames[i] + ";";
  return list;
}

Program StartExtract(const std::string& folder, const std::string& payloads) {
  SetEnvironmentVariableA("QV_PROBE", "extract");
  SetEnvironmentVariableA("QV_PROBE_PAYLOADS", payloads.c_str());
  SetEnvironmentVariableA("QV_PROBE_REPORT", (folder + "\\..\\report.txt").c_str());
  DeleteFileA((folder + "\\..\\report.txt").c_str());
  return StartProgram(TestBin() + "\\engine_probe.exe", "\"C:\\temp\\setup.exe\"", folder);
}

void CheckIdentical(const std::string& folder, const char* name) {
  std::string expected = ReadFileText(Original(name));
  std::string got = ReadFileText(folder + "\\" + name);
  ok(!expected.empty(), "original %s is readable", name);
  ok(got == expected, "%s: %zu bytes expanded, %zu expected, %s", name, got.size(), expected.size(),
     got == expected ? "same" : "different");
}

// Waits for the fatal box, checks its text, dismisses it and the exit code.
void ExpectFatal(Program& probe, const char* text) {
  HWND box = WaitForWindow("Installation Error", probe.id);
  if (ok(box != nullptr, "no fatal box")) {
    ok(MessageBoxText(box) == text, "fatal text \"%s\", expected \"%s\"", MessageBoxText(box).c_str(), text);
    AnswerMessageBox(box, IDOK);
  }
  ok(WaitForExit(probe) == 0, "exit code 0 after a fatal error");
}

}  // namespace

WINE_TEST(the_five_payloads_expand_to_their_originals) {
  FreshFolder("payload");
  std::string folder = FreshFolder("payload\\dest");
  WriteFileText(folder + "\\tempfile.tmp", "left over from an earlier run");
  Program probe = StartExtract(folder, AllPayloads());
  ok(WaitForExit(probe, 60000) == 0, "probe ended with 0");
  for (const char* name : kNames) CheckIdentical(folder, name);
  ok(!FileExists(folder + "\\tempfile.tmp"), "tempfile.tmp is gone");
}

WINE_TEST(an_existing_target_is_replaced_in_full) {
  FreshFolder("payload");
  std::string folder = FreshFolder("payload\\dest");
  // Longer than the expanded file: an append or a write without truncation
  // would leave its tail behind.
  WriteFileText(folder + "\\akrip32.dll", std::string(3 * 1024 * 1024, 'x'));
  Program probe = StartExtract(folder, "5002=akrip32.dll");
  ok(WaitForExit(probe) == 0, "probe ended with 0");
  CheckIdentical(folder, "akrip32.dll");
}

WINE_TEST(a_target_that_cannot_be_created_is_fatal_and_leaves_no_scratch_file) {
  // A folder in the target's place: the file cannot be created.
  FreshFolder("payload");
  std::string folder = FreshFolder("payload\\dest");
  CreateDirectoryA((folder + "\\npmod32.dll").c_str(), nullptr);
  Program probe = StartExtract(folder, "5002=akrip32.dll;5003=npmod32.dll;5004=tonekit.exe");
  ExpectFatal(probe, "ERROR: Could not create file.");
  ok(!FileExists(folder + "\\tempfile.tmp"), "tempfile.tmp left behind");
  CheckIdentical(folder, "akrip32.dll");  // what came before stays
  ok(!FileExists(folder + "\\tonekit.exe"), "went on after the failure");

  // A target held open without sharing by another program: not created,
  // and left exactly as it was.
  folder = FreshFolder("payload\\dest2");
  std::string held = folder + "\\tonekit.exe";
  WriteFileText(held, "in use");
  HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  require(file != INVALID_HANDLE_VALUE, "could not hold the target open");
  probe = StartExtract(folder, "5004=tonekit.exe");
  ExpectFatal(probe, "ERROR: Could not create file.");
  CloseHandle(file);
  ok(ReadFileText(held) == "in use", "held target changed: %zu bytes", ReadFileText(held).size());
  ok(!FileExists(folder + "\\tempfile.tmp"), "tempfile.tmp left behind");
}

WINE_TEST(a_scratch_file_that_cannot_be_created_is_fatal) {
  FreshFolder("payload");
  std::string folder = FreshFolder("payload\\dest");
  CreateDirectoryA((folder + "\\tempfile.tmp").c_str(), nullptr);
  Program probe = StartExtract(folder, "5000=Quavertone.exe");
  ExpectFatal(probe, "ERROR: Could not create file.");
  ok(!FileExists(folder + "\\Quavertone.exe"), "target written without a scratch file");
}

WINE_TEST(a_missing_resource_is_fatal) {
  FreshFolder("payload");
  std::string folder = FreshFolder("payload\\dest");
  Program probe = StartExtract(folder, "5005=extra.dll");
  ExpectFatal(probe, "ERROR: Could not find/load resource.");
  ok(!FileExists(folder + "\\tempfile.tmp"), "scratch file created for a missing resource");
}
