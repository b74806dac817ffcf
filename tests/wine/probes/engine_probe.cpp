// Acts out pieces of the installation engine and the companions with the
// installer's own code.  QV_PROBE chooses:
//   companions  report RunsFromCdRom and start the action in QV_PROBE_ACTION
//   shortcuts   AddProductShortcut for Programs then the desktop, with the
//               destination in QV_PROBE_DESTINATION
//   extract     in the current folder, ExtractPayloadFile for each
//               "id=name" of QV_PROBE_PAYLOADS (separated by ';')
#include <cstdio>
#include <cstdlib>

#include <shlobj.h>

#include "companions/companions.h"
#include "control/installer_state.h"
#include "control/start_up.h"
#include "engine/payload.h"
#include "engine/shortcuts.h"
#include "probe.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  StartInstaller(instance, "");
  std::string mode = ProbeSetting("QV_PROBE");
  char line[600];
  if (mode == "companions") {
    std::string action = ProbeSetting("QV_PROBE_ACTION");
    int result = -1;
    if (action == "directx") result = RunDirectXSetup();
    if (action == "encoder") result = RunEncoderSetup(true);
    if (action == "encoder-loud") result = RunEncoderSetup(false);
    if (action == "soundfx") result = OpenSoundFxFolder();
    if (action == "explore") result = ExploreCdRom();
    std::snprintf(line, sizeof line, "cdrom=%d result=%d", RunsFromCdRom() ? 1 : 0, result);
    ProbeReport(line);
  } else if (mode == "shortcuts") {
    std::snprintf(Installer.destination, sizeof Installer.destination, "%s",
                  ProbeSetting("QV_PROBE_DESTINATION").c_str());
    ProbeReport("programs");
    AddProductShortcut(CSIDL_PROGRAMS);
    ProbeReport("desktop");
    AddProductShortcut(CSIDL_DESKTOPDIRECTORY);
    ProbeReport("done");
  } else if (mode == "extract") {
    std::string list = ProbeSetting("QV_PROBE_PAYLOADS");
    size_t start = 0;
    while (start < list.size()) {
      size_t end = list.find(';', start);
      if (end == std::string::npos) end = list.size();
      std::string item = list.substr(start, end - start);
      size_t equals = item.find('=');
      if (equals != std::string::npos) {
        ExtractPayloadFile(std::strtoul(item.c_str(), nullptr, 10), item.substr(equals + 1).c_str());
        ProbeReport("extracted " + item);
      }
      start = end + 1;
    }
  }
  ExitProcess(0);
}
