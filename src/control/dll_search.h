// Where setup.exe looks for DLLs, limited as far as the platform's kernel32
// allows, and the one DLL it loads by itself.
#pragma once

// The system folder only where kernel32 has SetDefaultDllDirectories (8 and
// later, Vista and 7 with the update); else, with SetDllDirectoryA (XP SP1
// and later), the current folder out of the search, since the destination
// becomes the current folder while the files are written; else (9x/ME,
// NT 4, XP before SP1) nothing can be limited.
void LimitDllSearch();

// Registers the progress bar class through ordinal 17 of comctl32
// (InitCommonControls), present in every version (the Ex form is not on the
// oldest), loaded by its full path in the system folder.  Without it the
// progress window cannot be made, which reports the failure then.
void InitCommonControlsFromSystemFolder();
