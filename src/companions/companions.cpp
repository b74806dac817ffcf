#include "companions/companions.h"

#include <windows.h>
#include <shellapi.h>

#include "common/log_file.h"
#include "common/log_text.h"
#include "companions/source_drive.h"
#include "product/installer_state.h"

namespace {

// SEE_MASK_NOZONECHECKS: XP SP1 and later know it.
constexpr ULONG SEE_NO_ZONE_CHECKS = 0x00800000;
constexpr uint32_t FIRST_RELEASE_WITH_ZONE_CHECKS = 501;

// Starts file (a path on the CD-ROM relative to its root) through the shell.
// folder, when given, is relative to the root too ("" is the root itself).
int StartFromCdRom(const char* verb, const char* file, const char* parameters, const char* folder, int show) {
  char drive = SourceDrive(GetCommandLineA(), PlatformLeadByte);
  char filePath[MAX_PATH];
  char folderPath[MAX_PATH];
  if (!CdRomPath(filePath, sizeof filePath, drive, file)) return Log("not started, no CD-ROM drive:", file), 0;
  if (folder != nullptr && !CdRomPath(folderPath, sizeof folderPath, drive, folder)) return 0;
  return StartThroughShell(verb, filePath, parameters, folder ? folderPath : nullptr, show) ? 1 : 0;
}

}  // namespace

bool StartThroughShell(const char* verb, const char* file, const char* parameters, const char* folder, int show) {
  SHELLEXECUTEINFOA start;
  ZeroMemory(&start, sizeof start);
  start.cbSize = sizeof start;
  // A start that fails is passed over quietly, as ShellExecuteA does; and
  // unattended, nobody could answer the shell's security warning for a
  // program from a network drive.
  start.fMask = SEE_MASK_FLAG_NO_UI;
  if (Installer.silent && Installer.platform == PLATFORM_NT && Installer.release >= FIRST_RELEASE_WITH_ZONE_CHECKS)
    start.fMask |= SEE_NO_ZONE_CHECKS;
  start.lpVerb = verb;
  start.lpFile = file;
  start.lpParameters = parameters;
  start.lpDirectory = folder;
  start.nShow = show;
  bool started = ShellExecuteExA(&start) && reinterpret_cast<INT_PTR>(start.hInstApp) > 32;
  char result[DECIMAL_SIZE];
  Log(started ? "started" : "not started", file, parameters, folder != nullptr ? "in" : nullptr, folder, "result",
      DecimalText(result, static_cast<uint32_t>(reinterpret_cast<INT_PTR>(start.hInstApp))));
  return started;
}

int RunDirectXSetup() { return StartFromCdRom(nullptr, "directx\\dxsetup.exe", nullptr, "directx\\", SW_SHOW); }

int RunEncoderSetup(bool silent) {
  return StartFromCdRom(nullptr, "bladeenc.exe", silent ? "/s" : nullptr, "", SW_SHOW);
}

int OpenSoundFxFolder() { return StartFromCdRom(nullptr, "SoundFX", nullptr, nullptr, SW_SHOWNORMAL); }

int ExploreCdRom() { return StartFromCdRom("explore", "", nullptr, nullptr, SW_SHOWNORMAL); }

bool RunsFromCdRom() {
  char root[4];
  return CdRomPath(root, sizeof root, SourceDrive(GetCommandLineA(), PlatformLeadByte), "") &&
         GetDriveTypeA(root) == DRIVE_CDROM;
}
