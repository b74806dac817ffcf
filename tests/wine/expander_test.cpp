// Our expander against the platform's own (lz32: LZOpenFileA, LZCopy,
// LZClose) on a corpus of compressed files: both must produce the same
// bytes.  The platform's expander is an independent oracle for the format.
#include <windows.h>
#include <lzexpand.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/expand_file.h"
#include "engine/szdd_encoder.h"
#include "harness/driver.h"
#include "harness/wine_test.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// Deterministic pseudo-random numbers (xorshift), so a failure repeats.
struct Random {
  uint32_t state;
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

bool WriteBytes(const std::string& path, const Bytes& bytes) {
  return WriteFileText(path, std::string(bytes.begin(), bytes.end()));
}

Bytes ReadBytes(const std::string& path) {
  std::string text = ReadFileText(path);
  return Bytes(text.begin(), text.end());
}

Bytes Compress(const Bytes& data, SzddLevel level) {
  Bytes out(SzddMaxEncodedSize(data.size()));
  out.resize(SzddEncode(data.data(), data.size(), 'x', level, out.data(), out.size()));
  return out;
}

Bytes Header(uint32_t size) {
  Bytes header = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 'x'};
  for (int i = 0; i < 4; ++i) header.push_back(static_cast<uint8_t>(size >> (8 * i)));
  return header;
}

// A random but valid stream: any mix of literals and references of every
// position and length 3..18, ending on a partial group at random.
Bytes RandomStream(Random& random, unsigned items) {
  Bytes stream;
  uint32_t produced = 0;
  for (unsigned done = 0; done < items;) {
    uint8_t control = static_cast<uint8_t>(random.Next());
    stream.push_back(control);
    for (int bit = 0; bit < 8 && done < items; ++bit, ++done) {
      if (control & (1 << bit)) {
        stream.push_back(static_cast<uint8_t>(random.Next() % 4 == 0 ? ' ' : random.Next()));
        produced += 1;
      } else {
        uint32_t r = random.Next();
        // Mostly near the write position, where overlaps happen.
        unsigned position = (r & 1) ? random.Next() & 4095 : (4080 + produced - 1 - (random.Next() % 20)) & 4095;
        unsigned length = 3 + (r >> 8) % 16;
        stream.push_back(static_cast<uint8_t>(position));
        stream.push_back(static_cast<uint8_t>(((position >> 4) & 0xF0) | (length - 3)));
        produced += length;
      }
    }
  }
  Bytes file = Header(produced);
  file.insert(file.end(), stream.begin(), stream.end());
  return file;
}

// Expands compressed with both expanders; answers whether they agree.
bool SameAsPlatform(const std::string& folder, const std::string& label, const Bytes& compressed) {
  std::string source = folder + "\\source._";
  WriteBytes(source, compressed);
  std::string ours = folder + "\\ours.out";
  std::string theirs = folder + "\\platform.out";
  DeleteFileA(ours.c_str());
  DeleteFileA(theirs.c_str());
  ExpandOutcome outcome = ExpandCompressedFile(source.c_str(), ours.c_str());
  OFSTRUCT of;
  INT in = LZOpenFileA(const_cast<char*>(source.c_str()), &of, OF_READ);
  INT out = LZOpenFileA(const_cast<char*>(theirs.c_str()), &of, OF_CREATE | OF_WRITE);
  LONG copied = LZCopy(in, out);
  LZClose(in);
  LZClose(out);
  Bytes a = ReadBytes(ours), b = ReadBytes(theirs);
  return ok(outcome == ExpandOutcome::Expanded && copied >= 0 && a == b,
            "%s: ours %zu bytes (outcome %d), platform %zu bytes (LZCopy %ld)", label.c_str(), a.size(),
            static_cast<int>(outcome), b.size(), static_cast<long>(copied));
}

}  // namespace

WINE_TEST(crafted_streams_agree_with_the_platform) {
  std::string folder = FreshFolder("expander");
  struct {
    const char* label;
    Bytes stream;
    uint32_t size;
  } cases[] = {
      {"worked example", {0x07, 'a', 'b', 'c', 0xF0, 0xF3}, 9},
      {"three spaces from the untouched ring", {0x00, 0x00, 0x00}, 3},
      {"one behind the write position", {0x01, 'z', 0xF0, 0xFF}, 19},
      {"wrap at 4094 with length 5", {0x00, 0xFE, 0xF2}, 5},
      {"partial last group", {0xFF, '1', '2', '3'}, 3},
      {"reference before any literal, length 18", {0x02, 0x10, 0x0F, 'q'}, 19},
  };
  for (const auto& c : cases) {
    Bytes file = Header(c.size);
    file.insert(file.end(), c.stream.begin(), c.stream.end());
    SameAsPlatform(folder, c.label, file);
  }
}

WINE_TEST(random_streams_agree_with_the_platform) {
  std::string folder = FreshFolder("expander");
  Random random{12345};
  for (int i = 0; i < 60; ++i) {
    unsigned items = 1 + random.Next() % (i < 40 ? 64 : 20000);
    if (!SameAsPlatform(folder, Format("random stream %d (%u items)", i, items), RandomStream(random, items))) break;
  }
}

WINE_TEST(our_compressor_output_agrees_with_the_platform) {
  std::string folder = FreshFolder("expander");
  Random random{777};
  std::vector<std::pair<std::string, Bytes>> corpus;
  Bytes noise(300000);
  for (auto& b : noise) b = static_cast<uint8_t>(random.Next());
  corpus.push_back({"random bytes", noise});
  Bytes repetitive;
  while (repetitive.size() < 500000) {
    const char* phrase = random.Next() % 3 ? "the quick brown fox   " : "                ";
    repetitive.insert(repetitive.end(), phrase, phrase + std::strlen(phrase));
    repetitive.push_back(static_cast<uint8_t>(random.Next() % 4));
  }
  corpus.push_back({"repetitive text", repetitive});
  corpus.push_back({"empty file", {}});
  corpus.push_back({"one byte", {'x'}});
  // Real executables: the installer, a stand-in, and system libraries.
  for (const char* path : {"E:\\setup.exe", "E:\\bladeenc.exe", "C:\\windows\\system32\\kernel32.dll",
                           "C:\\windows\\system32\\comctl32.dll", "C:\\windows\\system32\\shell32.dll"}) {
    corpus.push_back({path, ReadBytes(path)});
  }
  for (const auto& item : corpus) {
    for (SzddLevel level : {SzddLevel::Fast, SzddLevel::Optimal}) {
      SameAsPlatform(folder, item.first + (level == SzddLevel::Fast ? " (fast)" : " (optimal)"),
                     Compress(item.second, level));
    }
  }
}

WINE_TEST(malformed_files_fail_and_leave_no_target) {
  std::string folder = FreshFolder("expander");
  std::string source = folder + "\\bad._";
  std::string target = folder + "\\bad.out";
  Bytes good = Header(9);
  for (int b : {0x07, 0x61, 0x62, 0x63, 0xF0, 0xF3}) good.push_back(static_cast<uint8_t>(b));
  struct {
    const char* label;
    Bytes file;
  } cases[] = {
      {"shorter than the header", Bytes(good.begin(), good.begin() + 10)},
      {"wrong signature", [&] { Bytes b = good; b[3] = 'Q'; return b; }()},
      {"mode B", [&] { Bytes b = good; b[8] = 'B'; return b; }()},
      {"ends inside a reference", Bytes(good.begin(), good.end() - 1)},
      {"size field too large", [&] { Bytes b = good; b[10] = 10; return b; }()},
      {"size field too small", [&] { Bytes b = good; b[10] = 8; return b; }()},
  };
  for (const auto& c : cases) {
    WriteBytes(source, c.file);
    WriteFileText(target, "earlier content");
    ExpandOutcome outcome = ExpandCompressedFile(source.c_str(), target.c_str());
    ok(outcome == ExpandOutcome::Malformed, "%s: outcome %d", c.label, static_cast<int>(outcome));
    ok(!FileExists(target), "%s: a truncated target was left", c.label);
  }
  ok(ExpandCompressedFile((folder + "\\missing._").c_str(), target.c_str()) == ExpandOutcome::SourceUnreadable,
     "missing source");
}
