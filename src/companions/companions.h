// Programs and folders on the product CD-ROM, found through the drive letter
// of the installer's own command line.  Each answers 1 when the platform
// reports a successful start, 0 otherwise (no drive, or the start failed);
// callers go on either way.
#pragma once

int RunDirectXSetup();
int RunEncoderSetup(bool silent);
int OpenSoundFxFolder();
int ExploreCdRom();

// Yes when the installer's own drive is a CD-ROM drive as the platform
// reports it.
bool RunsFromCdRom();

// Starts file through the shell (verb, parameters and folder null for
// none) without its error boxes, without its zone check too in an
// unattended run, and logs the start and its result.
// Yes when the shell reports a start.
bool StartThroughShell(const char* verb, const char* file, const char* parameters, const char* folder, int show);
