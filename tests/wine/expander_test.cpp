// Our expander against the platform's own (lz32), an independent oracle for the format: crafted streams, random
// valid streams and our compressor's output of real executables must expand to the same bytes.  Malformed files
// must fail and leave no target behind.
#include <windows.h>
#include <lzexpand.h>

#include <cstdint>
#include <random>
#include <vector>

#include "check.h"
#include "engine/expand_file.h"
#include "szdd_encoder.h"

namespace {

const std::string kFolder = "C:\\qvtest\\expander";

std::string Header(uint32_t size) {
  std::string header("SZDD\x88\xF0\x27\x33" "Ax", 10);
  for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>(size >> (8 * i)));
  return header;
}

std::string Compress(const std::string& data, SzddLevel level) {
  std::vector<uint8_t> out(SzddMaxEncodedSize(data.size()));
  out.resize(SzddEncode(reinterpret_cast<const uint8_t*>(data.data()), data.size(), 'x', level, out.data(), out.size()));
  return std::string(out.begin(), out.end());
}

// A valid stream of literals and references of every position and length 3..18, mostly near the write
// position where overlaps happen, ending on a partial group at random.
std::string RandomStream(std::mt19937& random, unsigned items) {
  std::string stream;
  uint32_t produced = 0;
  for (unsigned done = 0; done < items;) {
    uint8_t control = static_cast<uint8_t>(random());
    stream.push_back(static_cast<char>(control));
    for (int bit = 0; bit < 8 && done < items; ++bit, ++done) {
      uint32_t r = random();
      if (control & (1 << bit)) {
        stream.push_back(static_cast<char>(r % 4 == 0 ? ' ' : r >> 8));
        produced += 1;
      } else {
        unsigned position = (r & 1) ? random() & 4095 : (4080 + produced - 1 - random() % 20) & 4095;
        unsigned length = 3 + (r >> 8) % 16;
        stream.push_back(static_cast<char>(position));
        stream.push_back(static_cast<char>(((position >> 4) & 0xF0) | (length - 3)));
        produced += length;
      }
    }
  }
  return Header(produced) + stream;
}

// Expands compressed with both expanders; answers whether they agree.
bool SameAsPlatform(const std::string& label, const std::string& compressed) {
  std::string source = kFolder + "\\source._", ours = kFolder + "\\ours.out", theirs = kFolder + "\\platform.out";
  WriteAll(source, compressed);
  for (const std::string& stale : {ours, theirs}) DeleteFileA(stale.c_str());
  ExpandOutcome outcome = ExpandCompressedFile(source.c_str(), ours.c_str());
  OFSTRUCT of;
  INT in = LZOpenFileA(const_cast<char*>(source.c_str()), &of, OF_READ);
  INT out = LZOpenFileA(const_cast<char*>(theirs.c_str()), &of, OF_CREATE | OF_WRITE);
  LONG copied = LZCopy(in, out);
  LZClose(in);
  LZClose(out);
  std::string a = ReadAll(ours), b = ReadAll(theirs);
  return CHECK(outcome == ExpandOutcome::Expanded && copied >= 0 && a == b,
               "%s: ours %zu bytes (outcome %d), platform %zu bytes (LZCopy %ld)", label.c_str(), a.size(),
               static_cast<int>(outcome), b.size(), static_cast<long>(copied));
}

void CraftedStreams() {
  const std::pair<const char*, std::string> cases[] = {
      {"worked example", Header(9) + std::string("\x07" "abc\xF0\xF3", 6)},
      {"three spaces from the untouched ring", Header(3) + std::string(3, '\0')},
      {"one behind the write position", Header(19) + "\x01z\xF0\xFF"},
      {"wrap at 4094 with length 5", Header(5) + std::string("\x00\xFE\xF2", 3)},
      {"partial last group", Header(3) + "\xFF" "123"},
      {"reference before any literal, length 18", Header(19) + std::string("\x02\x10\x0Fq", 4)},
  };
  for (const auto& c : cases) SameAsPlatform(c.first, c.second);
}

void RandomStreams() {
  std::mt19937 random(12345);  // seeded, so that a failure repeats
  for (int i = 0; i < 60; ++i) {
    unsigned items = 1 + random() % (i < 40 ? 64 : 20000);
    if (!SameAsPlatform("random stream " + std::to_string(i), RandomStream(random, items))) break;
  }
}

void CompressorOutput() {
  std::mt19937 random(777);
  std::vector<std::pair<std::string, std::string>> corpus = {
      {"empty file", ""}, {"one byte", "x"}, {"spaces, as the ring starts", std::string(5000, ' ') + "x"}};
  std::string noise(300000, '\0');
  for (char& b : noise) b = static_cast<char>(random());
  corpus.push_back({"random bytes", noise});
  // Real executables: long runs, repeats near and far, and stretches that do not compress.
  for (const char* path : {"E:\\setup.exe", "E:\\bladeenc.exe", "C:\\windows\\system32\\kernel32.dll",
                           "C:\\windows\\system32\\comctl32.dll", "C:\\windows\\system32\\shell32.dll"})
    corpus.push_back({path, ReadAll(path)});
  for (const auto& [name, data] : corpus) {
    for (SzddLevel level : {SzddLevel::Fast, SzddLevel::Optimal})
      SameAsPlatform(name + (level == SzddLevel::Fast ? " (fast)" : " (optimal)"), Compress(data, level));
  }
}

void MalformedFiles() {
  std::string source = kFolder + "\\bad._", target = kFolder + "\\bad.out";
  std::string good = Header(9) + std::string("\x07" "abc\xF0\xF3", 6);
  auto patched = [&](size_t at, char c) { std::string b = good; b[at] = c; return b; };
  const std::pair<const char*, std::string> cases[] = {
      {"shorter than the header", good.substr(0, 10)},   {"wrong signature", patched(3, 'Q')},
      {"mode B", patched(8, 'B')},                       {"ends inside a reference", good.substr(0, good.size() - 1)},
      {"size field too large", patched(10, 10)},         {"size field too small", patched(10, 8)},
  };
  for (const auto& c : cases) {
    WriteAll(source, c.second);
    WriteAll(target, "earlier content");
    ExpandOutcome outcome = ExpandCompressedFile(source.c_str(), target.c_str());
    CHECK(outcome == ExpandOutcome::Malformed, "%s: outcome %d", c.first, static_cast<int>(outcome));
    CHECK(GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES, "%s: a truncated target was left", c.first);
  }
  CHECK(ExpandCompressedFile((kFolder + "\\missing._").c_str(), target.c_str()) == ExpandOutcome::SourceUnreadable,
        "missing source");
}

}  // namespace

int main() {
  CreateDirectoryA("C:\\qvtest", nullptr);
  CreateDirectoryA(kFolder.c_str(), nullptr);
  CraftedStreams();
  RandomStreams();
  CompressorOutput();
  MalformedFiles();
  return Verdict();
}
