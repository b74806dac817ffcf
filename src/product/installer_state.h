// The process-wide record of one run of the installer, and the names and
// numbers that every subsystem shares.
#pragma once

#include <cstdint>

#include "common/win_types.h"

// Release 10.0 of the product.
constexpr uint32_t PRODUCT_VERSION = 1000;
#define PRODUCT_VERSION_TEXT "VERSION 10.0"
// Installed releases up to this one have their own uninstaller, which must
// run before this release is installed over them.
constexpr uint32_t LEGACY_VERSION_LIMIT = 301;

#define PRODUCT_NAME "Quavertone"
#define PRODUCT_WINDOW_CLASS "Quavertone"
#define PRODUCT_PROGRAM "Quavertone.exe"
#define SOUND_PACK_PROGRAM "tonekit.exe"
#define INSTALLER_WINDOW_CLASS "Install Quavertone"
// The named mutex a running installer holds.
#define INSTALLER_MUTEX_NAME "Quavertone Setup Running"

// Platform identifiers reported by GetVersionExA.
constexpr uint32_t PLATFORM_WIN32S = 0;
constexpr uint32_t PLATFORM_WIN9X = 1;
constexpr uint32_t PLATFORM_NT = 2;

// Folders are held in 256-byte buffers: at most 255 characters.
constexpr unsigned FOLDER_BUFFER_SIZE = 256;

struct InstallerState {
  HINSTANCE instance;      // the installer's own module, for its resources
  uint32_t platform;       // PLATFORM_WIN9X or PLATFORM_NT
  bool autorun;            // "/autorun" somewhere in the command tail
  bool installed;          // an earlier installation was found
  uint32_t previousVersion;
  char previousFolder[FOLDER_BUFFER_SIZE];
  char destination[FOLDER_BUFFER_SIZE];
};

inline InstallerState Installer;
