#include "control/command_tail.h"

#include <cstring>

namespace {

// Whether a switch that begins at at stands at the start of a word: the
// tail's start or a blank before it (no trail byte is a blank).
bool BeginsWord(const char* tail, const char* at) { return at == tail || static_cast<unsigned char>(at[-1]) <= ' '; }

bool EndsWord(const char* at) { return static_cast<unsigned char>(*at) <= ' '; }

// The next place at or after from where text begins with switchText.
const char* FindSwitch(const char* from, const char* switchText) {
  size_t length = std::strlen(switchText);
  for (; *from != '\0'; ++from)
    if (std::strncmp(from, switchText, length) == 0) return from;
  return nullptr;
}

}  // namespace

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

void ReadCommandSwitches(const char* tail, CommandSwitches* switches) {
  std::memset(switches, 0, sizeof *switches);
  // No byte of a switch can be the trail byte of a double-byte character.
  const char* folder = tail;
  while ((folder = FindSwitch(folder, "/D=")) != nullptr && !BeginsWord(tail, folder)) ++folder;
  const char* end = folder != nullptr ? folder : tail + std::strlen(tail);
  switches->autorun = FindSubstringNoCaseBefore(tail, end, "/autorun");
  for (const char* at = tail; (at = FindSwitch(at, "/S")) != nullptr && at < end; ++at)
    if (BeginsWord(tail, at) && EndsWord(at + 2)) switches->silent = true;
  if (folder == nullptr) return;
  switches->folderGiven = true;
  folder += 3;
  size_t length = std::strlen(folder);
  while (length > 0 && static_cast<unsigned char>(folder[length - 1]) <= ' ') --length;
  if (length < sizeof switches->folder) {
    std::memcpy(switches->folder, folder, length);
    switches->folder[length] = '\0';
  }
}
