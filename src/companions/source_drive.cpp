#include "companions/source_drive.h"

#include "common/text.h"

char SourceDrive(const char* commandLine, LeadBytePredicate isLeadByte) {
  // Only the program's own path: the tail may name other drives ("/D=",
  // "/LOG="), and a program must never be started from one of those.
  const char* tail = CommandTail(commandLine, isLeadByte);
  for (const char* p = commandLine; p < tail; ++p) {
    if (*p == ':') return p == commandLine ? '\0' : p[-1];
  }
  return '\0';
}

bool CdRomPath(char* buffer, size_t capacity, char drive, const char* relative) {
  if (drive == '\0' || capacity < 4) return false;
  buffer[0] = drive;
  buffer[1] = ':';
  buffer[2] = '\\';
  buffer[3] = '\0';
  return AppendText(buffer, capacity, relative);
}
