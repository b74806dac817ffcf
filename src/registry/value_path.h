// The value-path rule shared by the five registry helpers: one text names key
// and value together, the text after its last backslash being the value name.
// Pure: builds natively for the unit tests.
#pragma once

#include <cstddef>

// Every helper composes its full path in a buffer of this size (at most 255
// characters and the terminator), like every other path of the installer.
constexpr size_t VALUE_PATH_BUFFER_SIZE = 256;

// The product's own key below HKEY_CURRENT_USER.  Product paths are appended
// with no separator in between, so callers begin them with "\".
#define PRODUCT_KEY_PATH "Software\\Quavertone"

// Composes prefix + path in work (capacity bytes) and splits it in place: the
// key path is then the text in work, *valueName points at the value name
// inside work.  A full path ending in "\" names the key's default value (the
// value name is empty).  prefix may be null (root-given helpers).
// Answers false, leaving work an empty text and *valueName pointing at it,
// when the full path does not fit or holds no backslash; path itself is
// never changed.
bool SplitValuePath(char* work, size_t capacity, const char* prefix, const char* path, const char** valueName);
