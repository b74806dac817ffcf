// The CD-ROM menu, shown by the installer's own code and driven from
// outside: which result each way of leaving it gives.
#include <string>

#include "harness/driver.h"
#include "harness/wine_test.h"

namespace {

const char kCaption[] = "Quavertone --- CD-ROM";
constexpr int kFirstChoice = 4001;
constexpr int kLogoId = 4006;

struct Run {
  Program program;
  std::string report;
  HWND dialog = nullptr;
};

Run StartMenu(const char* probe = "dialogs_probe.exe") {
  Run run;
  std::string folder = FreshFolder("cdrom");
  run.report = folder + "\\report.txt";
  SetEnvironmentVariableA("QV_PROBE", "cdrom");
  SetEnvironmentVariableA("QV_PROBE_REPORT", run.report.c_str());
  run.program = StartProgram(TestBin() + "\\" + probe, probe, folder);
  run.dialog = WaitForWindow(kCaption, run.program.id);
  return run;
}

// The value the menu ended with, or -1 when the probe did not report one.
long Result(Run& run) {
  long code = WaitForExit(run.program);
  ok(code == 0, "probe exit code %ld", code);
  std::string report = ReadFileText(run.report);
  size_t at = report.find("result=");
  return at == std::string::npos ? -1 : std::stol(report.substr(at + 7));
}

void SetCheck(HWND dialog, int id, WPARAM state) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_SETCHECK, state, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

}  // namespace

WINE_TEST(confirming_at_once_runs_the_product) {
  Run run = StartMenu();
  require(run.dialog != nullptr, "no CD-ROM menu");
  bool good = ok(IsChecked(run.dialog, kFirstChoice), "the first choice is selected at start");
  for (int id = kFirstChoice + 1; id <= kFirstChoice + 4; ++id) {
    good &= ok(!IsChecked(run.dialog, id), "choice %d is not selected at start", id);
  }
  good &= ok(FocusOf(run.dialog) == GetDlgItem(run.dialog, IDOK), "focus on the OK button");
  good &= ok(HasPicture(run.dialog, kLogoId), "the logo is in its picture holder");
  if (!good) Trace("%s", DescribeDialog(run.dialog).c_str());
  Click(run.dialog, IDOK);
  long result = Result(run);
  ok(result == 4001, "confirming at once gives 4001, got %ld", result);
}

WINE_TEST(the_selected_choice_is_reported) {
  for (int id = kFirstChoice; id <= kFirstChoice + 4; ++id) {
    Run run = StartMenu();
    if (!ok(run.dialog != nullptr, "no CD-ROM menu")) {
      KillProgram(run.program);
      continue;
    }
    Click(run.dialog, id);
    ok(WaitUntil([&] { return IsChecked(run.dialog, id); }), "choice %d selected by its click", id);
    for (int other = kFirstChoice; other <= kFirstChoice + 4; ++other) {
      if (other != id) ok(!IsChecked(run.dialog, other), "choice %d cleared when %d was chosen", other, id);
    }
    Click(run.dialog, IDOK);
    long result = Result(run);
    ok(result == id, "choosing %d and confirming gives %d, got %ld", id, id, result);
  }
}

WINE_TEST(cancel_escape_and_the_close_box_give_2_whatever_is_selected) {
  const char* ways[] = {"Cancel", "Escape", "close box"};
  for (int way = 0; way < 3; ++way) {
    Run run = StartMenu();
    if (!ok(run.dialog != nullptr, "no CD-ROM menu")) {
      KillProgram(run.program);
      continue;
    }
    // "Install Additional Sound &FX Packs" selected first.
    Click(run.dialog, 4004);
    ok(WaitUntil([&] { return IsChecked(run.dialog, 4004); }), "%s: choice 4004 selected", ways[way]);
    if (way == 0) Click(run.dialog, IDCANCEL);
    if (way == 1) PressKey(run.dialog, VK_ESCAPE);
    if (way == 2) CloseWindowAsCloseBox(run.dialog);
    long result = Result(run);
    ok(result == 2, "%s gives 2, got %ld", ways[way], result);
  }
}

WINE_TEST(confirming_with_no_choice_selected_gives_2) {
  Run run = StartMenu();
  require(run.dialog != nullptr, "no CD-ROM menu");
  SetCheck(run.dialog, kFirstChoice, BST_UNCHECKED);
  ok(!IsChecked(run.dialog, kFirstChoice), "the first choice was cleared");
  Click(run.dialog, IDOK);
  long result = Result(run);
  ok(result == 2, "confirming with nothing selected gives 2, got %ld", result);

  // Several checked at once (only possible from outside): the lowest id.
  run = StartMenu();
  require(run.dialog != nullptr, "no CD-ROM menu");
  SetCheck(run.dialog, kFirstChoice, BST_UNCHECKED);
  SetCheck(run.dialog, 4005, BST_CHECKED);
  SetCheck(run.dialog, 4003, BST_CHECKED);
  Click(run.dialog, IDOK);
  result = Result(run);
  ok(result == 4003, "with 4003 and 4005 checked confirming gives 4003, got %ld", result);
}

WINE_TEST(a_missing_logo_leaves_the_picture_empty_and_the_menu_works) {
  Run run = StartMenu("dialogs_probe_without_logo.exe");
  require(run.dialog != nullptr, "no CD-ROM menu without the logo");
  ok(!HasPicture(run.dialog, kLogoId), "the picture holder is empty");
  ok(IsChecked(run.dialog, kFirstChoice), "the first choice is selected at start");
  Click(run.dialog, 4002);
  ok(WaitUntil([&] { return IsChecked(run.dialog, 4002); }), "choice 4002 selected");
  Click(run.dialog, IDOK);
  long result = Result(run);
  ok(result == 4002, "choosing 4002 gives 4002, got %ld", result);
}
