// The name of the mutex a running installer holds, by platform.  Pure: no
// Windows header, so the rule is unit-tested.
#pragma once

#include <cstdint>

// One installer on the whole machine: from NT 5 on, sessions (a user's, an
// administrator's deployment running as SYSTEM, another user's on the same
// machine) each have their own namespace of names, and only a name in the
// global one is seen from all of them.  The 9x family and NT 4 have one
// namespace and refuse the prefix.
const char* InstallerMutexName(uint32_t platform, uint32_t majorVersion);
