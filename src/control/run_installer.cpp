#include "control/run_installer.h"

#include "control/start_up.h"

void RunInstaller(HINSTANCE instance, const char* commandTail) {
  StartInstaller(instance, commandTail);
  ExitProcess(0);
}
