// The run's log: "/LOG=" names a file, and every step the run takes is
// appended to it as it happens, so a run that is killed leaves its log up
// to that moment.  A log that cannot be opened or written changes nothing
// of the installation.
#pragma once

#include <cstddef>
#include <cstdint>

// Opens path (relative to the folder the installer was started in) for
// appending; an empty path or one that cannot be opened means no log.
void OpenLog(const char* path);

// Whether there is a log: what only the log needs to know (a file's size)
// is not asked for otherwise.
bool Logging();

// Appends one line of the fields given, in order (log_text.h); nothing when
// there is no log.
void LogFields(const char* const* fields, size_t count);

template <typename... Fields>
void Log(Fields... fields) {
  const char* const all[] = {fields...};
  LogFields(all, sizeof...(fields));
}

// Appends "what name number unit" (a size in bytes, a result, a code).
void LogNumber(const char* what, const char* name, uint32_t number, const char* unit = nullptr);
