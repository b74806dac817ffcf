#include "control/command_tail.h"

#include <cstring>

namespace {

// Whether a switch that begins at at stands at the start of a word: the
// tail's start or a blank before it (no trail byte is a blank).
bool BeginsWord(const char* tail, const char* at) { return at == tail || static_cast<unsigned char>(at[-1]) <= ' '; }

bool EndsWord(const char* at) { return static_cast<unsigned char>(*at) <= ' '; }

// The next place at or after from, before end, where a word begins with
// switchText (ASCII letters in either case when anyCase).
const char* FindSwitch(const char* tail, const char* from, const char* end, const char* switchText, bool anyCase) {
  size_t length = std::strlen(switchText);
  for (; from < end && *from != '\0'; ++from) {
    size_t i = 0;
    while (i < length && (anyCase ? FoldAsciiLetter(static_cast<unsigned char>(from[i])) == switchText[i]
                                  : from[i] == switchText[i]))
      ++i;
    if (i == length && BeginsWord(tail, from)) return from;
  }
  return nullptr;
}

// Copies length bytes of text, one pair of enclosing double quotes taken
// off, into buffer; empty when it does not fit.
void CopyUnquoted(char* buffer, size_t capacity, const char* text, size_t length) {
  if (length >= 2 && text[0] == '"' && text[length - 1] == '"') ++text, length -= 2;
  buffer[0] = '\0';
  if (length >= capacity) return;
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

}  // namespace

void ReadCommandSwitches(const char* tail, CommandSwitches* switches) {
  std::memset(switches, 0, sizeof *switches);
  // No byte of a switch, a blank or a double quote can be the trail byte of
  // a double-byte character.
  const char* all = tail + std::strlen(tail);
  const char* folder = FindSwitch(tail, tail, all, "/D=", false);
  const char* end = folder != nullptr ? folder : all;
  switches->autorun = FindSubstringNoCaseBefore(tail, end, "/autorun");
  for (const char* at = tail; (at = FindSwitch(tail, at, end, "/S", true)) != nullptr; ++at)
    if (EndsWord(at + 2)) switches->silent = true;
  const char* log = FindSwitch(tail, tail, end, "/LOG=", true);
  if (log != nullptr) {
    log += 5;
    const char* stop = log;
    if (*log == '"') {
      while (++stop < end && *stop != '"') {
      }
      if (stop < end) ++stop;
    } else {
      while (stop < end && !EndsWord(stop)) ++stop;
    }
    CopyUnquoted(switches->log, sizeof switches->log, log, static_cast<size_t>(stop - log));
  }
  if (folder == nullptr) return;
  switches->folderGiven = true;
  folder += 3;
  size_t length = std::strlen(folder);
  while (length > 0 && static_cast<unsigned char>(folder[length - 1]) <= ' ') --length;
  CopyUnquoted(switches->folder, sizeof switches->folder, folder, length);
}
