// The platform's code page, as the pure text rules are told it.
#include <windows.h>

#include "common/text.h"

bool PlatformLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != 0; }
