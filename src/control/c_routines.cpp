// The few memory and text routines of the C library that the installer's
// code and the compiler call, for a program without a C runtime.  Built
// with -ffreestanding so that the compiler does not turn these loops back
// into calls of themselves.  Copies go a machine word at a time: the
// expander slides its window with memmove.
#include <cstddef>
#include <cstdint>

namespace {

typedef uintptr_t Word __attribute__((may_alias, aligned(1)));

}  // namespace

extern "C" {

void* memcpy(void* to, const void* from, size_t size) {
  unsigned char* d = static_cast<unsigned char*>(to);
  const unsigned char* s = static_cast<const unsigned char*>(from);
  for (; size >= sizeof(Word); size -= sizeof(Word), d += sizeof(Word), s += sizeof(Word))
    *reinterpret_cast<Word*>(d) = *reinterpret_cast<const Word*>(s);
  while (size-- != 0) *d++ = *s++;
  return to;
}

void* memmove(void* to, const void* from, size_t size) {
  unsigned char* d = static_cast<unsigned char*>(to);
  const unsigned char* s = static_cast<const unsigned char*>(from);
  if (d <= s || d >= s + size) return memcpy(to, from, size);
  // Overlapping with the target above: from the end down.
  for (d += size, s += size; size >= sizeof(Word); size -= sizeof(Word)) {
    d -= sizeof(Word);
    s -= sizeof(Word);
    *reinterpret_cast<Word*>(d) = *reinterpret_cast<const Word*>(s);
  }
  while (size-- != 0) *--d = *--s;
  return to;
}

void* memset(void* to, int value, size_t size) {
  unsigned char* d = static_cast<unsigned char*>(to);
  while (size-- != 0) *d++ = static_cast<unsigned char>(value);
  return to;
}

int memcmp(const void* a, const void* b, size_t size) {
  const unsigned char* x = static_cast<const unsigned char*>(a);
  const unsigned char* y = static_cast<const unsigned char*>(b);
  for (; size != 0; --size, ++x, ++y)
    if (*x != *y) return *x < *y ? -1 : 1;
  return 0;
}

void* memchr(const void* text, int value, size_t size) {
  const unsigned char* p = static_cast<const unsigned char*>(text);
  for (; size != 0; --size, ++p)
    if (*p == static_cast<unsigned char>(value)) return const_cast<unsigned char*>(p);
  return nullptr;
}

size_t strlen(const char* text) {
  const char* end = text;
  while (*end != '\0') ++end;
  return static_cast<size_t>(end - text);
}

int strncmp(const char* a, const char* b, size_t size) {
  for (; size != 0; --size, ++a, ++b) {
    if (*a != *b) return static_cast<unsigned char>(*a) < static_cast<unsigned char>(*b) ? -1 : 1;
    if (*a == '\0') return 0;
  }
  return 0;
}

char* strrchr(const char* text, int value) {
  const char* last = nullptr;
  do {
    if (*text == static_cast<char>(value)) last = text;
  } while (*text++ != '\0');
  return const_cast<char*>(last);
}

}  // extern "C"
