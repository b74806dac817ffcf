#include "registry/registry_helpers.h"

#include <windows.h>

#include <cstring>

#include "common/unique_any.h"
#include "registry/product_records.h"
#include "registry/value_path.h"

static_assert(RECORD_TYPE_SZ == REG_SZ && RECORD_TYPE_BINARY == REG_BINARY, "record types are the platform's");

namespace {

// Each helper holds its key in a KeyOwner for the length of its call, so no
// path through a helper can leave a key open.  The owner takes a key only
// after the platform reported success: a failed open leaves nothing to close.

// Opens the key, creating it and every missing level above it.
bool CreateKey(KeyOwner& owner, HKEY root, const char* keyPath) {
  HKEY key = nullptr;
  DWORD disposition = 0;  // created or opened: of no interest
  // The class is an empty text rather than null: the oldest platforms expect
  // a text there.
  char noClass[] = "";
  if (RegCreateKeyExA(root, keyPath, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                      &disposition) != ERROR_SUCCESS)
    return false;
  owner.reset(key);
  return true;
}

// Opens an existing key; a missing one is not created.
bool OpenKey(KeyOwner& owner, HKEY root, const char* keyPath, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, keyPath, 0, access, &key) != ERROR_SUCCESS) return false;
  owner.reset(key);
  return true;
}

// Each helper has its own work buffer, so one helper's call never disturbs
// the path another helper composed.
char writeProductWork[VALUE_PATH_BUFFER_SIZE];
char readProductWork[VALUE_PATH_BUFFER_SIZE];
char deleteProductWork[VALUE_PATH_BUFFER_SIZE];
char writeRegistryWork[VALUE_PATH_BUFFER_SIZE];
char readRegistryWork[VALUE_PATH_BUFFER_SIZE];

bool WriteValue(char* work, const char* prefix, const char* path, const void* data, uint32_t size, uint32_t type,
                HKEY root) {
  const char* valueName = nullptr;
  if (!SplitValuePath(work, VALUE_PATH_BUFFER_SIZE, prefix, path, &valueName)) return false;
  KeyOwner key;
  if (!CreateKey(key, root, work)) return false;
  // Strings are stored with exactly their terminator: callers pass the size
  // of their buffer, not of the text in it.
  DWORD count = type == REG_SZ ? static_cast<DWORD>(std::strlen(static_cast<const char*>(data)) + 1) : size;
  return RegSetValueExA(key.get(), valueName, 0, type, static_cast<const BYTE*>(data), count) == ERROR_SUCCESS;
}

bool ReadValue(char* work, const char* prefix, const char* path, void* buffer, uint32_t size, HKEY root,
               uint32_t* dataSize) {
  const char* valueName = nullptr;
  if (!SplitValuePath(work, VALUE_PATH_BUFFER_SIZE, prefix, path, &valueName)) return false;
  KeyOwner key;
  if (!OpenKey(key, root, work, KEY_QUERY_VALUE)) return false;
  // The type is not examined: every value is read as its raw bytes.
  DWORD type = 0;
  DWORD received = 0;
  LONG result;
  if (size == 0) {
    // Without a data pointer the platform only reports the value's size.
    received = 0xFFFFFFFF;
    result = RegQueryValueExA(key.get(), valueName, nullptr, &type, nullptr, &received);
  } else {
    received = size;
    result = RegQueryValueExA(key.get(), valueName, nullptr, &type, static_cast<BYTE*>(buffer), &received);
  }
  if (result != ERROR_SUCCESS) return false;
  if (dataSize != nullptr) *dataSize = received;
  return true;
}

}  // namespace

bool WriteProductValue(const char* path, const void* data, uint32_t size, uint32_t type) {
  return WriteValue(writeProductWork, PRODUCT_KEY_PATH, path, data, size, type, HKEY_CURRENT_USER);
}

bool WriteRegistryValue(const char* path, const void* data, uint32_t size, uint32_t type, HKEY root) {
  return WriteValue(writeRegistryWork, nullptr, path, data, size, type, root);
}

bool ReadProductValue(const char* path, void* buffer, uint32_t size, uint32_t* dataSize) {
  return ReadValue(readProductWork, PRODUCT_KEY_PATH, path, buffer, size, HKEY_CURRENT_USER, dataSize);
}

bool ReadRegistryValue(const char* path, void* buffer, uint32_t size, HKEY root, uint32_t* dataSize) {
  return ReadValue(readRegistryWork, nullptr, path, buffer, size, root, dataSize);
}

bool DeleteProductValue(const char* path) {
  const char* valueName = nullptr;
  if (!SplitValuePath(deleteProductWork, VALUE_PATH_BUFFER_SIZE, PRODUCT_KEY_PATH, path, &valueName)) return false;
  KeyOwner key;
  if (!OpenKey(key, HKEY_CURRENT_USER, deleteProductWork, KEY_ALL_ACCESS)) return false;
  return RegDeleteValueA(key.get(), valueName) == ERROR_SUCCESS;
}

bool DeleteRegistryKey(const char* keyPath, HKEY root) {
  LONG result = RegDeleteKeyA(root, keyPath);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
