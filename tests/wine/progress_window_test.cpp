// The progress window, opened and pumped by the installer's own code the
// way the installation does, and driven from outside: its title and bar,
// the "Abort?" question, and what one pump handles.
#include <string>

#include "harness/driver.h"
#include "harness/wine_test.h"

#include <commctrl.h>

namespace {

const char kTitle[] = "Installing Quavertone  ---  Working ... ";
constexpr int kBarId = 3002;

struct Run {
  Program program;
  std::string report;
  HWND window = nullptr;
  int sequence = 0;
};

Run StartProgress(const char* range) {
  Run run;
  std::string folder = FreshFolder("progress");
  run.report = folder + "\\report.txt";
  SetEnvironmentVariableA("QV_PROBE", "progress");
  SetEnvironmentVariableA("QV_PROBE_REPORT", run.report.c_str());
  SetEnvironmentVariableA("QV_PROBE_RANGE", range);
  run.program = StartProgram(TestBin() + "\\dialogs_probe.exe", "dialogs_probe.exe", folder);
  run.window = WaitForWindow(kTitle, run.program.id);
  return run;
}

bool Reported(const Run& run, const std::string& line) {
  return ReadFileText(run.report).find(line + "\n") != std::string::npos;
}

// Asks the probe for one step (see dialogs_probe.cpp) and waits until it
// was done; answers the abort flag the probe then held, or -1.
int Step(Run& run, int step) {
  int sequence = ++run.sequence;
  PostMessageA(run.window, WM_APP + step, sequence, 0);
  std::string prefix = Format("seq=%d step=%d flag=", sequence, step);
  int flag = -1;
  WaitUntil([&] {
    std::string report = ReadFileText(run.report);
    size_t at = report.find(prefix);
    if (at == std::string::npos) return false;
    flag = std::stoi(report.substr(at + prefix.size()));
    return true;
  });
  ok(flag != -1, "step %d not done; report: %s", step, ReadFileText(run.report).c_str());
  return flag;
}

long BarMessage(HWND window, UINT message, WPARAM wParam) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(GetDlgItem(window, kBarId), message, wParam, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  return static_cast<long>(answer);
}

long Position(HWND window) { return BarMessage(window, PBM_GETPOS, 0); }
long RangeLow(HWND window) { return BarMessage(window, PBM_GETRANGE, TRUE); }
long RangeHigh(HWND window) { return BarMessage(window, PBM_GETRANGE, FALSE); }

void Stop(Run& run) {
  if (run.window != nullptr && IsRunning(run.program)) PostMessageA(run.window, WM_APP + 9, ++run.sequence, 0);
  long code = WaitForExit(run.program);
  ok(code == 0, "probe exit code %ld", code);
}

// Asks the window to close in one of the two ways a user has, answers
// the "Abort?" question with button, and waits until the probe has seen
// the answer.  Answers the probe's flag afterwards.
int AskAndAnswer(Run& run, bool closeBox, int button) {
  if (closeBox) {
    CloseWindowAsCloseBox(run.window);
  } else {
    PressKey(run.window, VK_ESCAPE);
  }
  const char* way = closeBox ? "close box" : "Escape";
  HWND box = WaitForWindow("Install Quavertone", run.program.id);
  if (!ok(box != nullptr, "%s: no \"Abort?\" question", way)) return -1;
  ok(MessageBoxText(box) == "Abort?", "%s: question \"%s\"", way, MessageBoxText(box).c_str());
  ok(MessageBoxHasButton(box, IDYES) && MessageBoxHasButton(box, IDNO) && !MessageBoxHasButton(box, IDOK),
     "%s: Yes and No buttons", way);
  ok(GetWindow(box, GW_OWNER) == run.window, "%s: the question is owned by the progress window", way);
  ok(!IsWindowEnabled(run.window), "%s: the progress window waits while asking", way);
  AnswerMessageBox(box, button);
  ok(WaitForWindowGone(box), "%s: the question went away", way);
  ok(IsWindow(run.window) && IsWindowVisible(run.window), "%s: the progress window stays open", way);
  ok(WindowText(run.window) == kTitle, "%s: the title is unchanged: \"%s\"", way, WindowText(run.window).c_str());
  // The step runs after the answer has been handled: the pump takes one
  // message at a time, in order.
  return Step(run, 6);
}

}  // namespace

WINE_TEST(open_clears_the_flag_and_shows_the_title_and_an_empty_bar) {
  Run run = StartProgress("0,5");
  require(run.window != nullptr, "no progress window captioned \"%s\"", kTitle);
  ok(WaitUntil([&] { return Reported(run, "ready"); }), "probe ready");
  ok(Reported(run, "flag-after-open=0"), "OpenProgress stored 0 in a flag that held 1: %s",
     ReadFileText(run.report).c_str());
  ok(GetWindow(run.window, GW_OWNER) == nullptr, "the window has no owner");
  ok(Position(run.window) == 0, "bar at 0, found %ld", Position(run.window));
  ok(RangeLow(run.window) == 0 && RangeHigh(run.window) == 5, "range 0..5, found %ld..%ld", RangeLow(run.window),
     RangeHigh(run.window));
  RECT r;
  GetWindowRect(run.window, &r);
  long dx = (r.left + r.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2;
  long dy = (r.top + r.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2;
  ok(dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2, "centred on the screen, off by %ld,%ld", dx, dy);
  ok(!HasControl(run.window, 3001), "no status line: the window holds the bar only");
  Stop(run);
  ok(Reported(run, "closed window=0"), "CloseProgress destroyed the window: %s", ReadFileText(run.report).c_str());
}

WINE_TEST(updates_change_only_what_they_are_given) {
  Run run = StartProgress("0,5");
  require(run.window != nullptr, "no progress window");
  Step(run, 1);  // nothing given
  ok(WindowText(run.window) == kTitle && Position(run.window) == 0, "(null, null, -1) changed nothing: \"%s\" %ld",
     WindowText(run.window).c_str(), Position(run.window));
  Step(run, 2);  // position only
  ok(WindowText(run.window) == kTitle, "(null, null, 3) kept the title: \"%s\"", WindowText(run.window).c_str());
  ok(Position(run.window) == 3, "(null, null, 3) moved the bar to 3, found %ld", Position(run.window));
  Step(run, 3);  // a text without caption: shown nowhere
  ok(WindowText(run.window) == kTitle && Position(run.window) == 3,
     "a text without caption changed neither title nor bar: \"%s\" %ld", WindowText(run.window).c_str(),
     Position(run.window));
  Step(run, 4);  // a caption longer than the title buffer holds
  std::string cut = (std::string(300, 'c') + "  ---  Working ... ").substr(0, 255);
  ok(WindowText(run.window) == cut, "an overlong title is cut to 255 characters, found %zu",
     WindowText(run.window).size());
  ok(Position(run.window) == 4, "and the bar moved to 4, found %ld", Position(run.window));
  ok(IsRunning(run.program), "the probe survived the overlong title");
  Stop(run);
}

WINE_TEST(range_bounds_reach_the_bar_as_their_low_16_bits) {
  struct Case {
    const char* range;
    long low;
    long high;
  } cases[] = {
      {"3,70000", 3, 70000 & 0xFFFF},
      {"65537,9", 1, 9},
      {"0,65535", 0, 65535},
  };
  for (const Case& c : cases) {
    Run run = StartProgress(c.range);
    if (!ok(run.window != nullptr, "%s: no progress window", c.range)) {
      KillProgram(run.program);
      continue;
    }
    ok(RangeLow(run.window) == c.low && RangeHigh(run.window) == c.high, "%s: range %ld..%ld, found %ld..%ld",
       c.range, c.low, c.high, RangeLow(run.window), RangeHigh(run.window));
    Stop(run);
  }
}

WINE_TEST(escape_and_the_close_box_ask_abort_and_only_yes_raises_the_flag) {
  Run run = StartProgress("0,5");
  require(run.window != nullptr, "no progress window");
  ok(WaitUntil([&] { return Reported(run, "ready"); }), "probe ready");

  int flag = AskAndAnswer(run, true, IDNO);
  ok(flag == 0, "No leaves the flag at 0, found %d", flag);
  flag = AskAndAnswer(run, false, IDYES);
  ok(flag == 1, "Yes stores 1, found %d", flag);
  flag = AskAndAnswer(run, true, IDNO);
  ok(flag == 1, "No leaves the flag at 1, found %d", flag);
  // The owner lowers its flag; a second request asks again and Yes stores
  // 1 again.
  ok(Step(run, 5) == 0, "the owner lowered its flag");
  flag = AskAndAnswer(run, false, IDYES);
  ok(flag == 1, "a second Yes stores 1 again, found %d", flag);
  flag = AskAndAnswer(run, true, IDYES);
  ok(flag == 1, "the close box asks again too, found %d", flag);
  Stop(run);
}

WINE_TEST(one_pump_handles_at_most_one_message_and_never_waits) {
  std::string folder = FreshFolder("pump");
  std::string report = folder + "\\report.txt";
  SetEnvironmentVariableA("QV_PROBE", "pump");
  SetEnvironmentVariableA("QV_PROBE_REPORT", report.c_str());
  Program probe = StartProgram(TestBin() + "\\dialogs_probe.exe", "dialogs_probe.exe", folder);
  long code = WaitForExit(probe);
  ok(code == 0, "probe exit code %ld", code);
  std::string text = ReadFileText(report);
  size_t empty = text.find("empty: pending-before=0 elapsed-ms=");
  ok(empty != std::string::npos && text.find("seen=[]", empty) != std::string::npos,
     "a pump with nothing pending handled nothing: %s", text.c_str());
  if (empty != std::string::npos) {
    long elapsed = std::stol(text.substr(empty + 35));
    ok(elapsed < 1000, "a pump with nothing pending returned at once, took %ld ms", elapsed);
  }
  ok(text.find("three: seen=[20 ] left=[21 22 ]") != std::string::npos,
     "of three pending messages one pump handled the first only: %s", text.c_str());
}
