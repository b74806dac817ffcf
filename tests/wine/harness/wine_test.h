// A small test framework for the programs that run under Wine, in the manner
// of Wine's own conformance tests: each check is one ok(condition, "what was
// expected, what was seen") line, cases are registered with WINE_TEST, and
// the program prints "N passed, N failed" and exits non-zero on a failure.
//   test.exe            runs every case
//   test.exe NAME...    runs the named cases
#pragma once

#include <string>
#include <vector>

typedef void (*WineTestFunction)();

struct WineTestCase {
  const char* name;
  WineTestFunction function;
};
std::vector<WineTestCase>& WineTestCases();
extern int WineTestFailedChecks;

struct WineTestRegistrar {
  WineTestRegistrar(const char* name, WineTestFunction function);
};

#define WINE_TEST(name)                                                   \
  static void name();                                                     \
  static WineTestRegistrar name##_registrar(#name, name);                 \
  static void name()

// Records a failed check with its message (printf-style); answers condition.
bool ok_(bool condition, const char* file, int line, const char* format, ...)
    __attribute__((format(gnu_printf, 4, 5)));
#define ok(condition, ...) ok_((condition), __FILE__, __LINE__, __VA_ARGS__)

// Ends the current case at once after a failed check that later checks
// depend on.
#define require(condition, ...)                     \
  do {                                              \
    if (!ok_((condition), __FILE__, __LINE__, __VA_ARGS__)) throw WineTestAbort(); \
  } while (0)

struct WineTestAbort {};

// Printed with a failing check's message: what the test saw.
void Trace(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
