#include "common/log_text.h"

namespace {

// Appends the last digits digits of number, with leading zeros.
char* PutDigits(char* at, uint32_t number, int digits) {
  for (int i = digits - 1; i >= 0; --i, number /= 10) at[i] = static_cast<char>('0' + number % 10);
  return at + digits;
}

}  // namespace

size_t ComposeLogLine(char* line, size_t capacity, const LogTime& time, const char* const* fields, size_t count) {
  char* at = line;
  const struct {
    uint32_t value;
    int digits;
    char after;
  } stamp[] = {{time.year, 4, '-'},   {time.month, 2, '-'},  {time.day, 2, ' '},           {time.hour, 2, ':'},
               {time.minute, 2, ':'}, {time.second, 2, '.'}, {time.milliseconds, 3, ' '}};
  for (const auto& part : stamp) {
    at = PutDigits(at, part.value, part.digits);
    *at++ = part.after;
  }
  // Room is kept for the line break.
  char* last = line + capacity - 2;
  for (size_t i = 0, put = 0; i < count; ++i) {
    if (fields[i] == nullptr) continue;
    if (put++ > 0 && at < last) *at++ = ' ';
    for (const char* p = fields[i]; *p != '\0' && at < last; ++p)
      *at++ = static_cast<unsigned char>(*p) < ' ' ? ' ' : *p;
  }
  *at++ = '\r';
  *at++ = '\n';
  return static_cast<size_t>(at - line);
}

const char* DecimalText(char (&buffer)[DECIMAL_SIZE], uint32_t number) {
  char* at = buffer + DECIMAL_SIZE - 1;
  *at = '\0';
  do {
    *--at = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  return at;
}
