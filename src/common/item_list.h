// Shell item lists handed out by the shell (folder browser, special
// folders) belong to the shell's allocator and go back to it.
#pragma once

#include <windows.h>
#include <shlobj.h>

// Frees an item list with the shell's own allocator; null is ignored.
void FreeItemList(LPITEMIDLIST items);
