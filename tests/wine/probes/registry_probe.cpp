// Calls one registry helper of the installer against the real registry, with
// the six advapi32 calls wrapped so that every key opened or created and
// every key closed is counted.  The helper and its arguments come from the
// environment:
//   QV_PROBE       write-product | write-registry | read-product |
//                  read-registry | delete-product
//   QV_REG_PATH    the value path
//   QV_REG_SIZE    size argument (decimal)
//   QV_REG_TYPE    value type for writes (decimal)
//   QV_REG_DATA    data for writes, in hex
//   QV_REG_ROOT    HKLM or HKCU for the root-given helpers
//   QV_REG_FAIL    a call to fail on purpose: set, query, delete, open, or
//                  open-junk (the open fails but leaves a bogus handle in
//                  its output, which must never be closed)
// Report: answer=N size=N data=HEX guard=intact|changed opens=N closes=N
//         unclosed=N stray=N
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "probe.h"
#include "registry/registry_calls.h"
#include "registry/registry_helpers.h"

namespace {

RegistryCalls real;
std::string failing;
std::vector<HKEY> openKeys;
int opens = 0;
int closes = 0;
int strayCloses = 0;

// A key handle the platform would never give out.
HKEY const kJunkKey = reinterpret_cast<HKEY>(static_cast<INT_PTR>(0x7F13));

LONG FailedOpen(PHKEY key) {
  if (failing == "open-junk") *key = kJunkKey;
  return ERROR_ACCESS_DENIED;
}

void Opened(LONG result, HKEY key) {
  if (result != ERROR_SUCCESS) return;
  ++opens;
  openKeys.push_back(key);
}

LONG WINAPI CountingCreateKey(HKEY root, LPCSTR path, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                              LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition) {
  if (failing == "open" || failing == "open-junk") return FailedOpen(key);
  LONG result = real.createKey(root, path, reserved, keyClass, options, access, security, key, disposition);
  Opened(result, *key);
  return result;
}

LONG WINAPI CountingOpenKey(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key) {
  if (failing == "open" || failing == "open-junk") return FailedOpen(key);
  LONG result = real.openKey(root, path, options, access, key);
  Opened(result, *key);
  return result;
}

LONG WINAPI FailingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  if (failing == "set") return ERROR_ACCESS_DENIED;
  return real.setValue(key, name, reserved, type, data, size);
}

LONG WINAPI FailingQueryValue(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (failing == "query") return ERROR_ACCESS_DENIED;
  return real.queryValue(key, name, reserved, type, data, size);
}

LONG WINAPI FailingDeleteValue(HKEY key, LPCSTR name) {
  if (failing == "delete") return ERROR_ACCESS_DENIED;
  return real.deleteValue(key, name);
}

LONG WINAPI CountingCloseKey(HKEY key) {
  for (size_t i = 0; i < openKeys.size(); ++i) {
    if (openKeys[i] == key) {
      openKeys.erase(openKeys.begin() + static_cast<std::ptrdiff_t>(i));
      ++closes;
      return real.closeKey(key);
    }
  }
  // Closing what was never opened (or closing twice) is a fault of the
  // helper; the bogus handle is not passed on.
  ++strayCloses;
  return ERROR_INVALID_HANDLE;
}

std::vector<unsigned char> FromHex(const std::string& hex) {
  std::vector<unsigned char> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<unsigned char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
  return bytes;
}

std::string ToHex(const unsigned char* bytes, size_t count) {
  std::string hex;
  char pair[3];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
    hex += pair;
  }
  return hex;
}

// Bytes around the caller's area that no helper may touch.
constexpr size_t kGuard = 16;
constexpr unsigned char kGuardByte = 0xCC;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  real = Registry;
  Registry = {CountingCreateKey, CountingOpenKey, FailingSetValue, FailingQueryValue, FailingDeleteValue,
              CountingCloseKey};
  failing = ProbeSetting("QV_REG_FAIL");

  std::string op = ProbeSetting("QV_PROBE");
  std::string path = ProbeSetting("QV_REG_PATH");
  uint32_t size = static_cast<uint32_t>(std::strtoul(ProbeSetting("QV_REG_SIZE").c_str(), nullptr, 10));
  uint32_t type = static_cast<uint32_t>(std::strtoul(ProbeSetting("QV_REG_TYPE").c_str(), nullptr, 10));
  HKEY root = ProbeSetting("QV_REG_ROOT") == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;

  // The caller's area: size bytes, preset with 0xAB for reads, with guard
  // bytes before and after it.
  std::vector<unsigned char> area(kGuard + size + kGuard, kGuardByte);
  unsigned char* data = area.data() + kGuard;
  std::vector<unsigned char> written = FromHex(ProbeSetting("QV_REG_DATA"));
  written.push_back(0);  // a text's terminator, beyond the bytes given
  if (op.rfind("read", 0) == 0) std::fill(data, data + size, 0xAB);

  bool answer = false;
  uint32_t dataSize = 0xDEADBEEF;
  if (op == "write-product") {
    answer = WriteProductValue(path.c_str(), written.data(), size, type);
  } else if (op == "write-registry") {
    answer = WriteRegistryValue(path.c_str(), written.data(), size, type, root);
  } else if (op == "read-product") {
    answer = ReadProductValue(path.c_str(), data, size, &dataSize);
  } else if (op == "read-registry") {
    answer = ReadRegistryValue(path.c_str(), data, size, root, &dataSize);
  } else if (op == "delete-product") {
    answer = DeleteProductValue(path.c_str());
  } else {
    ProbeReport("unknown operation " + op);
    return 3;
  }

  bool guardIntact = true;
  for (size_t i = 0; i < kGuard; ++i)
    guardIntact = guardIntact && area[i] == kGuardByte && area[kGuard + size + i] == kGuardByte;
  char line[256];
  std::snprintf(line, sizeof line, "answer=%d size=%u guard=%s opens=%d closes=%d unclosed=%zu stray=%d data=",
                answer ? 1 : 0, static_cast<unsigned>(dataSize), guardIntact ? "intact" : "changed", opens, closes,
                openKeys.size(), strayCloses);
  ProbeReport(line + ToHex(data, size));
  return 0;
}
