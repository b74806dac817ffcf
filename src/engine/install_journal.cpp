#include "engine/install_journal.h"

#include <cstring>

namespace {

const char* const STAGED_NAMES[FILE_TABLE_ROWS] = {"qvnew1.tmp", "qvnew2.tmp", "qvnew3.tmp", "qvnew4.tmp",
                                                   "qvnew5.tmp"};
const char* const KEPT_NAMES[FILE_TABLE_ROWS] = {"qvold1.tmp", "qvold2.tmp", "qvold3.tmp", "qvold4.tmp",
                                                 "qvold5.tmp"};

// The three phases of FileStepAt, each one step per row.
constexpr unsigned STAGE_STEPS = FILE_TABLE_ROWS;
constexpr unsigned MOVE_STEPS = 2 * FILE_TABLE_ROWS;

}  // namespace

const char* StagedFileName(unsigned row) { return STAGED_NAMES[row - 1]; }

const char* KeptFileName(unsigned row) { return KEPT_NAMES[row - 1]; }

bool FileStepAt(unsigned index, FileStep* step) {
  if (index < STAGE_STEPS) {
    *step = {FileStepKind::Stage, index + 1};
  } else if (index < STAGE_STEPS + MOVE_STEPS) {
    unsigned move = index - STAGE_STEPS;
    *step = {move % 2 == 0 ? FileStepKind::KeepAside : FileStepKind::Place, move / 2 + 1};
  } else if (index < STAGE_STEPS + MOVE_STEPS + FILE_TABLE_ROWS) {
    *step = {FileStepKind::DropKept, index - STAGE_STEPS - MOVE_STEPS + 1};
  } else {
    return false;
  }
  return true;
}

bool FilesCommitted(const FileStep& step) { return step.kind == FileStepKind::DropKept; }

void ClearJournal(InstallJournal* journal) { std::memset(journal, 0, sizeof *journal); }

void RecordCreatedFolder(InstallJournal* journal, size_t prefixLength) {
  if (journal->createdFolders < MAX_FOLDER_LEVELS)
    journal->folderLength[journal->createdFolders++] = static_cast<uint16_t>(prefixLength);
}

void RecordFileStep(InstallJournal* journal, const FileStep& step, bool acted) {
  unsigned at = step.row - 1;
  if (!acted) return;
  switch (step.kind) {
    case FileStepKind::Stage:
      journal->staged[at] = true;
      break;
    case FileStepKind::KeepAside:
      journal->kept[at] = true;
      break;
    case FileStepKind::Place:
      journal->staged[at] = false;
      journal->placed[at] = true;
      break;
    case FileStepKind::DropKept:
      journal->kept[at] = false;
      break;
  }
}

size_t PlanUndo(const InstallJournal& journal, UndoStep* steps) {
  size_t count = 0;
  for (unsigned row = FILE_TABLE_ROWS; row >= 1; --row) {
    unsigned at = row - 1;
    const char* name = FileTable[at].Name;
    if (journal.placed[at]) steps[count++] = {UndoKind::DeleteFile, name, nullptr, 0};
    if (journal.staged[at] && (FileTable[at].Flags & FILE_MKDIR))
      steps[count++] = {UndoKind::RemoveFolder, name, nullptr, 0};
    else if (journal.staged[at])
      steps[count++] = {UndoKind::DeleteFile, StagedFileName(row), nullptr, 0};
    if (journal.kept[at]) steps[count++] = {UndoKind::MoveFile, KeptFileName(row), name, 0};
  }
  for (unsigned level = journal.createdFolders; level >= 1; --level)
    steps[count++] = {UndoKind::RemoveFolder, nullptr, nullptr, journal.folderLength[level - 1]};
  return count;
}
