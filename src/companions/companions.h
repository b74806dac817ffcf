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
