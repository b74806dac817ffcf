// A function of a loaded module looked up by name or ordinal, for what
// only some platforms have.
#pragma once

#include <windows.h>

// Null when the module lacks it (an older platform, an odd copy of a
// library).  Through a plain function type: the casts between unrelated
// function types would otherwise be reported.
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
