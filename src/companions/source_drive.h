// Where the product CD-ROM is: the drive letter of the installer's own
// command line.  Pure, so the rule is tested natively.
#pragma once

#include <cstddef>

#include "common/text.h"

// The character just before the first ':' of the program's own path, the
// part of the command line before its tail ("E" for "E:\SETUP.EXE" or
// "\"E:\SETUP.EXE\" /D=C:\Q"); '\0' when that part has no ':' or the ':' is
// its first character.
char SourceDrive(const char* commandLine, LeadBytePredicate isLeadByte);

// The CD-ROM locations that the companions are started from: the drive
// letter put in place of X in "X:\", "X:\directx\" and so on.  False when
// there is no drive or the text does not fit.
bool CdRomPath(char* buffer, size_t capacity, char drive, const char* relative);
