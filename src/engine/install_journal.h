// All or nothing: the order in which the files of the table reach the
// destination folder, the record of what a run has done so far, and what
// undoing it takes.  Pure: no Windows header, so every failure point is
// exercised natively.
//
// Every payload is first expanded beside the others under a staged name of
// its own; only when all of them are complete does each move to its name,
// an earlier file of that name being kept aside until every move has
// succeeded.  Until the moves, an earlier installation is not touched at
// all; a failure at any point can be undone to the folder as it was.
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
  KeepAside,  // move an earlier file of the row's name to its kept name
  Place,      // move the staged file to the row's name
  DropKept,   // delete the kept file: the installation is complete
};

struct FileStep {
  FileStepKind kind;
  unsigned row;  // 1 to FILE_TABLE_ROWS
};

// The steps of installing the files, in order: every Stage, then KeepAside
// and Place row by row (so that at any moment at most one of the earlier
// files is missing), then every DropKept.  False past the last step.
bool FileStepAt(unsigned index, FileStep* step);

// Once every Place has succeeded the installation is complete; a DropKept
// that fails only leaves a kept file for the next run to remove.
bool FilesCommitted(const FileStep& step);

// Folder levels a destination of at most 255 characters can have.
constexpr unsigned MAX_FOLDER_LEVELS = FOLDER_BUFFER_SIZE / 2;

struct InstallJournal {
  // The folders this run created, shallowest first, each as the length of
  // the destination's prefix that names it.
  unsigned createdFolders;
  uint16_t folderLength[MAX_FOLDER_LEVELS];
  bool staged[FILE_TABLE_ROWS];  // the row's new file is under its staged name
  bool kept[FILE_TABLE_ROWS];    // the row's earlier file is under its kept name
  bool placed[FILE_TABLE_ROWS];  // the row's new file is under the row's name
};

void ClearJournal(InstallJournal* journal);

// A folder level (a prefix of the destination) that this run created.
void RecordCreatedFolder(InstallJournal* journal, size_t prefixLength);

// Records a step that succeeded; acted is false for a step that had nothing
// to do (no earlier file to keep aside, a folder row's folder already there,
// a folder row's moves).
void RecordFileStep(InstallJournal* journal, const FileStep& step, bool acted);

enum class UndoKind : uint8_t {
  DeleteFile,    // from
  MoveFile,      // from -> to
  RemoveFolder,  // from, relative to the destination, or else the
                 // destination's first folderLength characters; if empty
};

struct UndoStep {
  UndoKind kind;
  const char* from;
  const char* to;
  size_t folderLength;
};

// Enough for every row's two steps and every folder level.
constexpr size_t MAX_UNDO_STEPS = 2 * FILE_TABLE_ROWS + MAX_FOLDER_LEVELS;

// The steps that take the destination back to what it was before the run,
// in order: the rows last to first (a new file or folder removed, an earlier
// file moved back under its name), then the created levels of the
// destination deepest first.  Answers
// their count.
size_t PlanUndo(const InstallJournal& journal, UndoStep* steps);
