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

// The exit codes of an unattended run ("/S"), those that software
// distribution tools read from the platform's own installer service (they
// try 1618 again by themselves).  A run with a person at the screen ends
// with 0 on every path.
constexpr uint32_t EXIT_INSTALLED = 0;
constexpr uint32_t EXIT_FAILED = 1603;            // a file could not be created or written: undone
constexpr uint32_t EXIT_ANOTHER_SETUP = 1618;     // another setup.exe is running
constexpr uint32_t EXIT_RELEASE_IN_THE_WAY = 1638;  // a newer release, or one to uninstall first
constexpr uint32_t EXIT_BAD_COMMAND_LINE = 1639;  // "/D=" names no valid or allowed destination
constexpr uint32_t EXIT_PRODUCT_RUNNING = 32;     // the product's window is open

struct InstallerState {
  HINSTANCE instance;      // the installer's own module, for its resources
  uint32_t platform;       // PLATFORM_WIN9X or PLATFORM_NT
  bool autorun;            // "/autorun" somewhere in the command tail
  bool silent;             // "/S": no window at all, the exit code says what happened
  bool folderGiven;        // "/D=" ends the command tail
  char givenFolder[FOLDER_BUFFER_SIZE];  // its folder; empty when it cannot be one
  bool installed;          // an earlier installation was found
  uint32_t previousVersion;
  char previousFolder[FOLDER_BUFFER_SIZE];
  char destination[FOLDER_BUFFER_SIZE];
};

inline InstallerState Installer;
