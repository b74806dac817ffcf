// The test programs' entry point: runs the registered cases (all, or those
// named on the command line) and prints the summary line.
#include <cstdio>
#include <cstring>

#include <windows.h>

#include "wine_test.h"

int main(int argc, char** argv) {
  int passed = 0, failed = 0;
  for (const WineTestCase& c : WineTestCases()) {
    if (argc > 1) {
      bool wanted = false;
      for (int i = 1; i < argc; ++i) wanted = wanted || std::strcmp(argv[i], c.name) == 0;
      if (!wanted) continue;
    }
    int before = WineTestFailedChecks;
    DWORD start = GetTickCount();
    std::printf("RUN  %s\n", c.name);
    std::fflush(stdout);
    try {
      c.function();
    } catch (const WineTestAbort&) {
      std::printf("  (case stopped at the failed requirement)\n");
    }
    bool good = WineTestFailedChecks == before;
    std::printf("%s %s (%lu ms)\n", good ? "PASS" : "FAIL", c.name, static_cast<unsigned long>(GetTickCount() - start));
    std::fflush(stdout);
    (good ? passed : failed)++;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  std::fflush(stdout);
  return failed == 0 && passed > 0 ? 0 : 1;
}
