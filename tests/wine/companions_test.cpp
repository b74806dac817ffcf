// The CD-ROM companions, started by the installer's own code (engine_probe)
// under different command lines: the drive letter of the command line is
// where the CD-ROM is looked for.
#include "harness/driver.h"
#include "harness/installation.h"
#include "harness/wine_test.h"

namespace {

struct Outcome {
  std::string report;  // the probe's "cdrom=.. result=.."
  std::string started; // what the stand-ins recorded
};

// Runs one companion action; standin names the program it starts, if it
// starts one of ours, whose record is then waited for.
Outcome RunAction(const std::string& action, const std::string& commandLine, const char* standin = nullptr) {
  ResetInstallation();
  std::string folder = FreshFolder("companions");
  SetEnvironmentVariableA("QV_PROBE", "companions");
  SetEnvironmentVariableA("QV_PROBE_ACTION", action.c_str());
  SetEnvironmentVariableA("QV_PROBE_REPORT", (folder + "\\report.txt").c_str());
  Program probe = StartProgram(TestBin() + "\\engine_probe.exe", commandLine, folder);
  long code = WaitForExit(probe);
  ok(code == 0, "%s: probe exit code %ld", action.c_str(), code);
  Outcome outcome;
  outcome.report = ReadFileText(folder + "\\report.txt");
  // A started stand-in writes its record shortly after the shell returns.
  if (standin != nullptr && outcome.report.find("result=1") != std::string::npos) WaitForStart(standin);
  outcome.started = StandinLogText();
  return outcome;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

WINE_TEST(from_the_cdrom_drive_the_companions_start_with_their_folders) {
  Outcome encoder = RunAction("encoder", "\"E:\\SETUP.EXE\"", "bladeenc.exe");
  ok(Has(encoder.report, "cdrom=1 result=1"), "encoder report %s", encoder.report.c_str());
  ok(Has(encoder.started, "path=E:\\bladeenc.exe|args=/s|cwd=E:\\"), "encoder started as %s", encoder.started.c_str());

  Outcome loud = RunAction("encoder-loud", "E:\\setup.exe /autorun", "bladeenc.exe");
  ok(Has(loud.started, "name=bladeenc.exe|path=E:\\bladeenc.exe|args=|"), "not silent: %s", loud.started.c_str());

  Outcome directx = RunAction("directx", "\"E:\\setup.exe\" /autorun", "dxsetup.exe");
  ok(Has(directx.report, "result=1"), "directx report %s", directx.report.c_str());
  ok(Has(directx.started, "path=E:\\directx\\dxsetup.exe|args=|cwd=E:\\directx"), "dxsetup started as %s",
     directx.started.c_str());

  // Folders open through the shell; the platform reports the start.
  Outcome soundfx = RunAction("soundfx", "\"E:\\setup.exe\"");
  ok(Has(soundfx.report, "result=1"), "SoundFX folder opened: %s", soundfx.report.c_str());
  Outcome explore = RunAction("explore", "\"E:\\setup.exe\"");
  ok(Has(explore.report, "result=1"), "CD-ROM explored: %s", explore.report.c_str());
}

WINE_TEST(from_a_hard_disk_copy_the_encoder_is_not_found_and_nothing_is_said) {
  Outcome encoder = RunAction("encoder", "\"C:\\temp\\setup.exe\"");
  ok(Has(encoder.report, "cdrom=0 result=0"), "report %s", encoder.report.c_str());
  ok(encoder.started.empty(), "something started: %s", encoder.started.c_str());
  ok(FindWindowsByCaption("Install Quavertone").empty() && FindWindowsByCaption("Installation Error").empty(),
     "a message box appeared");
}

WINE_TEST(without_a_colon_in_the_command_line_nothing_starts) {
  const char* actions[] = {"encoder", "directx", "soundfx", "explore"};
  for (const char* action : actions) {
    Outcome outcome = RunAction(action, "setup.exe /autorun");
    ok(Has(outcome.report, "cdrom=0 result=0"), "%s report %s", action, outcome.report.c_str());
    ok(outcome.started.empty(), "%s started %s", action, outcome.started.c_str());
  }
}
