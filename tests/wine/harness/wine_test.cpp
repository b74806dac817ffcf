#include "wine_test.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include <windows.h>

namespace {

struct Case {
  const char* name;
  WineTestFunction function;
};

std::vector<Case>& Cases() {
  static std::vector<Case> cases;
  return cases;
}

int failedChecks = 0;

}  // namespace

WineTestRegistrar::WineTestRegistrar(const char* name, WineTestFunction function) {
  Cases().push_back({name, function});
}

bool ok_(bool condition, const char* file, int line, const char* format, ...) {
  if (condition) return true;
  ++failedChecks;
  const char* base = std::strrchr(file, '/');
  std::fprintf(stdout, "  %s:%d: ", base ? base + 1 : file, line);
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fputc('\n', stdout);
  std::fflush(stdout);
  return false;
}

void Trace(const char* format, ...) {
  std::fputs("    ", stdout);
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string Format(const char* format, ...) {
  char buffer[2048];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

int main(int argc, char** argv) {
  int passed = 0, failed = 0;
  for (const Case& c : Cases()) {
    if (argc > 1) {
      bool wanted = false;
      for (int i = 1; i < argc; ++i) wanted = wanted || std::strcmp(argv[i], c.name) == 0;
      if (!wanted) continue;
    }
    int before = failedChecks;
    DWORD start = GetTickCount();
    std::printf("RUN  %s\n", c.name);
    std::fflush(stdout);
    try {
      c.function();
    } catch (const WineTestAbort&) {
      std::printf("  (case stopped at the failed requirement)\n");
    }
    bool good = failedChecks == before;
    std::printf("%s %s (%lu ms)\n", good ? "PASS" : "FAIL", c.name, static_cast<unsigned long>(GetTickCount() - start));
    std::fflush(stdout);
    (good ? passed : failed)++;
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  std::fflush(stdout);
  return failed == 0 && passed > 0 ? 0 : 1;
}
