// The process-wide record of one run of the installer, and the names and
// numbers that every subsystem shares.
#pragma once

#include <cstdint>

#include "common/win_types.h"

// Release 10.0 of the product.
constexpr uint32_t PRODUCT_VERSION = 1000;
#define PRODUCT_RELEASE "10.0"
#define PRODUCT_VERSION_TEXT "VERSION " PRODUCT_RELEASE
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

// The platform's path limit: a full file name of at most 259 characters.
// No name the installation writes in the destination is longer than the
// program's (the unit tests hold the file table to it), so a destination
// of at most 244 characters, a final "\" aside, takes every file.
constexpr unsigned PATH_LIMIT = 259;
constexpr unsigned LONGEST_FILE_NAME = sizeof PRODUCT_PROGRAM - 1;
constexpr unsigned MAX_DESTINATION_LENGTH = PATH_LIMIT - 1 - LONGEST_FILE_NAME;

// The exit codes of an unattended run ("/S"), those that software
// distribution tools read from the platform's own installer service (they
// try 1618 again by themselves).  A run with a person at the screen ends
// with 0 on every path.
constexpr uint32_t EXIT_INSTALLED = 0;
constexpr uint32_t EXIT_FAILED = 1603;            // undone, or a record, the entry or a shortcut is missing
constexpr uint32_t EXIT_ANOTHER_SETUP = 1618;     // another setup.exe is running
constexpr uint32_t EXIT_RELEASE_IN_THE_WAY = 1638;  // a newer release, or one to uninstall first
constexpr uint32_t EXIT_BAD_COMMAND_LINE = 1639;  // "/D=" names no valid or allowed destination
constexpr uint32_t EXIT_IN_USE = 32;              // the product's window is open, or a file is held: undone
constexpr uint32_t EXIT_DISK_FULL = 112;          // the disk filled up: undone

struct InstallerState {
  HINSTANCE instance;      // the installer's own module, for its resources
  uint32_t platform;       // PLATFORM_WIN9X or PLATFORM_NT
  uint32_t release;        // the platform's major version times 100 plus its minor one: 601 for 6.1
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
