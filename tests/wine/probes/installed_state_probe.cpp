// Acts out the installed-state routines with the installer's own code, in the
// order the main routine calls them.  QV_PROBE chooses:
//   detect    DetectInstalledProduct, ChooseDefaultFolder
//   legacy    ... then OfferLegacyUninstall
//   validate  ValidateDestination of QV_PROBE_DESTINATION
//   success   DetectInstalledProduct, ChooseDefaultFolder, then
//             ReportSuccess (into QV_PROBE_DESTINATION when it is set)
// Report lines: "installed=N version=N previous=[..] destination=[..]", then
// "goon=N", "valid=N" or "reported" as the routine answered.
#include <cstdio>
#include <cstring>

#include "control/installed_state.h"
#include "control/installer_state.h"
#include "probe.h"

namespace {

void ReportState() {
  char line[700];
  std::snprintf(line, sizeof line, "installed=%d version=%u previous=[%s] destination=[%s]",
                Installer.installed ? 1 : 0, static_cast<unsigned>(Installer.previousVersion),
                Installer.previousFolder, Installer.destination);
  ProbeReport(line);
}

void UseDestinationSetting() {
  std::string destination = ProbeSetting("QV_PROBE_DESTINATION");
  if (destination.empty() || destination.size() >= sizeof Installer.destination) return;
  std::strcpy(Installer.destination, destination.c_str());
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Installer.instance = instance;
  std::string mode = ProbeSetting("QV_PROBE");
  if (mode == "validate") {
    // An empty setting stands for an empty destination.
    Installer.destination[0] = '\0';
    UseDestinationSetting();
    ProbeReport(ValidateDestination() ? "valid=1" : "valid=0");
    return 0;
  }
  // Whatever the record held before, detection must set every field.
  std::memset(Installer.previousFolder, 'x', sizeof Installer.previousFolder);
  Installer.previousVersion = 0xDEADBEEF;
  Installer.installed = true;
  DetectInstalledProduct();
  ChooseDefaultFolder();
  ReportState();
  if (mode == "legacy") {
    ProbeReport(OfferLegacyUninstall() ? "goon=1" : "goon=0");
  } else if (mode == "success") {
    UseDestinationSetting();
    ReportSuccess();
    ProbeReport("reported");
  }
  return 0;
}
