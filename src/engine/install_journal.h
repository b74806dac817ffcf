// All or nothing: the order in which the files of the table reach the
// destination folder, and the one rule that puts a folder right after a run
// that did not finish, whether it failed (the run undoes itself) or was
// killed (the next run repairs it).  Pure: no Windows header, so every
// point of failure is exercised natively.
//
// Every payload is first expanded beside the others under a staged name of
// its own and flushed to the disk; only then does each move to its name,
// row by row, an earlier file of that name being kept aside until every
// move has succeeded.  Until the moves an earlier installation is not
// touched at all.
//
// The names alone tell how far a run got, so nothing else need survive a
// kill or a power cut: staging and moving both go in row order, so staged
// files of rows 1 to j mean it was staging (nothing moved), staged files of
// rows j to the last mean it was moving (rows before j are in).  With no
// staged file left, every new file was in.  The recovery walks the moves
// backwards, one rename at a time, so that each state it passes through is
// one the run itself passed through: cut anywhere, it reads the same way
// again, and the staged files, the evidence, go last.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/file_table.h"
#include "product/installer_state.h"

// The scratch file a payload's stored bytes are written to before expansion.
#define SCRATCH_FILE_NAME "tempfile.tmp"

// The names a row's files take besides the row's own: "qvnew1.tmp" for the
// new file of row 1 while it waits, "qvold1.tmp" for the earlier file it
// replaces until every move has succeeded.  Shorter than every name of the
// table, so a folder deep enough to take the files takes these too.
const char* StagedFileName(unsigned row);
const char* KeptFileName(unsigned row);

// How the installation of the files ended, and how one step of it did.
enum class InstallOutcome : uint8_t {
  Done,
  Aborted,         // the user confirmed "Abort?"
  ResourceFailed,  // a payload could not be found or loaded
  CreateFailed,    // a file could not be created, or an earlier one replaced
  WriteFailed,     // writing a file failed (a full disk)
  WindowFailed,    // the progress window could not be made: nothing was done
  InUse,           // an earlier file is held open by another program
  DiskFull,        // the disk filled up while a file was written
  RecordsFailed,   // the files are in, but a record, the entry or a shortcut is missing
};

enum class FileStepKind : uint8_t {
  Stage,      // expand the row's payload under its staged name (a
              // FILE_MKDIR row: create its folder)
  Flush,      // have the platform write the staged file to the disk
  KeepAside,  // move an earlier file of the row's name to its kept name
  Place,      // move the staged file to the row's name
  DropKept,   // delete the kept file: the installation is complete
};

struct FileStep {
  FileStepKind kind;
  unsigned row;  // 1 to FILE_TABLE_ROWS
};

// The point of no return: the index of the first step that touches an
// earlier file.  Every staged file is whole and flushed before it, so a
// power cut past it cannot leave a new file zero-filled in its place, and a
// failure or an abort before it leaves the earlier files as they were.
constexpr unsigned POINT_OF_NO_RETURN = 2 * FILE_TABLE_ROWS;

// The steps of installing the files, in order: every Stage, every Flush,
// then KeepAside and Place row by row (so that at any moment at most one of
// the earlier files is missing), then every DropKept.  False past the last.
bool FileStepAt(unsigned index, FileStep* step);

// What is in the destination under the names a run uses: files only, for a
// folder under such a name is nothing a run of the installer made.
// FILE_MKDIR rows are not looked at.
struct FolderView {
  bool scratch;
  bool own[FILE_TABLE_ROWS];
  bool staged[FILE_TABLE_ROWS];
  bool kept[FILE_TABLE_ROWS];
};

enum class RecoveryKind : uint8_t {
  DeleteFile,  // from
  MoveFile,    // from -> to, never onto a name that is there
};

struct RecoveryStep {
  RecoveryKind kind;
  const char* from;
  const char* to;
};

// The scratch file, two moves and one deletion a row, and a kept file a row.
constexpr size_t MAX_RECOVERY_STEPS = 1 + 4 * FILE_TABLE_ROWS;

// The steps that put the folder right, to be taken in order, stopping at
// the first that fails (the next run then reads the folder again):
//  - staged files of rows j to the last: the rows before j go back, last
//    first, each new file to its staged name and the kept file to its own;
//    then every staged file is deleted, the last row's first;
//  - staged files of rows 1 to j, or any other pattern no run leaves:
//    nothing was moved in; the staged files are deleted, the last first;
//  - no staged file: the new files were all in (or none was ever staged).
// Then a kept file left over goes back under its name when that is free and
// is deleted when it is not: the installation it was kept for is complete.
// An empty plan: the folder holds nothing of an unfinished run.
size_t PlanRecovery(const FolderView& view, RecoveryStep* steps);

// Folder levels a destination of at most 255 characters can have.
constexpr unsigned MAX_FOLDER_LEVELS = FOLDER_BUFFER_SIZE / 2;

// The folders a run created, so that a run that fails removes them again.
struct InstallJournal {
  // The levels of the destination, shallowest first, each as the length of
  // the destination's prefix that names it.
  unsigned createdFolders;
  uint16_t folderLength[MAX_FOLDER_LEVELS];
  bool rowFolder[FILE_TABLE_ROWS];  // a FILE_MKDIR row's folder, made by this run
};

void ClearJournal(InstallJournal* journal);

// A folder level (a prefix of the destination) that this run created.
void RecordCreatedFolder(InstallJournal* journal, size_t prefixLength);
