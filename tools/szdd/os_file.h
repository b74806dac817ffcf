// The few file operations the szdd tool needs, over POSIX or Win32 calls.
// Every failure answers false and leaves a one-line reason in *error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct OsFile {
  intptr_t handle = -1;  // descriptor or HANDLE; -1 when not open
};

bool OsOpenRead(const char* path, OsFile* file, std::string* error);

// Creates a new, empty file with a unique name in the folder of finalPath,
// so that it can later replace finalPath by a rename on the same volume.
bool OsCreateTempBeside(const std::string& finalPath, OsFile* file, std::string* tempPath,
                        std::string* error);

// Reads up to size bytes; *got is 0 only at the end of the file.
bool OsRead(OsFile file, uint8_t* buffer, size_t size, size_t* got, std::string* error);
bool OsWriteAll(OsFile file, const uint8_t* data, size_t size, std::string* error);
bool OsFileSize(OsFile file, uint64_t* size, std::string* error);
bool OsClose(OsFile* file, std::string* error);

// Renames from to to, replacing any file named to.
bool OsReplace(const std::string& from, const std::string& to, std::string* error);
void OsRemove(const std::string& path);
