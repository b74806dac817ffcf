#include "common/log_file.h"

#include <windows.h>

#include "common/log_text.h"

namespace {

// Open for the whole run, closed by the platform when the process ends.
HANDLE logFile = INVALID_HANDLE_VALUE;
char line[LOG_LINE_SIZE];

}  // namespace

void OpenLog(const char* path) {
  if (path[0] == '\0') return;
  // Others may read it while the run goes on; no C runtime, so no buffering:
  // each line reaches the file when it is written.
  logFile = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool Logging() { return logFile != INVALID_HANDLE_VALUE; }

void LogFields(const char* const* fields, size_t count) {
  if (logFile == INVALID_HANDLE_VALUE) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const LogTime time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
  DWORD length = static_cast<DWORD>(ComposeLogLine(line, sizeof line, time, fields, count));
  // Appended, even when another run writes to the same file meanwhile.
  SetFilePointer(logFile, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(logFile, line, length, &written, nullptr);
}

void LogNumber(const char* what, const char* name, uint32_t number, const char* unit) {
  char digits[DECIMAL_SIZE];
  Log(what, name, DecimalText(digits, number), unit);
}
