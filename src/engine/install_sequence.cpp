#include "engine/install_sequence.h"

#include <cstring>

#include <windows.h>
#include <shlobj.h>

#include "common/log_file.h"
#include "common/log_text.h"
#include "common/text.h"
#include "common/unique_any.h"
#include "companions/companions.h"
#include "product/installer_state.h"
#include "dialogs/progress_window.h"
#include "engine/file_table.h"
#include "engine/install_journal.h"
#include "engine/payload.h"
#include "engine/shortcuts.h"
#include "registry/product_records.h"
#include "registry/registry_helpers.h"

namespace {

#define UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quavertone"
#define WORKING_TEXT "Working ... "

// Set by the progress window when the user confirms "Abort?".
int32_t abortRequested;

// The folders this run made, so that a run that fails removes them again.
InstallJournal journal;
RecoveryStep recoverySteps[MAX_RECOVERY_STEPS];
char undoFolder[FOLDER_BUFFER_SIZE];

char statusText[16 + sizeof FileTable[0].Name];
char uninstallString[UNINSTALL_STRING_SIZE];
char programPath[SHORTCUT_PATH_SIZE];
char valuePath[sizeof UNINSTALL_KEY + 16];
// Each row's earlier file kept aside by this run, and its size, for the log
// of its deletion.
bool keptNow[FILE_TABLE_ROWS];
uint32_t keptBytes[FILE_TABLE_ROWS];

void CreateFolderLevel(const char* folder, void*) {
  // Exists, denied, no drive: not examined here.  Only a level this run
  // made is removed again by an undo.
  if (CreateDirectoryA(folder, nullptr)) RecordCreatedFolder(&journal, std::strlen(folder));
}

bool Exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

// A file, not a folder, under the name.
bool FileExists(const char* name) {
  DWORD attributes = GetFileAttributesA(name);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file's size, through the one query every platform has; 0 when missing.
uint32_t FileBytes(const char* name) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(name, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  return found.nFileSizeLow;
}

// How a step that the platform refused ended, by its error, read before
// anything else runs: a file held open by another program is in use.
InstallOutcome FailureOutcome() {
  DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? InstallOutcome::InUse
                                                                           : InstallOutcome::CreateFailed;
}

void LogBytes(const char* what, const char* name, const char* as, const char* other, uint32_t bytes) {
  char digits[DECIMAL_SIZE];
  Log(what, name, as, other, DecimalText(digits, bytes), "bytes");
}

// What a file step did, as it is done.
void LogFileStep(const FileStep& step) {
  const unsigned at = step.row - 1;
  const char* own = FileTable[at].Name;
  const char* staged = StagedFileName(step.row);
  const char* kept = KeptFileName(step.row);
  if (!Logging() || !(FileTable[at].Flags & FILE_EXTRACT)) return;
  switch (step.kind) {
    case FileStepKind::Stage:
      keptNow[at] = false;
      return LogBytes("staged", own, "as", staged, FileBytes(staged));
    case FileStepKind::Flush:
      return;
    case FileStepKind::KeepAside:
      if (!FileExists(kept)) return;
      keptNow[at] = true;
      keptBytes[at] = FileBytes(kept);
      return LogBytes("kept", own, "as", kept, keptBytes[at]);
    case FileStepKind::Place:
      return LogBytes("moved", staged, "to", own, FileBytes(own));
    case FileStepKind::DropKept:
      if (keptNow[at])
        LogBytes(FileExists(kept) ? "left for the next run" : "deleted", kept, nullptr, nullptr, keptBytes[at]);
      return;
  }
}

// The step that failed, with the platform's error, before anything else
// runs; answers outcome.
InstallOutcome LogFailedStep(const FileStep& step, InstallOutcome outcome) {
  static const char* const doing[] = {"staging", "flushing", "keeping aside", "moving in", "deleting the kept"};
  char error[DECIMAL_SIZE];
  Log("FAILED", doing[static_cast<int>(step.kind)], FileTable[step.row - 1].Name, "error",
      DecimalText(error, GetLastError()));
  return outcome;
}

// A record, the entry's value or a shortcut, written or not.
bool Recorded(bool written, const char* what, const char* name) {
  Log(written ? "written" : "NOT written", what, name);
  return written;
}

// Puts the current folder right after a run that did not finish: this one,
// failed part way, or an earlier one that was killed or lost its power.
// Every name such a run leaves ends in ".tmp", so one look tells whether
// there is anything to do, which there almost never is.  False when a step
// could not be taken (a file held open): what is left then reads the same
// way to the next run, which takes it up from there.
bool Recover() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("*.tmp", &found);
  if (search == INVALID_HANDLE_VALUE) return true;
  FindClose(search);
  Log("putting right what an unfinished run left in", Installer.destination);
  FolderView view;
  view.scratch = FileExists(SCRATCH_FILE_NAME);
  for (unsigned row = 1; row <= FILE_TABLE_ROWS; ++row) {
    view.own[row - 1] = FileExists(FileTable[row - 1].Name);
    view.staged[row - 1] = FileExists(StagedFileName(row));
    view.kept[row - 1] = FileExists(KeptFileName(row));
  }
  size_t count = PlanRecovery(view, recoverySteps);
  for (size_t i = 0; i < count; ++i) {
    const RecoveryStep& step = recoverySteps[i];
    if (Logging()) LogBytes(step.kind == RecoveryKind::DeleteFile ? "deleting" : "moving", step.from,
                            step.to != nullptr ? "back to" : nullptr, step.to, FileBytes(step.from));
    bool done = step.kind == RecoveryKind::DeleteFile ? DeleteFileA(step.from) : MoveFileA(step.from, step.to);
    if (!done) return false;
  }
  return true;
}

// An earlier file that cannot be replaced (held open by a running program,
// read-only, a folder in its place) fails the run before any earlier file
// has been touched.
InstallOutcome Replaceable(const char* name) {
  DWORD attributes = GetFileAttributesA(name);
  if (attributes == INVALID_FILE_ATTRIBUTES) return InstallOutcome::Done;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return InstallOutcome::CreateFailed;
  FileOwner probe(CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe.valid() ? InstallOutcome::Done : FailureOutcome();
}

// Until the platform has written it to the disk, a file that is renamed
// over an earlier one may come back from a power cut zero-filled.
bool Flush(const char* name) {
  FileOwner file(CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() && FlushFileBuffers(file.get());
}

// Performs one step.  The moves are renames within one folder: MoveFileA is
// on every platform (MoveFileExA is not on the 9x family), and never
// replaces a file.
InstallOutcome PerformFileStep(const FileStep& step) {
  const FileTableEntry& entry = FileTable[step.row - 1];
  if (entry.Flags & FILE_MKDIR) {
    // Already there: not examined; only a folder this run made is removed.
    if (step.kind == FileStepKind::Stage && CreateDirectoryA(entry.Name, nullptr))
      journal.rowFolder[step.row - 1] = true;
    return InstallOutcome::Done;
  }
  if (!(entry.Flags & FILE_EXTRACT)) return InstallOutcome::Done;
  const char* staged = StagedFileName(step.row);
  const char* kept = KeptFileName(step.row);
  bool done = true;
  switch (step.kind) {
    case FileStepKind::Stage:
      CopyText(statusText, sizeof statusText, WORKING_TEXT);
      AppendText(statusText, sizeof statusText, entry.Name);
      if (!Installer.silent) UpdateProgress(nullptr, statusText, -1);
      if (InstallOutcome replace = Replaceable(entry.Name); replace != InstallOutcome::Done) return replace;
      return ExtractPayloadFile(entry.ResourceId, staged);
    case FileStepKind::Flush:
      done = Flush(staged);
      break;
    case FileStepKind::KeepAside:
      done = !Exists(entry.Name) || MoveFileA(entry.Name, kept);
      break;
    case FileStepKind::Place:
      done = MoveFileA(staged, entry.Name);
      break;
    case FileStepKind::DropKept:
      // One that stays (held open) is removed by the next run.
      if (FileExists(kept)) DeleteFileA(kept);
      break;
  }
  return done ? InstallOutcome::Done : FailureOutcome();
}

// Takes the destination back to what it was before this run, then answers
// how the run ended.  An undo that cannot finish leaves what the next run
// needs to finish it, and an abort then is a failure the user must hear of.
InstallOutcome Undo(InstallOutcome outcome) {
  if (!Recover()) return outcome == InstallOutcome::Aborted ? InstallOutcome::CreateFailed : outcome;
  for (unsigned row = FILE_TABLE_ROWS; row >= 1; --row)
    if (journal.rowFolder[row - 1]) RemoveDirectoryA(FileTable[row - 1].Name);
  if (journal.createdFolders == 0) return outcome;
  // A folder that is the current one cannot be removed: the drive's root
  // is, from here on.
  std::memcpy(undoFolder, Installer.destination, 3);
  undoFolder[3] = '\0';
  SetCurrentDirectoryA(undoFolder);
  for (unsigned level = journal.createdFolders; level >= 1; --level) {
    size_t length = journal.folderLength[level - 1];
    std::memcpy(undoFolder, Installer.destination, length);
    undoFolder[length] = '\0';
    RemoveDirectoryA(undoFolder);  // one that holds something else stays
  }
  return outcome;
}

// Every file of the table, all or nothing.
InstallOutcome InstallFiles() {
  ClearJournal(&journal);
  ForEachFolderLevel(Installer.destination, CreateFolderLevel, nullptr, PlatformLeadByte);
  // Every file name below is relative to the destination: expanding them
  // anywhere else (the CD, the user's download folder) must not happen.
  if (!SetCurrentDirectoryA(Installer.destination)) return Undo(InstallOutcome::CreateFailed);
  // What an earlier run left unfinished is put right before anything else.
  if (!Recover()) return Undo(InstallOutcome::CreateFailed);

  FileStep step;
  for (unsigned index = 0; FileStepAt(index, &step); ++index) {
    InstallOutcome outcome = PerformFileStep(step);
    if (outcome != InstallOutcome::Done) return Undo(LogFailedStep(step, outcome));
    LogFileStep(step);
    if (step.kind == FileStepKind::Stage && !Installer.silent) {
      UpdateProgress(nullptr, nullptr, static_cast<int>(step.row));
      PumpProgress();
      // Before the earlier files are touched, every key or click already
      // waiting is heard: the last moment an abort leaves them untouched.
      if (step.row == FILE_TABLE_ROWS) PumpProgressPending();
      if (abortRequested == 1) return Undo(InstallOutcome::Aborted);
    }
  }
  return InstallOutcome::Done;
}

}  // namespace

bool RegisterUninstall() {
  // An earlier release's entry is replaced whole: none of its values stays.
  DeleteRegistryKey(UNINSTALL_KEY, HKEY_LOCAL_MACHINE);
  uint32_t bytes = 0;
  for (const FileTableEntry& entry : FileTable) bytes += FileBytes(entry.Name);
  const uint32_t kilobytes = (bytes + 1023) / 1024, yes = 1;
  const char displayName[] = PRODUCT_NAME " " PRODUCT_VERSION_TEXT;
  bool complete = ComposeUninstallString(uninstallString, sizeof uninstallString, Installer.destination,
                                         PlatformLeadByte) &&
                  ComposeShortcutTarget(programPath, sizeof programPath, Installer.destination, PlatformLeadByte);
  const struct {
    const char* name;
    const void* data;
    uint32_t type;
  } values[] = {{"DisplayName", displayName, REG_SZ},           {"UninstallString", uninstallString, REG_SZ},
                {"DisplayVersion", PRODUCT_RELEASE, REG_SZ},     {"InstallLocation", Installer.destination, REG_SZ},
                {"DisplayIcon", programPath, REG_SZ},            {"EstimatedSize", &kilobytes, REG_DWORD},
                {"NoModify", &yes, REG_DWORD},                   {"NoRepair", &yes, REG_DWORD}};
  for (const auto& value : values) {
    bool written = JoinPath(valuePath, sizeof valuePath, UNINSTALL_KEY, value.name, nullptr) &&
                   WriteRegistryValue(valuePath, value.data, value.type == REG_SZ ? 256 : 4, value.type,
                                      HKEY_LOCAL_MACHINE);
    complete = Recorded(written, "uninstall entry value", value.name) && complete;
  }
  return complete;
}

InstallOutcome InstallProduct() {
  // An unattended run has no window at all, and so no abort either.
  if (!Installer.silent) {
    if (!OpenProgress(nullptr, 0, static_cast<int>(FILE_TABLE_ROWS), &abortRequested))
      return InstallOutcome::WindowFailed;
    UpdateProgress("Installing " PRODUCT_NAME, WORKING_TEXT, 0);
    PumpProgress();
  }

  Log("installing into", Installer.destination);
  InstallOutcome outcome = InstallFiles();
  if (outcome != InstallOutcome::Done) {
    if (!Installer.silent) CloseProgress();
    return outcome;
  }

  // From here on the files stay: a record, the entry or a shortcut that
  // cannot be written is told by the outcome (and a note for a shortcut).
  DeleteProductValue(MONITOR_DEVICE_RECORD);
  bool complete = Recorded(
      WriteProductValue(PROGRAM_DIRECTORY_RECORD, Installer.destination, 256, PROGRAM_DIRECTORY_TYPE), "record",
      PROGRAM_DIRECTORY_RECORD);
  const uint8_t version[PROGRAM_VERSION_SIZE] = {PRODUCT_VERSION & 0xFF, (PRODUCT_VERSION >> 8) & 0xFF,
                                                 (PRODUCT_VERSION >> 16) & 0xFF, PRODUCT_VERSION >> 24};
  complete = Recorded(WriteProductValue(PROGRAM_VERSION_RECORD, version, PROGRAM_VERSION_SIZE, PROGRAM_VERSION_TYPE),
                      "record", PROGRAM_VERSION_RECORD) &&
             complete;
  RunEncoderSetup(true);
  complete = RegisterUninstall() && complete;
  complete = AddProductShortcut(CSIDL_PROGRAMS) && complete;
  complete = AddProductShortcut(CSIDL_DESKTOPDIRECTORY) && complete;
  if (!Installer.silent) CloseProgress();
  return complete ? InstallOutcome::Done : InstallOutcome::RecordsFailed;
}
