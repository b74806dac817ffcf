#pragma once

#include "common/win_types.h"

// Refuses to run twice, prepares the common controls, checks the platform
// and reads "/autorun"; fills the start-up fields of Installer.  Returns when
// the run is to go on, otherwise ends the process.
void StartInstaller(HINSTANCE instance, const char* commandTail);
