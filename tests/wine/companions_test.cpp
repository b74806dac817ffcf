// The CD-ROM starts with the shell call recorded instead of made: the shell opens the same folder window for
// "open" and "explore", so only the call itself shows which verb was asked for.
#include <string>

#include "check.h"
#include "companions/companions.h"
#include "companions/source_drive.h"
#include "recorded_shell.h"

std::string started;  // verb|file|parameters|folder|show, "-" for none

HINSTANCE WINAPI RecordedShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show) {
  started = std::string(verb ? verb : "-") + "|" + file + "|" + (parameters ? parameters : "-") + "|" +
            (folder ? folder : "-") + "|" + std::to_string(show);
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33));
}

int main() {
  const std::string cd = std::string(1, SourceDrive(GetCommandLineA())) + ":\\";
  const struct {
    int (*start)();
    std::string call;
  } starts[] = {{RunDirectXSetup, "-|" + cd + "directx\\dxsetup.exe|-|" + cd + "directx\\|5"},
                {[] { return RunEncoderSetup(true); }, "-|" + cd + "bladeenc.exe|/s|" + cd + "|5"},
                {OpenSoundFxFolder, "-|" + cd + "SoundFX|-|-|1"},
                {ExploreCdRom, "explore|" + cd + "|-|-|1"}};
  for (const auto& s : starts) CHECK(s.start() == 1 && started == s.call, "%s, not %s", started.c_str(), s.call.c_str());
  return Verdict();
}
