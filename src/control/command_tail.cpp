#include "control/command_tail.h"

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
