// szdd: compresses files into the SZDD format and expands them again, in the
// manner of the platform's classic compress and expand programs.  The
// installer's payloads are built with it.
//
// Default names follow one rule in both directions: compression replaces the
// last character of the name with '_' (setup.exe -> setup.ex_, readme ->
// readm_) and stores the replaced character in the header; expansion puts it
// back.  Replacing rather than appending is what lets expansion restore any
// name from that one stored character.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "szdd_files.h"

namespace {

constexpr int EXIT_FAILED = 1;  // a file could not be processed
constexpr int EXIT_USAGE = 2;   // the command line was wrong

const char USAGE[] =
    "usage: szdd compress [-l fast|optimal] IN [OUT]\n"
    "       szdd expand IN [OUT]\n"
    "       szdd info FILE...\n"
    "       szdd --help\n";

const char HELP[] =
    "\n"
    "compress  writes IN in the SZDD format (mode 'A').  OUT defaults to IN with\n"
    "          its last character replaced by '_'; that character is stored in\n"
    "          the header.  Levels: optimal (default) writes the smallest file\n"
    "          the format allows; fast is greedy with one step of lookahead.\n"
    "expand    expands IN.  OUT defaults to IN with a final '_' replaced by the\n"
    "          character stored in the header.  Expansion ends where the data\n"
    "          ends, as with the platform's expander; a stated size that differs\n"
    "          is noted on stderr and is no failure.\n"
    "info      shows the header of each FILE, its sizes, and whether its\n"
    "          stream expands to exactly the stated size.\n"
    "\n"
    "Output goes to a temporary file beside OUT and replaces OUT only when\n"
    "complete.  Exit status: 0 done, 1 a file failed, 2 bad command line.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "szdd: %s\n%s", problem, USAGE);
  return EXIT_USAGE;
}

int Failed(const std::string& message) {
  std::fprintf(stderr, "szdd: %s\n", message.c_str());
  return EXIT_FAILED;
}

size_t NameStart(const std::string& path) {
#ifdef _WIN32
  const size_t cut = path.find_last_of("\\/:");
#else
  const size_t cut = path.rfind('/');
#endif
  return cut == std::string::npos ? 0 : cut + 1;
}

// A character that can end a file name on every platform the payloads meet,
// leaving a name of its own in the same folder: "/", "\\" and ":" would name
// another folder or drive, and Windows drops a final "." ("notes_" would
// become "notes" and silently replace that file).
bool UsableLastChar(uint8_t c) {
  return c > ' ' && c < 0x7F && std::strchr("\\/:*?\"<>|.", c) == nullptr;
}

std::string Printable(uint8_t c) {
  char text[8];
  if (c >= ' ' && c < 0x7F) {
    std::snprintf(text, sizeof text, "'%c'", c);
  } else {
    std::snprintf(text, sizeof text, "0x%02X", c);
  }
  return text;
}

int Compress(const std::vector<std::string>& args) {
  SzddLevel level = SzddLevel::Optimal;
  std::vector<std::string> names;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-l" || a == "--level") {
      if (++i == args.size()) return Usage("-l needs a level (fast or optimal)");
      if (args[i] == "fast") {
        level = SzddLevel::Fast;
      } else if (args[i] == "optimal") {
        level = SzddLevel::Optimal;
      } else {
        return Usage(("unknown level '" + args[i] + "'").c_str());
      }
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(("unknown option '" + a + "'").c_str());
    } else {
      names.push_back(a);
    }
  }
  if (names.empty() || names.size() > 2) return Usage("compress takes IN and an optional OUT");
  const std::string& in = names[0];
  if (NameStart(in) == in.size()) return Failed(in + ": not a file name");
  const uint8_t lastChar = static_cast<uint8_t>(in.back());
  std::string out;
  if (names.size() == 2) {
    out = names[1];
  } else {
    if (lastChar == '_') {
      return Failed(in + ": name already ends in '_'; give the output name");
    }
    out = in;
    out.back() = '_';
  }
  std::string error;
  if (!CompressFile(in, out, lastChar, level, &error)) return Failed(error);
  return 0;
}

int Expand(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a.size() > 1 && a[0] == '-') return Usage(("unknown option '" + a + "'").c_str());
  }
  if (args.empty() || args.size() > 2) return Usage("expand takes IN and an optional OUT");
  const std::string& in = args[0];
  std::string out;
  if (args.size() == 2) {
    out = args[1];
  } else {
    if (NameStart(in) == in.size() || in.back() != '_') {
      return Failed(in + ": name does not end in '_'; give the output name");
    }
    SzddHeader header;
    std::string error;
    if (!ReadFileHeader(in, &header, &error)) return Failed(error);
    if (!UsableLastChar(header.lastChar) || header.lastChar == '_') {
      return Failed(in + ": header stores no usable last character (" +
                    Printable(header.lastChar) + "); give the output name");
    }
    out = in;
    out.back() = static_cast<char>(header.lastChar);
  }
  std::string error;
  SzddExpandSizes sizes;
  if (!ExpandFile(in, out, &error, &sizes)) return Failed(error);
  if (sizes.written != sizes.stated) {
    std::fprintf(stderr, "szdd: %s: expanded %llu bytes where the header states %lu\n", in.c_str(),
                 static_cast<unsigned long long>(sizes.written),
                 static_cast<unsigned long>(sizes.stated));
  }
  return 0;
}

int Info(const std::vector<std::string>& args) {
  if (args.empty()) return Usage("info takes at least one file");
  int status = 0;
  for (const std::string& path : args) {
    SzddFileReport r;
    std::string error;
    if (!InspectFile(path, &r, &error)) {
      status = Failed(error);
      continue;
    }
    const double ratio =
        r.header.expandedSize == 0 ? 0.0 : 100.0 * static_cast<double>(r.storedSize) / r.header.expandedSize;
    std::printf(
        "%s: signature ok, mode %s, last character %s, expanded %lu bytes, stored %llu bytes, "
        "ratio %.1f%%, stream %s\n",
        path.c_str(), Printable(r.header.mode).c_str(), Printable(r.header.lastChar).c_str(),
        static_cast<unsigned long>(r.header.expandedSize),
        static_cast<unsigned long long>(r.storedSize), ratio, SzddStatusText(r.stream));
    if (r.stream != SzddStatus::Ok) status = EXIT_FAILED;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") {
    std::printf("%s%s", USAGE, HELP);
    return 0;
  }
  if (command == "compress") return Compress(args);
  if (command == "expand") return Expand(args);
  if (command == "info") return Info(args);
  return Usage(("unknown command '" + command + "'").c_str());
}
