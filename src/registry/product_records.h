// The product's registry records.  The installed state lives in the key that
// the product program also keeps its settings in,
// HKEY_CURRENT_USER\Software\Quavertone, so it is per user: another user
// sees no installation.
// Product paths are passed to the product helpers, which prefix
// PRODUCT_KEY_PATH.  Pure: no Windows header.
#pragma once

#include <cstdint>

// Value types as the platform numbers them (checked against the platform's
// own names where the helpers are built).
constexpr uint32_t RECORD_TYPE_SZ = 1;      // REG_SZ
constexpr uint32_t RECORD_TYPE_BINARY = 3;  // REG_BINARY

// Folder of the installed product, REG_SZ, as the user confirmed it.  Read
// into a folder buffer of 256 bytes.
#define PROGRAM_DIRECTORY_RECORD "\\ProgramDirectory"
constexpr uint32_t PROGRAM_DIRECTORY_TYPE = RECORD_TYPE_SZ;

// Version number of the installed product, REG_BINARY: an unsigned 32-bit
// number in 4 little-endian bytes (this release: E8 03 00 00).  Any type is
// read as its raw bytes, so a REG_DWORD written by another tool reads the
// same; a longer value does not fit the 4-byte read and means no
// installation.
#define PROGRAM_VERSION_RECORD "\\ProgramVersion"
constexpr uint32_t PROGRAM_VERSION_TYPE = RECORD_TYPE_BINARY;
constexpr uint32_t PROGRAM_VERSION_SIZE = 4;

// A setting of the product program that every installation removes.
#define MONITOR_DEVICE_RECORD "\\MonitorDevice"

// The system's program folder, read below HKEY_LOCAL_MACHINE with the
// root-given reader (key SOFTWARE\Microsoft\Windows\CurrentVersion, value
// ProgramFilesDir).
#define PROGRAM_FILES_DIR_RECORD "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir"
