// Checks for the test programs that run the installer's own code under Wine: a failed CHECK
// prints its line and what was seen; main ends with `return Verdict();`.  Also used by scenario.cpp.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

inline int failedChecks = 0;

#define CHECK(condition, ...)                                                                       \
  ((condition) || (++failedChecks, std::printf("%s:%d: ", __FILE__, __LINE__), std::printf(__VA_ARGS__), \
                   std::printf("\n"), std::fflush(stdout), false))

inline int Verdict() {
  std::printf("%s\n", failedChecks == 0 ? "passed" : "FAILED");
  return failedChecks == 0 ? 0 : 1;
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush().good();
}
