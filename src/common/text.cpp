#include "common/text.h"

#include <cstring>

namespace {

// Only a..z fold; the installer's texts are ANSI and a locale-aware fold
// would change bytes of double-byte characters.
unsigned char FoldAsciiLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

bool FindSubstringNoCase(const char* text, const char* pattern) {
  for (const char* start = text;; ++start) {
    const char* t = start;
    const char* p = pattern;
    while (*p != '\0' &&
           FoldAsciiLetter(static_cast<unsigned char>(*t)) ==
               FoldAsciiLetter(static_cast<unsigned char>(*p))) {
      ++t;
      ++p;
    }
    if (*p == '\0') return true;
    if (*start == '\0') return false;
  }
}

bool EndsWithBackslash(const char* text) {
  size_t length = std::strlen(text);
  return length > 0 && text[length - 1] == '\\';
}

bool CopyText(char* buffer, size_t capacity, const char* source) {
  size_t length = std::strlen(source);
  if (capacity == 0) return false;
  if (length >= capacity) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, source, length + 1);
  return true;
}

bool AppendText(char* buffer, size_t capacity, const char* source) {
  size_t used = std::strlen(buffer);
  size_t length = std::strlen(source);
  if (used + length >= capacity) return false;
  std::memcpy(buffer + used, source, length + 1);
  return true;
}

bool AppendPathName(char* buffer, size_t capacity, const char* name) {
  size_t used = std::strlen(buffer);
  size_t separator = EndsWithBackslash(buffer) ? 0 : 1;
  size_t length = std::strlen(name);
  if (used + separator + length >= capacity) return false;
  if (separator) buffer[used++] = '\\';
  std::memcpy(buffer + used, name, length + 1);
  return true;
}

bool JoinPath(char* buffer, size_t capacity, const char* folder, const char* name) {
  if (!CopyText(buffer, capacity, folder)) return false;
  if (!AppendPathName(buffer, capacity, name)) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}
