#include "companions/companions.h"

#include <windows.h>
#include <shellapi.h>

#include "companions/source_drive.h"

namespace {

// Starts file (a path on the CD-ROM relative to its root) through the shell.
// folder, when given, is relative to the root too ("" is the root itself).
int StartFromCdRom(const char* verb, const char* file, const char* parameters, const char* folder, int show) {
  char drive = SourceDrive(GetCommandLineA());
  char filePath[MAX_PATH];
  char folderPath[MAX_PATH];
  if (!CdRomPath(filePath, sizeof filePath, drive, file)) return 0;
  if (folder != nullptr && !CdRomPath(folderPath, sizeof folderPath, drive, folder)) return 0;
  HINSTANCE result = ShellExecuteA(nullptr, verb, filePath, parameters, folder ? folderPath : nullptr, show);
  return reinterpret_cast<INT_PTR>(result) > 32 ? 1 : 0;
}

}  // namespace

int RunDirectXSetup() { return StartFromCdRom(nullptr, "directx\\dxsetup.exe", nullptr, "directx\\", SW_SHOW); }

int RunEncoderSetup(bool silent) {
  return StartFromCdRom(nullptr, "bladeenc.exe", silent ? "/s" : nullptr, "", SW_SHOW);
}

int OpenSoundFxFolder() { return StartFromCdRom(nullptr, "SoundFX", nullptr, nullptr, SW_SHOWNORMAL); }

int ExploreCdRom() { return StartFromCdRom("explore", "", nullptr, nullptr, SW_SHOWNORMAL); }

bool RunsFromCdRom() {
  char root[4];
  return CdRomPath(root, sizeof root, SourceDrive(GetCommandLineA()), "") && GetDriveTypeA(root) == DRIVE_CDROM;
}
