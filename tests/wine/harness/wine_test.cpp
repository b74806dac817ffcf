#include "wine_test.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include <windows.h>

std::vector<WineTestCase>& WineTestCases() {
  static std::vector<WineTestCase> cases;
  return cases;
}

int WineTestFailedChecks = 0;

WineTestRegistrar::WineTestRegistrar(const char* name, WineTestFunction function) {
  WineTestCases().push_back({name, function});
}

bool ok_(bool condition, const char* file, int line, const char* format, ...) {
  if (condition) return true;
  ++WineTestFailedChecks;
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

