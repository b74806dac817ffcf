// Starting a program that lies in a known folder.
#pragma once

// Starts folder\fileName with parameters (null for none), working folder =
// folder, shown normally, through the shell; the installer never waits for
// it.  The file is named by its full path, so that a program of the same
// name in the installer's current folder or on the search path can never be
// started instead.  Starts nothing when the folder is empty or the composed
// path does not fit.  Answers yes when the shell reports a start (a result
// above 32); the installer's callers do not look at it.
bool StartProgramInFolder(const char* fileName, const char* parameters, const char* folder);

// Starts folder\fileName the same way and waits until it has ended.  False,
// without waiting, when it could not be started or the shell handed it to a
// process that cannot be waited on.
bool RunProgramInFolderToEnd(const char* fileName, const char* parameters, const char* folder);
