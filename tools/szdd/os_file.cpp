#include "os_file.h"

#ifdef _WIN32

#include <windows.h>

#include <cstdio>

namespace {

std::string LastError() {
  const DWORD code = GetLastError();
  char text[256];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == '.')) --n;
  if (n == 0) return "system error " + std::to_string(code);
  return std::string(text, n);
}

HANDLE H(OsFile file) { return reinterpret_cast<HANDLE>(file.handle); }

// Win32 transfers at most a DWORD at a time.
constexpr size_t MAX_TRANSFER = 1u << 30;

}  // namespace

bool OsOpenRead(const char* path, OsFile* file, std::string* error) {
  const HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *error = LastError();
    return false;
  }
  file->handle = reinterpret_cast<intptr_t>(h);
  return true;
}

bool OsCreateTempBeside(const std::string& finalPath, OsFile* file, std::string* tempPath,
                        std::string* error) {
  std::string folder = ".";
  const size_t cut = finalPath.find_last_of("\\/:");
  if (cut != std::string::npos) folder = finalPath.substr(0, cut + (finalPath[cut] == ':' ? 1 : 0));
  if (folder.empty()) folder = "\\";
  if (folder.back() != '\\' && folder.back() != '/' && folder.back() != ':') folder += '\\';
  // A name of its own, made by the very call that opens it: a name handed
  // out first and opened again later could meanwhile become a link that
  // someone put in its place in a shared folder.  CREATE_NEW never opens
  // what is there; a name taken already is tried again with the next one.
  static DWORD next = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    char name[24];
    std::snprintf(name, sizeof name, "szd%08lX.tmp", static_cast<unsigned long>(next++));
    const std::string path = folder + name;
    const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *tempPath = path;
      file->handle = reinterpret_cast<intptr_t>(h);
      return true;
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  *error = LastError();
  return false;
}

bool OsRead(OsFile file, uint8_t* buffer, size_t size, size_t* got, std::string* error) {
  DWORD n = 0;
  if (!ReadFile(H(file), buffer, static_cast<DWORD>(size < MAX_TRANSFER ? size : MAX_TRANSFER), &n,
                nullptr)) {
    *error = LastError();
    return false;
  }
  *got = n;
  return true;
}

bool OsWriteAll(OsFile file, const uint8_t* data, size_t size, std::string* error) {
  while (size > 0) {
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(size < MAX_TRANSFER ? size : MAX_TRANSFER);
    if (!WriteFile(H(file), data, ask, &n, nullptr) || n == 0) {
      *error = LastError();
      return false;
    }
    data += n;
    size -= n;
  }
  return true;
}

bool OsFileSize(OsFile file, uint64_t* size, std::string* error) {
  LARGE_INTEGER li;
  if (!GetFileSizeEx(H(file), &li)) {
    *error = LastError();
    return false;
  }
  *size = static_cast<uint64_t>(li.QuadPart);
  return true;
}

bool OsClose(OsFile* file, std::string* error) {
  if (file->handle == -1) return true;
  const BOOL ok = CloseHandle(H(*file));
  file->handle = -1;
  if (!ok) {
    *error = LastError();
    return false;
  }
  return true;
}

bool OsReplace(const std::string& from, const std::string& to, std::string* error) {
  if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    *error = LastError();
    return false;
  }
  return true;
}

void OsRemove(const std::string& path) { DeleteFileA(path.c_str()); }

#else  // POSIX

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string LastError() { return std::strerror(errno); }

int Fd(OsFile file) { return static_cast<int>(file.handle); }

}  // namespace

bool OsOpenRead(const char* path, OsFile* file, std::string* error) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = LastError();
    return false;
  }
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    close(fd);
    *error = std::strerror(EISDIR);
    return false;
  }
  file->handle = fd;
  return true;
}

bool OsCreateTempBeside(const std::string& finalPath, OsFile* file, std::string* tempPath,
                        std::string* error) {
  const size_t cut = finalPath.rfind('/');
  const std::string folder = cut == std::string::npos ? std::string() : finalPath.substr(0, cut + 1);
  const std::string name = cut == std::string::npos ? finalPath : finalPath.substr(cut + 1);
  std::string pattern = folder + "." + name + ".XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = mkstemp(buffer.data());
  if (fd < 0) {
    *error = LastError();
    return false;
  }
  // mkstemp makes the file private; the result should get the usual mode.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  *tempPath = buffer.data();
  file->handle = fd;
  return true;
}

bool OsRead(OsFile file, uint8_t* buffer, size_t size, size_t* got, std::string* error) {
  for (;;) {
    const ssize_t n = read(Fd(file), buffer, size);
    if (n >= 0) {
      *got = static_cast<size_t>(n);
      return true;
    }
    if (errno != EINTR) {
      *error = LastError();
      return false;
    }
  }
}

bool OsWriteAll(OsFile file, const uint8_t* data, size_t size, std::string* error) {
  while (size > 0) {
    const ssize_t n = write(Fd(file), data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = LastError();
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool OsFileSize(OsFile file, uint64_t* size, std::string* error) {
  struct stat st;
  if (fstat(Fd(file), &st) != 0) {
    *error = LastError();
    return false;
  }
  *size = static_cast<uint64_t>(st.st_size);
  return true;
}

bool OsClose(OsFile* file, std::string* error) {
  if (file->handle == -1) return true;
  const int rc = close(Fd(*file));
  file->handle = -1;
  if (rc != 0) {
    *error = LastError();
    return false;
  }
  return true;
}

bool OsReplace(const std::string& from, const std::string& to, std::string* error) {
  if (rename(from.c_str(), to.c_str()) != 0) {
    *error = LastError();
    return false;
  }
  return true;
}

void OsRemove(const std::string& path) { unlink(path.c_str()); }

#endif
