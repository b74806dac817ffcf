// The handful of Win32 types that the pure parts of the installer use in
// their signatures.  On Windows they come from the platform headers; on the
// host they are plain stand-ins of the same width, so that the pure code
// (tables, texts, rules) builds and is tested natively.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t INT_PTR;
#define CALLBACK
#endif
