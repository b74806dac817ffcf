// Process entry: hand the instance and the command-line tail to the
// installer's main routine.
#include <windows.h>

#include "control/command_tail.h"
#include "control/run_installer.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The tail is taken from the platform's command line by our own rule
  // rather than from the C runtime, whose treatment of quotes and
  // double-byte names differs between runtimes.
  RunInstaller(instance, CommandTail(GetCommandLineA(), PlatformLeadByte));
}
