#include "registry/value_path.h"

#include <cstring>

#include "common/text.h"

bool SplitValuePath(char* work, size_t capacity, const char* prefix, const char* path, const char** valueName) {
  *valueName = work;
  if (capacity == 0) return false;
  work[0] = '\0';
  if (prefix != nullptr && !CopyText(work, capacity, prefix)) return false;
  if (!AppendText(work, capacity, path)) {
    work[0] = '\0';
    return false;
  }
  size_t length = std::strlen(work);
  // An empty text or one without a separator names no key: a root-given
  // path must say which key below the root it means.
  char* separator = std::strrchr(work, '\\');
  if (separator == nullptr) {
    work[0] = '\0';
    return false;
  }
  if (separator == work + length - 1) {
    // "...\Key\" names the default value of Key; the value name is the
    // empty text where the backslash stood.
    *separator = '\0';
    *valueName = separator;
    return true;
  }
  *separator = '\0';
  *valueName = separator + 1;
  return true;
}
