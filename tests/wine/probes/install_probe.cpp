// Runs the installation proper (InstallProduct) into the folder named by
// QV_PROBE_DESTINATION, with the installer's own code and resources.  With
// QV_PROBE_SLOW set, each file row waits that many milliseconds while
// keeping the progress window pumped, so that a test can reach "Abort?" in
// time.
#include <cstdlib>

#include "control/installer_state.h"
#include "control/start_up.h"
#include "dialogs/progress_window.h"
#include "engine/install_sequence.h"
#include "probe.h"

namespace {

DWORD slowMs = 0;

void SlowRow(unsigned row) {
  ProbeReport("row " + std::to_string(row));
  DWORD start = GetTickCount();
  while (GetTickCount() - start < slowMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    PumpProgress();
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  StartInstaller(instance, "");
  std::string destination = ProbeSetting("QV_PROBE_DESTINATION");
  lstrcpynA(Installer.destination, destination.c_str(), sizeof Installer.destination);
  slowMs = std::strtoul(ProbeSetting("QV_PROBE_SLOW").c_str(), nullptr, 10);
  if (slowMs > 0) FileRowObserver = SlowRow;
  InstallProduct();
  ProbeReport("installed");
  ExitProcess(0);
}
