// File-to-file expansion of an SZDD compressed file, in the installer's own
// code (the platform's expander library does the same work, but says
// nothing useful when it fails).
#pragma once

#include <windows.h>

enum class ExpandOutcome {
  Expanded,          // the target holds exactly the expanded data
  SourceUnreadable,  // the compressed file could not be opened or read
  TargetNotCreated,  // the target could not be created or truncated
  WriteFailed,       // writing the target failed
  DiskFull,          // the disk filled up while the target was written
  Malformed,         // the compressed data is not a whole, valid SZDD file
};

// Expands sourceName into targetName, creating or truncating the target.
// Memory stays bounded (the decoder's ring and work area plus one 64 KiB
// input buffer) whatever the size.  On any failure after the target was
// created, the incomplete target is deleted; a target that could not be
// opened is left as it was.
ExpandOutcome ExpandCompressedFile(const char* sourceName, const char* targetName);

// Writes all size bytes of data to file: Expanded when every byte was
// taken, DiskFull when the disk filled up, WriteFailed otherwise.
ExpandOutcome WriteAll(HANDLE file, const void* data, DWORD size);
