// Process entry.  setup.exe carries no C runtime (the first releases of
// Windows 95 have no msvcrt.dll): the platform starts it here, and the
// installer asks the platform only for its instance and the command-line
// tail, which our own rule takes (its quotes and double-byte names read the
// same on every platform).
#include <windows.h>

#include "control/command_tail.h"
#include "control/run_installer.h"

// The 9x and NT loaders promise the entry point only a 4-byte aligned stack.
extern "C" __attribute__((force_align_arg_pointer)) void __cdecl SetupEntry() {
  RunInstaller(GetModuleHandleA(nullptr), CommandTail(GetCommandLineA(), PlatformLeadByte));
}
