// The CD-ROM starts and the DLL search limits with their platform calls recorded instead of made: the shell opens
// the same folder window for "open" and "explore", and Wine's kernel32 always has the system-folder-only search,
// so only the calls show which verb, which quiet start and which limit was asked for.
#include <string>

#include "check.h"
#include "companions/companions.h"
#include "companions/source_drive.h"
#include "control/dll_search.h"
#include "product/installer_state.h"
#include "recorded_shell.h"

std::string calls;  // a line each: verb|file|parameters|folder|show|mask ("-" for none), or the loader's call
bool kernelHas[2];  // SetDefaultDllDirectories, SetDllDirectoryA

BOOL WINAPI RecordedShellExecuteEx(SHELLEXECUTEINFOA* s) {
  const auto text = [](const char* t) { return std::string(t ? t : "-") + "|"; };
  calls += text(s->lpVerb) + text(s->lpFile) + text(s->lpParameters) + text(s->lpDirectory) + std::to_string(s->nShow) +
           "|" + std::to_string(s->fMask) + "\n";
  return s->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(33)), TRUE;
}
BOOL WINAPI SetDefault(DWORD flags) { return calls += "SetDefaultDllDirectories " + std::to_string(flags) + "\n", TRUE; }
BOOL WINAPI SetDirectory(LPCSTR folder) { return calls += "SetDllDirectoryA \"" + std::string(folder) + "\"\n", TRUE; }
void WINAPI Init() { calls += "ordinal 17\n"; }
HMODULE WINAPI RecordedLoadLibrary(LPCSTR path) {
  return calls += "LoadLibraryA " + std::string(path) + "\n", reinterpret_cast<HMODULE>(static_cast<INT_PTR>(1));
}
template <typename F> FARPROC As(F f) { return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f)); }
FARPROC WINAPI RecordedGetProcAddress(HMODULE, LPCSTR name) {
  if (IS_INTRESOURCE(name)) return reinterpret_cast<UINT_PTR>(name) == 17 ? As(Init) : nullptr;
  if (std::string(name) == "SetDefaultDllDirectories") return kernelHas[0] ? As(SetDefault) : nullptr;
  return std::string(name) == "SetDllDirectoryA" && kernelHas[1] ? As(SetDirectory) : nullptr;
}

int main() {
  const std::string cd = std::string(1, SourceDrive(GetCommandLineA(), nullptr)) + ":\\";
  // The scenarios see the programs start; the folder windows look the same for either verb.
  const struct {
    int (*start)();
    std::string call;
  } starts[] = {{OpenSoundFxFolder, "-|" + cd + "SoundFX|-|-|1|"}, {ExploreCdRom, "explore|" + cd + "|-|-|1|"}};
  // No error box (0x400); unattended, no zone check (0x800000) either where the shell knows it: XP SP1 on.
  const struct { bool silent; uint32_t platform, release; const char* mask; } runs[] = {
      {false, PLATFORM_NT, 601, "1024"}, {true, PLATFORM_WIN9X, 410, "1024"}, {true, PLATFORM_NT, 500, "1024"},
      {true, PLATFORM_NT, 501, "8389632"}};
  for (const auto& r : runs) {
    Installer.silent = r.silent, Installer.platform = r.platform, Installer.release = r.release;
    for (const auto& s : starts) {
      calls.clear();
      CHECK(s.start() == 1 && calls == s.call + r.mask + "\n", "%s, not %s%s", calls.c_str(), s.call.c_str(), r.mask);
    }
  }
  // The system folder only where kernel32 can say so, else at least the current folder out (the destination
  // while the files are written), else nothing; comctl32 always by its full path in the system folder.
  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string comctl32 = "LoadLibraryA " + std::string(system) + "\\comctl32.dll\nordinal 17\n";
  const struct { bool has[2]; std::string calls; } limits[] = {
      {{true, true}, "SetDefaultDllDirectories 2048\n"}, {{false, true}, "SetDllDirectoryA \"\"\n"}, {{false, false}, ""}};
  for (const auto& l : limits) {
    calls.clear(), kernelHas[0] = l.has[0], kernelHas[1] = l.has[1];
    LimitDllSearch();
    InitCommonControlsFromSystemFolder();
    CHECK(calls == l.calls + comctl32, "with %d %d: %s", l.has[0], l.has[1], calls.c_str());
  }
  return Verdict();
}
