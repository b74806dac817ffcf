// File-to-file expansion of an SZDD compressed file, in the installer's own
// code (the platform's expander library does the same work, but says
// nothing useful when it fails).
#pragma once

enum class ExpandOutcome {
  Expanded,          // the target holds exactly the expanded data
  SourceUnreadable,  // the compressed file could not be opened or read
  TargetNotCreated,  // the target could not be created or truncated
  WriteFailed,       // writing the target failed
  Malformed,         // the compressed data is not a whole, valid SZDD file
};

// Expands sourceName into targetName, creating or truncating the target.
// Memory stays bounded (the decoder's ring and work area plus one 64 KiB
// input buffer) whatever the size.  On any failure after the target was
// created, the incomplete target is deleted; a target that could not be
// opened is left as it was.
ExpandOutcome ExpandCompressedFile(const char* sourceName, const char* targetName);
