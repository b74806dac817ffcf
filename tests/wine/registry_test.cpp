// The registry helpers against Wine's registry: which key and value a path
// addresses, what is stored, what reads and deletions answer, and that every
// key a helper opens is closed again on every path.  The helpers run inside
// registry_probe.exe, built from the installer's own code, which counts the
// keys opened and closed; this program prepares and inspects the registry
// through the platform's API.
#include <cstdio>
#include <string>

#include "harness/driver.h"
#include "harness/installation.h"
#include "harness/wine_test.h"

namespace {

const char* const kProductKey = "Software\\Quavertone";

struct HelperCall {
  std::string op;
  std::string path;
  unsigned size = 0;
  unsigned type = 0;
  std::string dataHex;
  std::string root;  // HKLM or HKCU for the root-given helpers
  std::string fail;  // a platform call the probe makes fail
};

struct HelperResult {
  bool ran = false;
  int answer = -1;
  unsigned size = 0;
  bool guardIntact = false;
  int opens = -1, closes = -1, unclosed = -1, stray = -1;
  std::string data;  // the caller's area after the call, in hex
  std::string report;
};

// Wine very rarely loses a new process during its start-up: CreateProcess
// then fails with ERROR_INTERNAL_ERROR (1359; seen once in several hundred
// starts, under load).  That is no behaviour of the installer, and nothing
// of the probe has run yet, so such a start is simply tried again.
Program StartProbeProgram(const std::string& path, const std::string& commandLine, const std::string& folder) {
  Program program;
  for (int attempt = 0; attempt < 3 && !program.started; ++attempt) program = StartProgram(path, commandLine, folder);
  return program;
}

HelperResult Run(const HelperCall& call) {
  std::string folder = FreshFolder("registry");
  std::string report = folder + "\\report.txt";
  SetEnvironmentVariableA("QV_PROBE", call.op.c_str());
  SetEnvironmentVariableA("QV_PROBE_REPORT", report.c_str());
  SetEnvironmentVariableA("QV_REG_PATH", call.path.c_str());
  SetEnvironmentVariableA("QV_REG_SIZE", std::to_string(call.size).c_str());
  SetEnvironmentVariableA("QV_REG_TYPE", std::to_string(call.type).c_str());
  SetEnvironmentVariableA("QV_REG_DATA", call.dataHex.c_str());
  SetEnvironmentVariableA("QV_REG_ROOT", call.root.c_str());
  SetEnvironmentVariableA("QV_REG_FAIL", call.fail.c_str());
  Program probe = StartProbeProgram(TestBin() + "\\registry_probe.exe", "registry_probe.exe", folder);
  long code = WaitForExit(probe);
  HelperResult result;
  result.report = ReadFileText(report);
  char data[1200] = "";
  char guard[16] = "";
  int fields = std::sscanf(result.report.c_str(),
                           "answer=%d size=%u guard=%15s opens=%d closes=%d unclosed=%d stray=%d data=%1199s",
                           &result.answer, &result.size, guard, &result.opens, &result.closes, &result.unclosed,
                           &result.stray, data);
  result.ran = code == 0 && fields >= 7;
  result.guardIntact = std::string(guard) == "intact";
  result.data = data;
  if (!result.ran) Trace("probe exit code %ld, report \"%s\"", code, result.report.c_str());
  return result;
}

// Every key opened was closed exactly once, and nothing else was closed.
void CheckBalanced(const HelperResult& r, int expectedOpens, const std::string& what) {
  ok(r.ran, "%s: the probe ran", what.c_str());
  ok(r.opens == expectedOpens, "%s: %d key(s) opened, counted %d", what.c_str(), expectedOpens, r.opens);
  ok(r.closes == r.opens && r.unclosed == 0, "%s: opened %d, closed %d, left open %d", what.c_str(), r.opens,
     r.closes, r.unclosed);
  ok(r.stray == 0, "%s: %d close(s) of a key that was not open", what.c_str(), r.stray);
  ok(r.guardIntact, "%s: bytes around the caller's buffer changed", what.c_str());
}

HelperCall WriteProduct(const std::string& path, const std::string& hex, unsigned size, unsigned type) {
  HelperCall c;
  c.op = "write-product";
  c.path = path;
  c.dataHex = hex;
  c.size = size;
  c.type = type;
  return c;
}

HelperCall ReadProduct(const std::string& path, unsigned size) {
  HelperCall c;
  c.op = "read-product";
  c.path = path;
  c.size = size;
  return c;
}

HelperCall DeleteProduct(const std::string& path) {
  HelperCall c;
  c.op = "delete-product";
  c.path = path;
  return c;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  char pair[3];
  for (unsigned char b : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", b);
    hex += pair;
  }
  return hex;
}

// The registry as the platform shows it.
struct Stored {
  bool keyExists = false;
  bool valueExists = false;
  DWORD type = 0;
  std::string bytes;
};

Stored Inspect(HKEY root, const std::string& key, const std::string& value) {
  Stored s;
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return s;
  s.keyExists = true;
  char buffer[1024];
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(handle, value.c_str(), nullptr, &s.type, reinterpret_cast<BYTE*>(buffer), &size) ==
      ERROR_SUCCESS) {
    s.valueExists = true;
    s.bytes.assign(buffer, size);
  }
  RegCloseKey(handle);
  return s;
}


// Each case starts from no product records at all.
void CleanProductKeys() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kProductKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kProductKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QuavertoneOptions");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuavertoneOptions");
  HKEY handle;
  bool gone = RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS;
  if (!gone) RegCloseKey(handle);
  require(gone, "the product key could not be removed before the case");
}

const std::string kVersion1000("\xE8\x03\x00\x00", 4);

}  // namespace

WINE_TEST(product_paths_address_the_product_key_without_a_separator_added) {
  CleanProductKeys();
  HelperResult r = Run(WriteProduct("\\ProgramDirectory", Hex("C:\\Quavertone"), 256, REG_SZ));
  ok(r.answer == 1, "write \\ProgramDirectory answers yes: %s", r.report.c_str());
  CheckBalanced(r, 1, "write \\ProgramDirectory");
  Stored s = Inspect(HKEY_CURRENT_USER, kProductKey, "ProgramDirectory");
  ok(s.valueExists && s.type == REG_SZ && s.bytes == std::string("C:\\Quavertone", 14),
     "value ProgramDirectory of HKCU\\Software\\Quavertone: type %lu, %zu bytes", s.type, s.bytes.size());

  r = Run(WriteProduct("\\Options\\", Hex("default"), 256, REG_SZ));
  ok(r.answer == 1, "write \\Options\\ answers yes");
  s = Inspect(HKEY_CURRENT_USER, "Software\\Quavertone\\Options", "");
  ok(s.valueExists && s.bytes == std::string("default", 8), "default value of Software\\Quavertone\\Options: %zu bytes",
     s.bytes.size());

  r = Run(WriteProduct("Options\\Mode", Hex("m"), 2, REG_SZ));
  ok(r.answer == 1, "write Options\\Mode answers yes");
  s = Inspect(HKEY_CURRENT_USER, "Software\\QuavertoneOptions", "Mode");
  ok(s.valueExists && s.bytes == std::string("m", 2), "value Mode of key Software\\QuavertoneOptions");
  ok(!Inspect(HKEY_CURRENT_USER, "Software\\Quavertone\\Options", "Mode").valueExists, "no Mode below ...\\Options");

  // Reading back through the same paths finds the same values.
  r = Run(ReadProduct("\\Options\\", 64));
  ok(r.answer == 1 && r.size == 8 && r.data.rfind(Hex(std::string("default", 8)), 0) == 0,
     "read \\Options\\: %s", r.report.c_str());
  CheckBalanced(r, 1, "read \\Options\\");
}

WINE_TEST(root_given_paths_address_the_key_below_the_root_given) {
  CleanProductKeys();
  HelperCall read;
  read.op = "read-registry";
  read.path = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir";
  read.root = "HKLM";
  read.size = 256;
  HelperResult r = Run(read);
  Stored s = Inspect(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
  require(s.valueExists, "the prefix has a ProgramFilesDir");
  ok(r.answer == 1 && r.size == s.bytes.size() && r.data.rfind(Hex(s.bytes), 0) == 0,
     "read ProgramFilesDir below HKLM gives \"%s\": %s", s.bytes.c_str(), r.report.c_str());
  CheckBalanced(r, 1, "read ProgramFilesDir");

  HelperCall write;
  write.op = "write-registry";
  write.path = "SOFTWARE\\QvRegistryTest\\Deep\\Name";
  write.root = "HKLM";
  write.dataHex = Hex("value");
  write.size = 256;
  write.type = REG_SZ;
  r = Run(write);
  ok(r.answer == 1, "write below HKLM answers yes");
  CheckBalanced(r, 1, "write below HKLM");
  s = Inspect(HKEY_LOCAL_MACHINE, "SOFTWARE\\QvRegistryTest\\Deep", "Name");
  ok(s.valueExists && s.bytes == std::string("value", 6), "HKLM value stored with its terminator");
  ok(!Inspect(HKEY_CURRENT_USER, "SOFTWARE\\QvRegistryTest\\Deep", "Name").keyExists, "nothing written below HKCU");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QvRegistryTest");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QvRegistryTest");
}

WINE_TEST(writes_store_strings_with_their_terminator_and_other_types_as_given) {
  CleanProductKeys();
  HelperResult r = Run(WriteProduct("\\Text", Hex("abc"), 256, REG_SZ));
  Stored s = Inspect(HKEY_CURRENT_USER, kProductKey, "Text");
  ok(r.answer == 1 && s.bytes.size() == 4 && s.bytes == std::string("abc", 4),
     "REG_SZ abc with size 256 stores 4 bytes, stored %zu", s.bytes.size());
  // The count is the text's, even when the caller's size is smaller.
  r = Run(WriteProduct("\\Short", Hex("abcdef"), 2, REG_SZ));
  s = Inspect(HKEY_CURRENT_USER, kProductKey, "Short");
  ok(r.answer == 1 && s.bytes == std::string("abcdef", 7), "REG_SZ with size 2 stores the whole text, %zu bytes",
     s.bytes.size());

  r = Run(WriteProduct("\\ProgramVersion", "E8030000", 4, REG_BINARY));
  s = Inspect(HKEY_CURRENT_USER, kProductKey, "ProgramVersion");
  ok(r.answer == 1 && s.type == REG_BINARY && s.bytes == kVersion1000,
     "REG_BINARY with size 4 stores exactly E8 03 00 00: type %lu, %s", s.type, Hex(s.bytes).c_str());
  CheckBalanced(r, 1, "write REG_BINARY");
}

WINE_TEST(a_write_creates_every_missing_level_and_reads_and_deletes_create_none) {
  CleanProductKeys();
  HelperResult r = Run(ReadProduct("\\A\\B\\C\\Value", 16));
  ok(r.answer == 0, "read below a missing key answers no");
  CheckBalanced(r, 0, "read below a missing key");
  r = Run(DeleteProduct("\\A\\B\\C\\Value"));
  ok(r.answer == 0, "delete below a missing key answers no");
  CheckBalanced(r, 0, "delete below a missing key");
  ok(!Inspect(HKEY_CURRENT_USER, kProductKey, "").keyExists, "reads and deletions created no key");

  r = Run(WriteProduct("\\A\\B\\C\\Value", "01020304", 4, REG_BINARY));
  ok(r.answer == 1, "write below missing levels answers yes");
  CheckBalanced(r, 1, "write below missing levels");
  Stored s = Inspect(HKEY_CURRENT_USER, "Software\\Quavertone\\A\\B\\C", "Value");
  ok(s.valueExists && s.bytes == std::string("\x01\x02\x03\x04", 4), "every level created and the value stored");
}

WINE_TEST(reads_answer_the_size_fail_for_a_small_buffer_and_ignore_the_type) {
  CleanProductKeys();
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramVersion", REG_BINARY, kVersion1000), "prepare version");

  HelperResult r = Run(ReadProduct("\\ProgramVersion", 0));
  ok(r.answer == 1 && r.size == 4, "size probe answers yes and 4: %s", r.report.c_str());
  CheckBalanced(r, 1, "size probe");

  r = Run(ReadProduct("\\ProgramVersion", 4));
  ok(r.answer == 1 && r.size == 4 && r.data == "E8030000", "4-byte read: %s", r.report.c_str());
  CheckBalanced(r, 1, "4-byte read");

  r = Run(ReadProduct("\\ProgramVersion", 3));
  ok(r.answer == 0, "a 3-byte buffer is too small: %s", r.report.c_str());
  CheckBalanced(r, 1, "too-small read");

  // Written as REG_DWORD by another tool: the same 4 bytes read the same.
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramVersion", REG_DWORD, kVersion1000), "prepare REG_DWORD");
  HelperResult dword = Run(ReadProduct("\\ProgramVersion", 4));
  ok(dword.answer == 1 && dword.size == 4 && dword.data == "E8030000", "REG_DWORD read: %s", dword.report.c_str());

  r = Run(ReadProduct("\\Missing", 16));
  ok(r.answer == 0 && r.size == 0xDEADBEEF, "missing value answers no and no size: %s", r.report.c_str());
  CheckBalanced(r, 1, "read of a missing value");
  r = Run(ReadProduct("\\Missing", 0));
  ok(r.answer == 0, "size probe of a missing value answers no");
  CheckBalanced(r, 1, "size probe of a missing value");

  // A string's size includes its terminator.
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramDirectory", REG_SZ, std::string("C:\\Q", 5)), "prepare text");
  r = Run(ReadProduct("\\ProgramDirectory", 0));
  ok(r.answer == 1 && r.size == 5 && r.data.empty(), "size probe of a text: %s", r.report.c_str());
}

WINE_TEST(deleting_removes_the_value_and_keeps_the_key) {
  CleanProductKeys();
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "MonitorDevice", REG_DWORD, std::string("\x01\0\0\0", 4)),
          "prepare MonitorDevice");
  HelperResult r = Run(DeleteProduct("\\MonitorDevice"));
  ok(r.answer == 1, "delete of an existing value answers yes");
  CheckBalanced(r, 1, "delete");
  Stored s = Inspect(HKEY_CURRENT_USER, kProductKey, "MonitorDevice");
  ok(s.keyExists && !s.valueExists, "value gone, key kept although empty");

  r = Run(DeleteProduct("\\MonitorDevice"));
  ok(r.answer == 0, "delete of a missing value answers no");
  CheckBalanced(r, 1, "delete of a missing value");
  ok(Inspect(HKEY_CURRENT_USER, kProductKey, "").keyExists, "key still there");
}

WINE_TEST(paths_that_do_not_fit_or_name_no_key_answer_no_and_touch_nothing) {
  CleanProductKeys();
  // "Software\Quavertone" is 19 characters: 236 more fill the 255.
  std::string fits = "\\" + std::string(235, 'v');
  std::string tooLong = fits + "w";
  HelperResult r = Run(WriteProduct(fits, "01", 1, REG_BINARY));
  ok(r.answer == 1, "a product path of 236 characters is written");
  r = Run(WriteProduct(tooLong, "01", 1, REG_BINARY));
  ok(r.answer == 0, "a product path of 237 characters answers no");
  CheckBalanced(r, 0, "overlong product write");
  r = Run(ReadProduct(tooLong, 8));
  ok(r.answer == 0 && r.data == "ABABABABABABABAB", "overlong product read answers no, buffer untouched: %s",
     r.report.c_str());
  CheckBalanced(r, 0, "overlong product read");
  r = Run(DeleteProduct(fits + std::string(300, 'x')));
  ok(r.answer == 0, "overlong delete answers no");
  CheckBalanced(r, 0, "overlong delete");
  ok(Inspect(HKEY_CURRENT_USER, kProductKey, fits.substr(1)).valueExists, "the fitting value is still there");

  struct {
    const char* what;
    std::string path;
  } rootPaths[] = {
      {"root-given path of 256 characters", "SOFTWARE\\" + std::string(247, 'k')},
      {"root-given path without a backslash", "ProgramFilesDir"},
      {"empty root-given path", ""},
  };
  for (const auto& p : rootPaths) {
    HelperCall read;
    read.op = "read-registry";
    read.path = p.path;
    read.root = "HKLM";
    read.size = 8;
    r = Run(read);
    ok(r.answer == 0 && r.data == "ABABABABABABABAB", "%s: read answers no, buffer untouched", p.what);
    CheckBalanced(r, 0, p.what);
    HelperCall write = read;
    write.op = "write-registry";
    write.root = "HKCU";
    write.type = REG_SZ;
    write.dataHex = Hex("x");
    r = Run(write);
    ok(r.answer == 0, "%s: write answers no", p.what);
    CheckBalanced(r, 0, p.what);
  }
}

WINE_TEST(every_key_is_closed_when_the_platform_call_after_the_open_fails) {
  CleanProductKeys();
  require(PutValue(HKEY_CURRENT_USER, kProductKey, "ProgramVersion", REG_BINARY, kVersion1000), "prepare version");

  HelperCall write = WriteProduct("\\ProgramVersion", "01000000", 4, REG_BINARY);
  write.fail = "set";
  HelperResult r = Run(write);
  ok(r.answer == 0, "a refused RegSetValueExA answers no");
  CheckBalanced(r, 1, "refused write");
  ok(Inspect(HKEY_CURRENT_USER, kProductKey, "ProgramVersion").bytes == kVersion1000, "value unchanged");

  HelperCall read = ReadProduct("\\ProgramVersion", 4);
  read.fail = "query";
  r = Run(read);
  ok(r.answer == 0, "a refused RegQueryValueExA answers no");
  CheckBalanced(r, 1, "refused read");
  read.size = 0;
  r = Run(read);
  ok(r.answer == 0, "a refused size probe answers no");
  CheckBalanced(r, 1, "refused size probe");

  HelperCall del = DeleteProduct("\\ProgramVersion");
  del.fail = "delete";
  r = Run(del);
  ok(r.answer == 0, "a refused RegDeleteValueA answers no");
  CheckBalanced(r, 1, "refused delete");

  // Without rights to the root (as for HKLM and a restricted user) nothing
  // is opened, so nothing may be closed, even a handle the failed call left.
  const char* openFailures[] = {"open", "open-junk"};
  for (const char* failure : openFailures) {
    HelperCall calls[] = {WriteProduct("\\X", "01", 1, REG_BINARY), ReadProduct("\\ProgramVersion", 4),
                          ReadProduct("\\ProgramVersion", 0), DeleteProduct("\\ProgramVersion")};
    for (HelperCall& c : calls) {
      c.fail = failure;
      r = Run(c);
      std::string what = c.op + " with a refused " + failure;
      ok(r.answer == 0, "%s answers no", what.c_str());
      CheckBalanced(r, 0, what);
    }
  }
  ok(Inspect(HKEY_CURRENT_USER, kProductKey, "ProgramVersion").bytes == kVersion1000, "value still there");
  ok(!Inspect(HKEY_CURRENT_USER, kProductKey, "X").valueExists, "refused write stored nothing");
}
