#pragma once

#include "common/win_types.h"

// The installer's main routine: one pass from start-up to the end of the
// process, which always ends with exit code 0.  Never returns.
[[noreturn]] void RunInstaller(HINSTANCE instance, const char* commandTail);
