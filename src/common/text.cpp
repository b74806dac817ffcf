#include "common/text.h"

#include <cstring>

unsigned char FoldAsciiLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool FindSubstringNoCase(const char* text, const char* pattern) {
  return FindSubstringNoCaseBefore(text, text + std::strlen(text), pattern);
}

bool FindSubstringNoCaseBefore(const char* text, const char* end, const char* pattern) {
  for (const char* start = text;; ++start) {
    const char* t = start;
    const char* p = pattern;
    while (*p != '\0' && t < end &&
           FoldAsciiLetter(static_cast<unsigned char>(*t)) ==
               FoldAsciiLetter(static_cast<unsigned char>(*p))) {
      ++t;
      ++p;
    }
    if (*p == '\0') return true;
    if (start >= end) return false;
  }
}

size_t CharacterLength(const char* text, LeadBytePredicate isLeadByte) {
  return isLeadByte != nullptr && isLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

bool EndsWithBackslash(const char* text, LeadBytePredicate isLeadByte) {
  const char* last = nullptr;
  for (const char* p = text; *p != '\0'; p += CharacterLength(p, isLeadByte)) last = p;
  return last != nullptr && last[0] == '\\' && CharacterLength(last, isLeadByte) == 1;
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

bool AppendPathName(char* buffer, size_t capacity, const char* name, LeadBytePredicate isLeadByte) {
  size_t used = std::strlen(buffer);
  size_t separator = EndsWithBackslash(buffer, isLeadByte) ? 0 : 1;
  size_t length = std::strlen(name);
  if (used + separator + length >= capacity) return false;
  if (separator) buffer[used++] = '\\';
  std::memcpy(buffer + used, name, length + 1);
  return true;
}

bool JoinPath(char* buffer, size_t capacity, const char* folder, const char* name, LeadBytePredicate isLeadByte) {
  if (!CopyText(buffer, capacity, folder)) return false;
  if (!AppendPathName(buffer, capacity, name, isLeadByte)) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

const char* CommandTail(const char* commandLine, LeadBytePredicate isLeadByte) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') {
      // A trail byte must not be taken for the closing quote; a lead byte
      // just before the terminator has no trail byte to take.
      p += CharacterLength(reinterpret_cast<const char*>(p), isLeadByte);
    }
    if (*p == '"') ++p;
  } else {
    while (*p > ' ') ++p;
  }
  while (*p != '\0' && *p <= ' ') ++p;
  return reinterpret_cast<const char*>(p);
}
