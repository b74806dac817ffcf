// The lines of the run's log ("/LOG="): plain text a person reads after a
// failed unattended run, one line per step.  Pure: no Windows header, so
// the rules are unit-tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

// A line, time stamp and line break included, never takes more.
constexpr size_t LOG_LINE_SIZE = 640;

struct LogTime {
  uint16_t year, month, day, hour, minute, second, milliseconds;
};

// "2026-12-08 12:01:21.345 " then the fields that are not null, one blank
// between two, then "\r\n".  A control character in a field (a line break
// typed into a command line) becomes a blank, so one step stays one line;
// a line too long for capacity is cut, its line break kept.  Answers its
// length.  capacity is at least 32.
size_t ComposeLogLine(char* line, size_t capacity, const LogTime& time, const char* const* fields, size_t count);

// The decimal digits of number in buffer, which answers them.
constexpr size_t DECIMAL_SIZE = 11;
const char* DecimalText(char (&buffer)[DECIMAL_SIZE], uint32_t number);
