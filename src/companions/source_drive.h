// Where the product CD-ROM is: the drive letter of the installer's own
// command line.  Pure, so the rule is tested natively.
#pragma once

#include <cstddef>

// The character just before the first ':' of the command line ("E" for
// "E:\SETUP.EXE" or "\"E:\SETUP.EXE\""); '\0' when the line has no ':' or
// the ':' is its first character.
char SourceDrive(const char* commandLine);

// The CD-ROM locations that the companions are started from: the drive
// letter put in place of X in "X:\", "X:\directx\" and so on.  False when
// there is no drive or the text does not fit.
bool CdRomPath(char* buffer, size_t capacity, char drive, const char* relative);
