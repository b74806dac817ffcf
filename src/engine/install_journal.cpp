#include "engine/install_journal.h"

#include <cstring>

namespace {

const char* const STAGED_NAMES[FILE_TABLE_ROWS] = {"qvnew1.tmp", "qvnew2.tmp", "qvnew3.tmp", "qvnew4.tmp",
                                                   "qvnew5.tmp"};
const char* const KEPT_NAMES[FILE_TABLE_ROWS] = {"qvold1.tmp", "qvold2.tmp", "qvold3.tmp", "qvold4.tmp",
                                                 "qvold5.tmp"};

// The phases of FileStepAt: staging and flushing one step a row, moving two.
constexpr unsigned MOVE_STEPS = 2 * FILE_TABLE_ROWS;

bool FileRow(unsigned at) { return (FileTable[at].Flags & FILE_MKDIR) == 0; }

}  // namespace

const char* StagedFileName(unsigned row) { return STAGED_NAMES[row - 1]; }

const char* KeptFileName(unsigned row) { return KEPT_NAMES[row - 1]; }

bool FileStepAt(unsigned index, FileStep* step) {
  if (index < FILE_TABLE_ROWS) {
    *step = {FileStepKind::Stage, index + 1};
  } else if (index < POINT_OF_NO_RETURN) {
    *step = {FileStepKind::Flush, index - FILE_TABLE_ROWS + 1};
  } else if (index < POINT_OF_NO_RETURN + MOVE_STEPS) {
    unsigned move = index - POINT_OF_NO_RETURN;
    *step = {move % 2 == 0 ? FileStepKind::KeepAside : FileStepKind::Place, move / 2 + 1};
  } else if (index < POINT_OF_NO_RETURN + MOVE_STEPS + FILE_TABLE_ROWS) {
    *step = {FileStepKind::DropKept, index - POINT_OF_NO_RETURN - MOVE_STEPS + 1};
  } else {
    return false;
  }
  return true;
}

size_t PlanRecovery(const FolderView& view, RecoveryStep* steps) {
  size_t count = 0;
  // Not evidence of anything: a run writes it and deletes it within a row.
  if (view.scratch) steps[count++] = {RecoveryKind::DeleteFile, SCRATCH_FILE_NAME, nullptr};

  bool own[FILE_TABLE_ROWS], staged[FILE_TABLE_ROWS], kept[FILE_TABLE_ROWS];
  unsigned first = 0, last = 0, stagedRows = 0;
  for (unsigned at = 0; at < FILE_TABLE_ROWS; ++at) {
    own[at] = FileRow(at) && view.own[at];
    staged[at] = FileRow(at) && view.staged[at];
    kept[at] = FileRow(at) && view.kept[at];
    if (!staged[at]) continue;
    if (stagedRows++ == 0) first = at + 1;
    last = at + 1;
  }
  // Moving: the staged rows run without a gap from first to the last file
  // row, and every file row before first is in.
  unsigned lastFileRow = FILE_TABLE_ROWS;
  while (lastFileRow > 0 && !FileRow(lastFileRow - 1)) --lastFileRow;
  unsigned gapless = 0;
  for (unsigned row = first; stagedRows > 0 && row <= last; ++row) gapless += staged[row - 1] || !FileRow(row - 1);
  const bool moving = stagedRows > 0 && last == lastFileRow && gapless == last - first + 1;

  if (moving) {
    // The row being moved may have had its earlier file kept aside.
    unsigned at = first - 1;
    if (kept[at] && !own[at]) {
      steps[count++] = {RecoveryKind::MoveFile, KeptFileName(first), FileTable[at].Name};
      kept[at] = false, own[at] = true;
    }
    for (unsigned row = first - 1; row >= 1; --row) {
      at = row - 1;
      if (!FileRow(at)) continue;
      if (own[at]) {
        steps[count++] = {RecoveryKind::MoveFile, FileTable[at].Name, StagedFileName(row)};
        staged[at] = true, own[at] = false;
      }
      if (kept[at]) {
        steps[count++] = {RecoveryKind::MoveFile, KeptFileName(row), FileTable[at].Name};
        kept[at] = false, own[at] = true;
      }
    }
  }
  for (unsigned row = FILE_TABLE_ROWS; row >= 1; --row)
    if (staged[row - 1]) steps[count++] = {RecoveryKind::DeleteFile, StagedFileName(row), nullptr};
  for (unsigned row = 1; row <= FILE_TABLE_ROWS; ++row) {
    if (!kept[row - 1]) continue;
    if (own[row - 1])
      steps[count++] = {RecoveryKind::DeleteFile, KeptFileName(row), nullptr};
    else
      steps[count++] = {RecoveryKind::MoveFile, KeptFileName(row), FileTable[row - 1].Name};
  }
  return count;
}

void ClearJournal(InstallJournal* journal) { std::memset(journal, 0, sizeof *journal); }

void RecordCreatedFolder(InstallJournal* journal, size_t prefixLength) {
  if (journal->createdFolders < MAX_FOLDER_LEVELS)
    journal->folderLength[journal->createdFolders++] = static_cast<uint16_t>(prefixLength);
}
