// Acts out start-up and the dialog frame with the installer's own code.
#include <cstdio>
#include <cstdlib>

#include "control/command_tail.h"
#include "control/installer_state.h"
#include "control/start_up.h"
#include "dialogs/dialog_frame.h"
#include "probe.h"

namespace {

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != 0; }

INT_PTR CALLBACK NeverShown(HWND, UINT, WPARAM, LPARAM) { return 0; }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const char* tail = CommandTail(GetCommandLineA(), IsLeadByte);
  std::string mode = ProbeSetting("QV_PROBE");
  StartInstaller(instance, tail);
  char line[512];
  std::snprintf(line, sizeof line, "tail=[%s] autorun=%d platform=%u instance=%d", tail, Installer.autorun ? 1 : 0,
                static_cast<unsigned>(Installer.platform), Installer.instance == GetModuleHandleA(nullptr) ? 1 : 0);
  ProbeReport(line);
  if (mode == "missing-template") {
    ShowModalDialog(nullptr, 999, NeverShown);
    ProbeReport("returned");  // must not be reached
  } else if (mode == "ask") {
    HWND owner = nullptr;
    if (ProbeSetting("QV_PROBE_OWNER") == "1") {
      owner = CreateWindowExA(0, "STATIC", "probe owner", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                              nullptr, instance, nullptr);
    }
    std::snprintf(line, sizeof line, "owner=%p", static_cast<void*>(owner));
    ProbeReport(line);
    UINT style = static_cast<UINT>(std::strtoul(ProbeSetting("QV_PROBE_STYLE").c_str(), nullptr, 0));
    int answer = AskUser("Probe question?", style, owner);
    std::snprintf(line, sizeof line, "answer=%d", answer);
    ProbeReport(line);
  } else if (mode == "fatal") {
    FatalError("ERROR: Insufficient memory.");
  }
  // The fatal paths end the process themselves with exit code 0; reaching
  // this line on them is a failure the test sees as exit code 3.
  ExitProcess(mode == "missing-template" || mode == "fatal" ? 3 : 0);
}
