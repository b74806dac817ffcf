// The registry helpers against the real registry, their advapi32 calls going to the counting wrappers below
// (counted_registry.h), any one of which can refuse: each helper must close exactly the keys it opened, on
// every path, and never write outside the caller's buffer.
#include <algorithm>
#include <cstring>
#include <vector>

#include "check.h"
#include "registry/registry_helpers.h"

namespace {

std::string refused;  // "set", "query", "delete", "open", or "open-junk"
std::vector<HKEY> openKeys;
int opens = 0, strayCloses = 0;
DWORD lastSetSize = 0;  // what the last RegSetValueExA was told to store

// A handle the platform never gives out; a refused open that leaves it behind must not lead to its being closed.
HKEY const kJunkKey = reinterpret_cast<HKEY>(static_cast<INT_PTR>(0x7F13));

LONG Opened(LONG result, PHKEY key) {
  if (result == ERROR_SUCCESS) {
    ++opens;
    openKeys.push_back(*key);
  }
  return result;
}

LONG RefusedOpen(PHKEY key) {
  if (refused == "open-junk") *key = kJunkKey;
  return ERROR_ACCESS_DENIED;
}

}  // namespace

LONG WINAPI CountedCreateKey(HKEY root, LPCSTR path, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                      LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition) {
  if (refused.rfind("open", 0) == 0) return RefusedOpen(key);
  return Opened(RegCreateKeyExA(root, path, reserved, keyClass, options, access, security, key, disposition), key);
}

LONG WINAPI CountedOpenKey(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key) {
  if (refused.rfind("open", 0) == 0) return RefusedOpen(key);
  return Opened(RegOpenKeyExA(root, path, options, access, key), key);
}

LONG WINAPI CountedSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  lastSetSize = size;
  return refused == "set" ? ERROR_ACCESS_DENIED : RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI CountedQueryValue(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  return refused == "query" ? ERROR_ACCESS_DENIED : RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI CountedDeleteValue(HKEY key, LPCSTR name) {
  return refused == "delete" ? ERROR_ACCESS_DENIED : RegDeleteValueA(key, name);
}

LONG WINAPI CountedCloseKey(HKEY key) {
  for (size_t i = 0; i < openKeys.size(); ++i) {
    if (openKeys[i] == key) {
      openKeys.erase(openKeys.begin() + static_cast<std::ptrdiff_t>(i));
      return RegCloseKey(key);
    }
  }
  ++strayCloses;  // never opened, or closed twice
  return ERROR_INVALID_HANDLE;
}

namespace {

// One helper call with a 16-byte guard on each side of the caller's buffer.
struct Call {
  const char* helper;  // write, read, probe (read with size 0), delete, read-hklm
  std::string path;
  const char* refuse;
  bool answer;
  int opens;
};

const std::string kVersion("\xE8\x03\x00\x00", 4);

void RunCall(const Call& c) {
  refused = c.refuse;
  opens = strayCloses = 0;
  openKeys.clear();
  std::vector<unsigned char> area(16 + 4 + 16, 0xCC);
  unsigned char* buffer = area.data() + 16;
  std::string helper = c.helper;
  bool answer = false;
  if (helper == "write") answer = WriteProductValue(c.path.c_str(), "\x01\x00\x00\x00", 4, REG_BINARY);
  if (helper == "read") answer = ReadProductValue(c.path.c_str(), buffer, 4);
  if (helper == "probe") answer = ReadProductValue(c.path.c_str(), nullptr, 0);
  if (helper == "delete") answer = DeleteProductValue(c.path.c_str());
  if (helper == "read-hklm") answer = ReadRegistryValue(c.path.c_str(), buffer, 4, HKEY_LOCAL_MACHINE);
  std::string what = helper + " " + c.path.substr(0, 40) + (*c.refuse ? std::string(", refused ") + c.refuse : "");
  CHECK(answer == c.answer, "%s answers %d", what.c_str(), answer);
  CHECK(opens == c.opens && openKeys.empty() && strayCloses == 0, "%s: %d opened (expected %d), %zu left open, %d stray closes",
     what.c_str(), opens, c.opens, openKeys.size(), strayCloses);
  CHECK(std::count(area.begin(), area.begin() + 16, 0xCC) + std::count(area.end() - 16, area.end(), 0xCC) == 32,
        "%s wrote outside the caller's buffer", what.c_str());
  refused.clear();
}

}  // namespace

int main() {
  CHECK(WriteProductValue("\\ProgramVersion", kVersion.data(), 4, REG_BINARY), "ProgramVersion written");
  const std::string overlong = "\\" + std::string(300, 'v');
  const Call calls[] = {
      {"read", "\\ProgramVersion", "", true, 1},            {"probe", "\\ProgramVersion", "", true, 1},
      {"read", "\\Missing", "", false, 1},                  {"read", "\\No\\Such\\Key", "", false, 0},
      {"delete", "\\No\\Such\\Key", "", false, 0},          {"write", "\\A\\B\\Value", "", true, 1},
      {"delete", "\\A\\B\\Value", "", true, 1},             {"delete", "\\A\\B\\Value", "", false, 1},
      {"read-hklm", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir", "", false, 1},
      {"read-hklm", "ProgramFilesDir", "", false, 0},
      {"read", overlong, "", false, 0},                     {"write", overlong, "", false, 0},
      // Each call refused in turn; "open-junk" leaves a handle behind.
      {"write", "\\ProgramVersion", "set", false, 1},       {"read", "\\ProgramVersion", "query", false, 1},
      {"probe", "\\ProgramVersion", "query", false, 1},     {"delete", "\\ProgramVersion", "delete", false, 1},
      {"write", "\\X", "open", false, 0},                   {"read", "\\ProgramVersion", "open", false, 0},
      {"write", "\\X", "open-junk", false, 0},              {"read", "\\ProgramVersion", "open-junk", false, 0},
      {"probe", "\\ProgramVersion", "open-junk", false, 0}, {"delete", "\\ProgramVersion", "open-junk", false, 0},
  };
  for (const Call& c : calls) RunCall(c);
  // A text is stored with its terminator and no more, whatever size the caller gives (the platform would add a
  // missing terminator by itself, so only the count passed shows it).
  CHECK(WriteProductValue("\\Text", "abc", 256, REG_SZ) && lastSetSize == 4, "abc stored as %lu bytes", lastSetSize);
  // The refused calls changed nothing.
  unsigned char version[4] = {};
  CHECK(ReadProductValue("\\ProgramVersion", version, 4) && std::memcmp(version, kVersion.data(), 4) == 0,
        "ProgramVersion is unchanged");
  return Verdict();
}
