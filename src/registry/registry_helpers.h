// Every registry access of the installer: five helpers that each take one
// value path naming key and value together (see value_path.h).  The product
// helpers work below HKEY_CURRENT_USER\Software\Quavertone and append the
// caller's path to "Software\Quavertone" as it is (product paths begin with
// "\"); the root-given ones use the path unchanged below root.
// Every key a helper opens or creates is closed before it answers.  No helper
// shows a message; each answers yes or no.  Not reentrant: each keeps its
// full path in its own process-wide work buffer.
#pragma once

#include <cstdint>

#include <windows.h>

// Stores a value, creating the key and every missing level above it.  For
// REG_SZ the byte count is the text's length + 1, whatever size says, so
// exactly the text and its terminator are stored.
bool WriteProductValue(const char* path, const void* data, uint32_t size, uint32_t type);
bool WriteRegistryValue(const char* path, const void* data, uint32_t size, uint32_t type, HKEY root);

// Reads a value's raw bytes (its type is not looked at) into buffer of size
// bytes; a value larger than size fails.  With size 0 only the value's size
// is found out and no buffer is touched.  On success *dataSize (when not
// null) receives the bytes stored, or in a probe the bytes the value holds.
// A missing key is not created.
bool ReadProductValue(const char* path, void* buffer, uint32_t size, uint32_t* dataSize = nullptr);
bool ReadRegistryValue(const char* path, void* buffer, uint32_t size, HKEY root, uint32_t* dataSize = nullptr);

// Deletes a value; the key stays, even when it becomes empty.
bool DeleteProductValue(const char* path);

// Deletes the key keyPath below root with its values (a key that has
// subkeys stays on the NT family); a missing key counts as deleted.
bool DeleteRegistryKey(const char* keyPath, HKEY root);
