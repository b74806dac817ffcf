// The install dialog, shown by the installer's own code and driven from
// outside as a user would: what it says for each installed state, the
// running-product refusal, what confirming and cancelling store, the
// folder browser, and a missing logo.
#include <string>

#include "harness/driver.h"
#include "harness/wine_test.h"

namespace {

const char kHeading[] = "Install Quavertone VERSION 10.0";
const char kInstallText[] = "This will install Quavertone into your PC in the specified folder.";
const char kUpdateText[] = "This will update your current version of Quavertone.";
const char kNewerText[] =
    "A newer version of Quavertone is already installed. If you do not wish to replace your newer version with "
    "this older one, click Cancel.";
const char kRunningText[] =
    "Installation has detected that Quavertone is currently running. Please close Quavertone before installing.";

constexpr int kHeadingId = 1001;
constexpr int kStatusId = 1002;
constexpr int kFolderId = 1003;
constexpr int kBrowseId = 1004;
constexpr int kLogoId = 1010;

struct Run {
  Program program;
  std::string report;
  HWND dialog = nullptr;
};

// Starts the probe's install dialog over an installed state and waits for
// the dialog.
Run StartInstallDialog(bool installed, unsigned version, const std::string& destination,
                       const char* probe = "dialogs_probe.exe") {
  Run run;
  std::string folder = FreshFolder("install");
  run.report = folder + "\\report.txt";
  SetEnvironmentVariableA("QV_PROBE", "install");
  SetEnvironmentVariableA("QV_PROBE_REPORT", run.report.c_str());
  SetEnvironmentVariableA("QV_PROBE_INSTALLED", installed ? "1" : "0");
  SetEnvironmentVariableA("QV_PROBE_VERSION", std::to_string(version).c_str());
  SetEnvironmentVariableA("QV_PROBE_DESTINATION", destination.c_str());
  run.program = StartProgram(TestBin() + "\\" + probe, probe, folder);
  run.dialog = WaitForWindow(kHeading, run.program.id);
  return run;
}

// Waits for the probe's end and answers its report.
std::string Finish(Run& run) {
  long code = WaitForExit(run.program);
  ok(code == 0, "probe exit code %ld", code);
  return ReadFileText(run.report);
}

bool Reports(const std::string& report, const std::string& line) { return report.find(line + "\n") != std::string::npos; }

HWND WaitForMessageBox(const Program& program) { return WaitForWindow("Install Quavertone", program.id); }

// A window of the product's class, as the running product has.
struct ProductWindow {
  HWND window = nullptr;
  ProductWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Quavertone";
    RegisterClassA(&windowClass);
    window = CreateWindowA("Quavertone", "Quavertone", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  ~ProductWindow() { Close(); }
  void Close() {
    if (window != nullptr) DestroyWindow(window);
    window = nullptr;
  }
};

// Confirms while the product runs: answers whether the refusal was exactly
// as it must be and the dialog stayed with the typed folder.
bool ConfirmIsRefused(Run& run, const std::string& typed) {
  Click(run.dialog, IDOK);
  HWND box = WaitForMessageBox(run.program);
  if (!ok(box != nullptr, "no error box while the product runs")) return false;
  ok(MessageBoxText(box) == kRunningText, "error text \"%s\"", MessageBoxText(box).c_str());
  ok(MessageBoxHasButton(box, IDOK) && !MessageBoxHasButton(box, IDCANCEL) && !MessageBoxHasButton(box, IDYES),
     "the error box has one OK button");
  ok(GetWindow(box, GW_OWNER) == nullptr, "the error box has no owner, found %p",
     static_cast<void*>(GetWindow(box, GW_OWNER)));
  AnswerMessageBox(box, IDOK);
  ok(WaitForWindowGone(box), "the error box went away after OK");
  bool stayed = IsWindow(run.dialog) && IsWindowVisible(run.dialog) && IsRunning(run.program);
  ok(stayed, "the dialog stays open after the refusal");
  ok(ControlText(run.dialog, kFolderId) == typed, "the field keeps \"%s\", shows \"%s\"", typed.c_str(),
     ControlText(run.dialog, kFolderId).c_str());
  return stayed;
}

BOOL CALLBACK HasBrowseTitle(HWND child, LPARAM context) {
  if (WindowText(child) == "Destination Directory:") {
    *reinterpret_cast<bool*>(context) = true;
    return FALSE;
  }
  return TRUE;
}

// The folder browser: a window of the probe that shows our title text.
HWND WaitForFolderBrowser(const Program& program, HWND dialog) {
  HWND browser = nullptr;
  WaitUntil([&] {
    for (HWND w : WindowsOfProcess(program.id)) {
      if (w == dialog || !IsWindowVisible(w)) continue;
      bool titled = false;
      EnumChildWindows(w, HasBrowseTitle, reinterpret_cast<LPARAM>(&titled));
      if (titled) {
        browser = w;
        return true;
      }
    }
    return false;
  });
  return browser;
}

}  // namespace

WINE_TEST(wording_and_folder_lock_follow_the_installed_version) {
  struct Case {
    const char* name;
    bool installed;
    unsigned version;
    const char* status;
    const char* confirm;
    bool locked;
  } cases[] = {
      {"no installation", false, 0, kInstallText, "&I n s t a l l", false},
      {"version 1000", true, 1000, kInstallText, "&I n s t a l l", false},
      {"version 999", true, 999, kUpdateText, "&U p d a t e", true},
      {"version 0", true, 0, kUpdateText, "&U p d a t e", true},
      {"version 1001", true, 1001, kNewerText, "&I n s t a l l", true},
  };
  for (const Case& c : cases) {
    const std::string folder = "C:\\Program Files\\Quavertone";
    Run run = StartInstallDialog(c.installed, c.version, folder);
    if (!ok(run.dialog != nullptr, "%s: no install dialog", c.name)) {
      KillProgram(run.program);
      continue;
    }
    HWND d = run.dialog;
    bool good = true;
    good &= ok(WindowText(d) == kHeading, "%s: caption \"%s\"", c.name, WindowText(d).c_str());
    good &= ok(ControlText(d, kHeadingId) == kHeading, "%s: heading \"%s\"", c.name,
               ControlText(d, kHeadingId).c_str());
    good &= ok(ControlText(d, kStatusId) == c.status, "%s: status \"%s\"", c.name, ControlText(d, kStatusId).c_str());
    good &= ok(ControlText(d, IDOK) == c.confirm, "%s: confirm \"%s\"", c.name, ControlText(d, IDOK).c_str());
    good &= ok(ControlText(d, IDCANCEL) == "&C a n c e l", "%s: cancel \"%s\"", c.name,
               ControlText(d, IDCANCEL).c_str());
    good &= ok(ControlText(d, kFolderId) == folder, "%s: folder \"%s\"", c.name, ControlText(d, kFolderId).c_str());
    good &= ok(IsEditReadOnly(d, kFolderId) == c.locked, "%s: field read-only %d", c.name,
               IsEditReadOnly(d, kFolderId));
    good &= ok(IsControlEnabled(d, kBrowseId) == !c.locked, "%s: browse enabled %d", c.name,
               IsControlEnabled(d, kBrowseId));
    for (int id = 1005; id <= 1007; ++id) good &= ok(IsChecked(d, id), "%s: requirement %d checked", c.name, id);
    good &= ok(IsDefaultButton(d, IDOK), "%s: confirm is the default button", c.name);
    good &= ok(FocusOf(d) == GetDlgItem(d, IDOK), "%s: focus on the confirm button", c.name);
    good &= ok(HasPicture(d, kLogoId), "%s: the logo is in its picture holder", c.name);
    if (!good) Trace("%s", DescribeDialog(d).c_str());
    if (c.locked) {
      // Locked: confirming stores the earlier installation's folder as shown.
      Click(d, IDOK);
      std::string report = Finish(run);
      ok(Reports(report, "result=1") && Reports(report, "destination=[" + folder + "]"), "%s: %s", c.name,
         report.c_str());
    } else {
      Click(d, IDCANCEL);
      std::string report = Finish(run);
      ok(Reports(report, "result=0"), "%s: cancel gives 0: %s", c.name, report.c_str());
    }
  }
}

WINE_TEST(confirming_stores_the_field_and_cancelling_keeps_the_earlier_folder) {
  Run run = StartInstallDialog(false, 0, "C:\\Program Files\\Quavertone");
  require(run.dialog != nullptr, "no install dialog");
  SetControlText(run.dialog, kFolderId, "D:\\Audio\\Quavertone");
  Click(run.dialog, IDOK);
  std::string report = Finish(run);
  ok(Reports(report, "result=1"), "confirm gives 1: %s", report.c_str());
  ok(Reports(report, "destination=[D:\\Audio\\Quavertone]"), "the typed folder is stored: %s", report.c_str());

  run = StartInstallDialog(true, 1000, "C:\\Old");
  require(run.dialog != nullptr, "no install dialog");
  SetControlText(run.dialog, kFolderId, "D:\\Elsewhere");
  Click(run.dialog, IDCANCEL);
  report = Finish(run);
  ok(Reports(report, "result=0"), "cancel gives 0: %s", report.c_str());
  ok(Reports(report, "destination=[C:\\Old]"), "cancel keeps the earlier folder: %s", report.c_str());

  // Escape and the close box cancel as well.
  for (int way = 0; way < 2; ++way) {
    run = StartInstallDialog(false, 0, "C:\\Old");
    require(run.dialog != nullptr, "no install dialog");
    SetControlText(run.dialog, kFolderId, "D:\\Elsewhere");
    if (way == 0) {
      PressKey(run.dialog, VK_ESCAPE);
    } else {
      CloseWindowAsCloseBox(run.dialog);
    }
    report = Finish(run);
    ok(Reports(report, "result=0") && Reports(report, "destination=[C:\\Old]"), "%s: %s",
       way == 0 ? "Escape" : "close box", report.c_str());
  }
}

WINE_TEST(a_field_longer_than_255_characters_gives_its_first_255) {
  Run run = StartInstallDialog(false, 0, "C:\\Quavertone");
  require(run.dialog != nullptr, "no install dialog");
  std::string typed = "C:\\";
  while (typed.size() < 300) typed += "abcdefghij";
  SetControlText(run.dialog, kFolderId, typed);
  require(ControlText(run.dialog, kFolderId) == typed, "the field holds all %zu characters", typed.size());
  Click(run.dialog, IDOK);
  std::string report = Finish(run);
  ok(Reports(report, "result=1"), "confirm gives 1: %s", report.c_str());
  ok(Reports(report, "destination=[" + typed.substr(0, 255) + "]"), "the first 255 characters are stored: %s",
     report.c_str());
}

WINE_TEST(confirming_while_the_product_runs_is_refused_until_it_is_closed) {
  ProductWindow product;
  require(product.window != nullptr, "could not make a product window: error %lu", GetLastError());

  // Refused, then cancelled: the earlier folder stays.
  Run run = StartInstallDialog(false, 0, "C:\\Old");
  require(run.dialog != nullptr, "no install dialog");
  SetControlText(run.dialog, kFolderId, "D:\\New");
  if (ConfirmIsRefused(run, "D:\\New")) Click(run.dialog, IDCANCEL);
  std::string report = Finish(run);
  ok(Reports(report, "result=0") && Reports(report, "destination=[C:\\Old]"),
     "the refusal stored nothing: %s", report.c_str());

  // Refused, then the product is closed: confirming goes through.
  run = StartInstallDialog(false, 0, "C:\\Old");
  require(run.dialog != nullptr, "no install dialog");
  SetControlText(run.dialog, kFolderId, "D:\\New");
  bool stayed = ConfirmIsRefused(run, "D:\\New");
  product.Close();
  if (stayed) Click(run.dialog, IDOK);
  report = Finish(run);
  ok(Reports(report, "result=1") && Reports(report, "destination=[D:\\New]"),
     "confirm after the product closed: %s", report.c_str());
}

WINE_TEST(the_folder_browser_is_owned_by_the_dialog_and_cancelling_changes_nothing) {
  Run run = StartInstallDialog(false, 0, "C:\\Program Files\\Quavertone");
  require(run.dialog != nullptr, "no install dialog");
  Click(run.dialog, kBrowseId);
  HWND browser = WaitForFolderBrowser(run.program, run.dialog);
  if (ok(browser != nullptr, "no folder browser showing \"Destination Directory:\"")) {
    ok(GetWindow(browser, GW_OWNER) == run.dialog, "the browser is owned by the dialog");
    ok(!IsWindowEnabled(run.dialog), "the dialog waits while the browser is open");
    Click(browser, IDCANCEL);
    ok(WaitForWindowGone(browser), "the browser closed on Cancel");
    ok(WaitUntil([&] { return IsWindowEnabled(run.dialog) != 0; }), "the dialog is usable again");
    ok(ControlText(run.dialog, kFolderId) == "C:\\Program Files\\Quavertone", "the field keeps its text: \"%s\"",
       ControlText(run.dialog, kFolderId).c_str());
  }
  Click(run.dialog, IDCANCEL);
  std::string report = Finish(run);
  ok(Reports(report, "result=0"), "cancel gives 0: %s", report.c_str());
}

WINE_TEST(a_missing_logo_leaves_the_picture_empty_and_the_dialog_works) {
  Run run = StartInstallDialog(true, 999, "C:\\Old", "dialogs_probe_without_logo.exe");
  require(run.dialog != nullptr, "no install dialog without the logo");
  ok(!HasPicture(run.dialog, kLogoId), "the picture holder is empty");
  ok(ControlText(run.dialog, kStatusId) == kUpdateText, "status \"%s\"", ControlText(run.dialog, kStatusId).c_str());
  ok(ControlText(run.dialog, IDOK) == "&U p d a t e", "confirm \"%s\"", ControlText(run.dialog, IDOK).c_str());
  ok(IsEditReadOnly(run.dialog, kFolderId) && !IsControlEnabled(run.dialog, kBrowseId), "the folder is locked");
  Click(run.dialog, IDOK);
  std::string report = Finish(run);
  ok(Reports(report, "result=1") && Reports(report, "destination=[C:\\Old]"), "confirm works: %s", report.c_str());
}
