// The product's shortcuts in the Programs menu and on the desktop.
#pragma once

// Places "Quavertone.lnk" in the special folder csidl, pointing at the
// installed program; on any failure tells the user with a note (none in an
// unattended run) and answers false.
bool AddProductShortcut(int csidl);

// Writes one shortcut file with target, working folder and description and
// nothing else.  1 when the file has been saved, 0 on any failure.
int CreateShortcut(const char* targetPath, const char* shortcutPath, const char* description,
                   const char* workingFolder);
