#include "control/start_program.h"

#include <windows.h>
#include <shellapi.h>

#include "common/module_function.h"
#include "common/text.h"
#include "common/unique_any.h"
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

namespace {

// Job objects came with Windows 2000: the 9x family and NT 4 have none.
typedef HANDLE(WINAPI* CreateJobObjectFunction)(SECURITY_ATTRIBUTES*, const char*);
typedef BOOL(WINAPI* AssignProcessToJobObjectFunction)(HANDLE, HANDLE);
typedef BOOL(WINAPI* QueryInformationJobObjectFunction)(HANDLE, JOBOBJECTINFOCLASS, void*, DWORD, DWORD*);

// How often a job is asked whether any of its processes still runs.
constexpr DWORD JOB_POLL_MS = 100;

// Waits until process has ended (or, without one, for a poll's time),
// handling the messages that reach this thread meanwhile: a program that
// sends to every top-level window as it uninstalls would otherwise wait for
// the installer while the installer waits for it.
void WaitPumping(HANDLE process) {
  const DWORD handles = process != nullptr ? 1 : 0;
  do {
    // Ended, a poll's time gone by, or a wait the platform refuses: done.
    if (MsgWaitForMultipleObjects(handles, &process, FALSE, process != nullptr ? INFINITE : JOB_POLL_MS,
                                  QS_ALLINPUT) != WAIT_OBJECT_0 + handles)
      return;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  } while (process != nullptr);
}

// A job whose processes still run; false when it cannot be asked.
bool JobRuns(HANDLE job, QueryInformationJobObjectFunction query) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting;
  return query(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr) &&
         accounting.ActiveProcesses > 0;
}

// Started suspended, so that it is in the job before it can start anything.
bool StartSuspendedInJob(const char* folder, PROCESS_INFORMATION* started) {
  static char commandLine[MAX_PATH + 2];
  if (!CopyText(commandLine, sizeof commandLine, "\"") || !AppendText(commandLine, sizeof commandLine, programPath) ||
      !AppendText(commandLine, sizeof commandLine, "\""))
    return false;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  return CreateProcessA(programPath, commandLine, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, folder,
                        &startup, started) != 0;
}

}  // namespace

bool RunProgramInFolderToEnd(const char* fileName, const char* parameters, const char* folder) {
  if (!ComposeProgramPath(fileName, folder)) return false;
  // An uninstaller that must delete its own file starts a copy of itself
  // from the temporary folder and ends at once; the copy is what asks and
  // removes.  Everything it starts is in one job, and the wait lasts until
  // the job is empty.  Where there are no jobs, or this process is already
  // in one that cannot take another (Windows 7 and earlier), the program
  // alone is waited for.
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  auto createJob = ModuleFunction<CreateJobObjectFunction>(kernel32, "CreateJobObjectA");
  auto assign = ModuleFunction<AssignProcessToJobObjectFunction>(kernel32, "AssignProcessToJobObject");
  auto query = ModuleFunction<QueryInformationJobObjectFunction>(kernel32, "QueryInformationJobObject");
  PROCESS_INFORMATION started;
  if (parameters == nullptr && createJob != nullptr && assign != nullptr && query != nullptr &&
      StartSuspendedInJob(folder, &started)) {
    HandleOwner process(started.hProcess), thread(started.hThread);
    HandleOwner job(createJob(nullptr, nullptr));
    bool inJob = job.valid() && assign(job.get(), process.get());
    ResumeThread(thread.get());
    WaitPumping(process.get());
    while (inJob && JobRuns(job.get(), query)) WaitPumping(nullptr);
    return true;
  }
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
  HandleOwner process(run.hProcess);
  WaitPumping(process.get());
  return true;
}
