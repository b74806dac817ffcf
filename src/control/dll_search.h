// How far setup.exe limits where DLLs are looked for, by what the platform's
// kernel32 offers.  Pure: no Windows header, so the choice is unit-tested.
#pragma once

enum class DllSearchLimit {
  SystemFolderOnly,      // SetDefaultDllDirectories: 8 and later, Vista and 7 with the update
  WithoutCurrentFolder,  // SetDllDirectoryA(""): XP SP1 and later without that update
  Unchanged,             // neither: 9x/ME, NT 4, XP before SP1
};

// The system folder only where the platform can say so; otherwise at least
// the current folder out of the search, since the destination becomes the
// current folder while the files are written.
DllSearchLimit ChooseDllSearchLimit(bool haveSetDefaultDllDirectories, bool haveSetDllDirectory);
