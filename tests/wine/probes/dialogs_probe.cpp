// Acts out the installer's dialogs with its own code, so that Wine tests
// (and the screenshot script) can drive each one alone.  QV_PROBE chooses:
//   install   the install dialog over the installed state given by
//             QV_PROBE_INSTALLED (0/1), QV_PROBE_VERSION and
//             QV_PROBE_DESTINATION; reports "result=N" and
//             "destination=[...]"
//   cdrom     the CD-ROM menu; reports "result=N"
//   progress  OpenProgress with QV_PROBE_RANGE ("low,high"), a flag that
//             held 1, then the installation's first update (and the bar
//             moved to QV_PROBE_POSITION when given), and pumps until told
//             to stop.  Messages WM_APP + step posted to the
//             window (wParam: a sequence number) act out one step each and
//             report "seq=N step=S flag=F":
//               1  UpdateProgress(null, null, -1)
//               2  UpdateProgress(null, null, 3)
//               3  UpdateProgress(null, "Working ... Quavertone.exe", -1)
//               4  UpdateProgress(a 300-character caption, "Working ... ", 4)
//               5  the owner lowers its flag to 0
//               6  nothing (reports the flag)
//               9  CloseProgress, and the probe ends
//   pump      PumpProgress with no message pending, then with three
//             pending; reports what the window saw and what was left
// For screenshots: QV_PROBE_PRODUCT_RUNNING=1 makes a window of the
// product's class first; QV_PROBE_SHOT names up to two captions ("a|b")
// whose windows' joint screen rectangle is reported as "shot=l,t,r,b" once
// all are visible; QV_PROBE_ACT ("click:ID" or "escape") is done to the
// first of them as soon as it is visible.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "control/installer_state.h"
#include "control/start_up.h"
#include "dialogs/cdrom_menu.h"
#include "dialogs/dialog_frame.h"
#include "dialogs/install_dialog.h"
#include "dialogs/progress_window.h"
#include "probe.h"

namespace {

constexpr UINT STEP_BASE = WM_APP;
constexpr UINT PUMP_PROBE_FIRST = WM_APP + 20;

int32_t Flag = 1;
bool Stop = false;
WNDPROC OriginalProgressProc = nullptr;
std::vector<UINT> SeenByWindow;

void Report(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
void Report(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  ProbeReport(line);
}

// ---- screenshot support: a helper thread that watches our own windows ----

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    if (end > start) parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

struct OwnWindowSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM context) {
  OwnWindowSearch* search = reinterpret_cast<OwnWindowSearch*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) && std::strcmp(text, search->caption) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindOwnWindow(const std::string& caption) {
  OwnWindowSearch search{caption.c_str(), nullptr};
  EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The screenshot script is no test: it polls, with a bound.
DWORD WINAPI WatchForShot(void*) {
  std::vector<std::string> captions = Split(ProbeSetting("QV_PROBE_SHOT"), '|');
  std::string act = ProbeSetting("QV_PROBE_ACT");
  bool acted = act.empty();
  for (int round = 0; round < 1000; ++round, Sleep(20)) {
    std::vector<HWND> windows;
    for (const std::string& caption : captions) windows.push_back(FindOwnWindow(caption));
    if (!acted && windows[0] != nullptr) {
      if (act.compare(0, 6, "click:") == 0) {
        HWND button = GetDlgItem(windows[0], std::atoi(act.c_str() + 6));
        if (button != nullptr) PostMessageA(button, BM_CLICK, 0, 0);
      } else if (act == "escape") {
        PostMessageA(windows[0], WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(windows[0], WM_KEYUP, VK_ESCAPE, 0xC0000001);
      }
      acted = true;
    }
    bool all = true;
    RECT joint = {0, 0, 0, 0};
    for (HWND window : windows) {
      RECT r;
      if (window == nullptr || !GetWindowRect(window, &r)) {
        all = false;
        break;
      }
      UnionRect(&joint, &joint, &r);
    }
    if (all) {
      Report("shot=%ld,%ld,%ld,%ld", joint.left, joint.top, joint.right, joint.bottom);
      return 0;
    }
  }
  Report("shot=none");
  return 0;
}

HWND MakeProductWindow(HINSTANCE instance) {
  WNDCLASSA windowClass;
  std::memset(&windowClass, 0, sizeof windowClass);
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = PRODUCT_WINDOW_CLASS;
  RegisterClassA(&windowClass);
  return CreateWindowA(PRODUCT_WINDOW_CLASS, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
}

// ---- the modes ----

void ShowInstallDialog() {
  Installer.installed = ProbeSetting("QV_PROBE_INSTALLED") == "1";
  Installer.previousVersion = static_cast<uint32_t>(std::strtoul(ProbeSetting("QV_PROBE_VERSION").c_str(), nullptr, 0));
  std::snprintf(Installer.destination, sizeof Installer.destination, "%s",
                ProbeSetting("QV_PROBE_DESTINATION").c_str());
  INT_PTR result = ShowModalDialog(nullptr, 1000, InstallDialogProc);
  Report("result=%ld", static_cast<long>(result));
  Report("destination=[%s]", Installer.destination);
}

void ShowCdRomMenu() {
  INT_PTR result = ShowModalDialog(nullptr, 4000, CdRomMenuProc);
  Report("result=%ld", static_cast<long>(result));
}

void DoStep(UINT step, WPARAM sequence) {
  switch (step) {
    case 1:
      UpdateProgress(nullptr, nullptr, -1);
      break;
    case 2:
      UpdateProgress(nullptr, nullptr, 3);
      break;
    case 3:
      UpdateProgress(nullptr, "Working ... Quavertone.exe", -1);
      break;
    case 4:
      UpdateProgress(std::string(300, 'c').c_str(), "Working ... ", 4);
      break;
    case 5:
      Flag = 0;
      break;
    case 9:
      Stop = true;
      break;
    default:
      break;
  }
  Report("seq=%lu step=%u flag=%d", static_cast<unsigned long>(sequence), step, Flag);
}

// Sees what reaches the progress window after the dialog manager, and
// takes the test's step requests.
LRESULT CALLBACK ProgressSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= PUMP_PROBE_FIRST && message < PUMP_PROBE_FIRST + 3) SeenByWindow.push_back(message);
  if (message > STEP_BASE && message < STEP_BASE + 10) {
    DoStep(message - STEP_BASE, wParam);
    return 0;
  }
  return CallWindowProcA(OriginalProgressProc, window, message, wParam, lParam);
}

void Subclass(HWND window) {
  OriginalProgressProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ProgressSubclass)));
}

void RunProgress() {
  std::vector<std::string> range = Split(ProbeSetting("QV_PROBE_RANGE"), ',');
  int low = range.size() == 2 ? std::atoi(range[0].c_str()) : 0;
  int high = range.size() == 2 ? std::atoi(range[1].c_str()) : 5;
  Flag = 1;
  OpenProgress(nullptr, low, high, &Flag);
  Report("flag-after-open=%d", Flag);
  Subclass(ProgressWindow.window);
  UpdateProgress("Installing Quavertone", "Working ... ", 0);
  std::string position = ProbeSetting("QV_PROBE_POSITION");
  if (!position.empty()) UpdateProgress(nullptr, nullptr, std::atoi(position.c_str()));
  Report("ready");
  // As the installation does: one message per pump between its steps.
  while (!Stop) {
    PumpProgress();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  CloseProgress();
  Report("closed window=%d", IsWindow(ProgressWindow.window) ? 1 : 0);
}

std::string Seen() {
  std::string text;
  for (UINT message : SeenByWindow) text += std::to_string(message - WM_APP) + " ";
  return text;
}

void RunPump() {
  int32_t flag = 0;
  OpenProgress(nullptr, 0, 5, &flag);
  HWND window = ProgressWindow.window;
  Subclass(window);
  // Let the window settle (showing, activation, painting) so that the
  // queue is empty before the pumps under test.
  MSG message;
  for (int i = 0; i < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  bool pendingBefore = PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != 0;
  DWORD start = GetTickCount();
  PumpProgress();
  DWORD elapsed = GetTickCount() - start;
  Report("empty: pending-before=%d elapsed-ms=%lu seen=[%s]", pendingBefore ? 1 : 0,
         static_cast<unsigned long>(elapsed), Seen().c_str());

  for (UINT i = 0; i < 3; ++i) PostMessageA(window, PUMP_PROBE_FIRST + i, 0, 0);
  PumpProgress();
  std::string left;
  while (PeekMessageA(&message, window, PUMP_PROBE_FIRST, PUMP_PROBE_FIRST + 2, PM_REMOVE)) {
    left += std::to_string(message.message - WM_APP) + " ";
  }
  Report("three: seen=[%s] left=[%s]", Seen().c_str(), left.c_str());
  CloseProgress();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  StartInstaller(instance, "");
  if (ProbeSetting("QV_PROBE_PRODUCT_RUNNING") == "1") MakeProductWindow(instance);
  if (!ProbeSetting("QV_PROBE_SHOT").empty()) CloseHandle(CreateThread(nullptr, 0, WatchForShot, nullptr, 0, nullptr));
  std::string mode = ProbeSetting("QV_PROBE");
  if (mode == "install") ShowInstallDialog();
  if (mode == "cdrom") ShowCdRomMenu();
  if (mode == "progress") RunProgress();
  if (mode == "pump") RunPump();
  ExitProcess(0);
}
