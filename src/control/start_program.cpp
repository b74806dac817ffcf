#include "control/start_program.h"

#include <windows.h>
#include <shellapi.h>

#include "common/text.h"
#include "companions/companions.h"

namespace {

// Folders hold at most 255 characters; with the separator and a short
// program name the path stays within the platform's 260.
char programPath[MAX_PATH];

}  // namespace

// Composes folder\fileName into programPath; false when there is no folder
// or the path does not fit.
bool ComposeProgramPath(const char* fileName, const char* folder) {
  // Without a folder the name would be resolved against the current folder
  // and the search path, which is exactly what naming the folder avoids.
  return folder[0] != '\0' && JoinPath(programPath, sizeof programPath, folder, fileName, PlatformLeadByte);
}

bool StartProgramInFolder(const char* fileName, const char* parameters, const char* folder) {
  if (!ComposeProgramPath(fileName, folder)) return false;
  return StartThroughShell(nullptr, programPath, parameters, folder, SW_SHOW);
}

bool RunProgramInFolderToEnd(const char* fileName, const char* parameters, const char* folder) {
  if (!ComposeProgramPath(fileName, folder)) return false;
  SHELLEXECUTEINFOA run;
  ZeroMemory(&run, sizeof run);
  run.cbSize = sizeof run;
  // No error box of the shell's: a program that cannot be started is
  // passed over quietly, as ShellExecuteA does.
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  run.lpFile = programPath;
  run.lpParameters = parameters;
  run.lpDirectory = folder;
  run.nShow = SW_SHOW;
  if (!ShellExecuteExA(&run) || run.hProcess == nullptr) return false;
  // The installer has no window open meanwhile, so nothing waits on it.
  WaitForSingleObject(run.hProcess, INFINITE);
  CloseHandle(run.hProcess);
  return true;
}
