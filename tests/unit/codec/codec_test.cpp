#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "codec_check.h"
#include "szdd_encoder.h"

namespace {

using S = SzddStatus;

// n bytes of letters or, at copies steps in four, copies of 1..40 bytes from up to 5000 back, as in real files.
Bytes Input(std::mt19937& rng, size_t n, const std::string& letters, unsigned copies = 0) {
  Bytes b;
  while (b.size() < n) {
    const size_t back = b.empty() || rng() % 4 >= copies ? 0 : 1 + rng() % std::min<size_t>(b.size(), 5000);
    for (size_t len = back == 0 ? 1 : 1 + rng() % 40; len > 0; --len)
      b.push_back(back != 0 ? b[b.size() - back] : letters[rng() % letters.size()]);
  }
  b.resize(n);
  return b;
}

// The header written out by hand, then the stream.
Bytes File(const Bytes& stream, uint32_t size) {
  Bytes f = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', '_'};
  for (int k = 0; k < 4; ++k) f.push_back(static_cast<uint8_t>(size >> (8 * k)));
  f.insert(f.end(), stream.begin(), stream.end());
  return f;
}

// One shot, streamed in tiny pieces (the careful path) and in big ones (the fast path): all must agree.
std::tuple<S, Bytes> DecodeEveryWay(const Bytes& file) {
  std::mt19937 rng(static_cast<uint32_t>(file.size()));
  const auto piece = [&rng](size_t max) { return 1 + rng() % max; };
  const Decoded one = OneShot(file);
  for (const Decoded& s : {Streamed(file, piece, 7, 7), Streamed(file, piece, 70000, 200000)}) {
    EXPECT_TRUE(one.fair && s.fair);
    EXPECT_EQ(std::tie(s.status, s.out), std::tie(one.status, one.out));
  }
  return {one.status, one.out};
}

TEST(SzddDecoder, HandWorkedFiles) {
  const Bytes good = File({0x07, 'a', 'b', 'c', 0xF0, 0xF3}, 9);
  const auto with = [&good](size_t at, uint8_t b) { Bytes f = good; f[at] = b; return f; };
  const std::tuple<Bytes, S, std::string> rows[] = {  // file, outcome, output
      {good, S::Ok, "abcabcabc"},  // three literals, then a reference to 4080 overlapping them
      {File({0x01, 'x', 0xF0, 0xF1}, 5), S::Ok, "xxxxx"},  // one behind the write position
      // Position 4094, length 5 reads 4094, 4095, 0, 1, 2: bytes 14 to 18 written, or as the first item spaces.
      {File({0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0xFF, 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P', 0x07, 'Q',
             'R', 'S', 0xFE, 0xF2}, 24), S::Ok, "ABCDEFGHIJKLMNOPQRSOPQRS"},
      {File({0x00, 0xFE, 0xF2}, 5), S::Ok, "     "},
      {File({0xFF, 'a', 'b', 'c'}, 3), S::Ok, "abc"},  // unused bits in the last control byte
      {File({0xFF, '1', '2', '3', '4', '5', '6', '7', '8', 0xFF}, 8), S::Ok, "12345678"},  // one without items
      {File({}, 0), S::Ok, ""}, {{}, S::TruncatedHeader, ""}, {{'h', 'e', 'l', 'l', 'o'}, S::BadSignature, ""},
      {Bytes(good.begin(), good.begin() + 13), S::TruncatedHeader, ""}, {with(7, 0x34), S::BadSignature, ""},
      {with(8, 'B'), S::BadMode, ""},
      // One byte of a reference, also when the size is already reached.
      {File({0x07, 'a', 'b', 'c', 0xF0}, 9), S::TruncatedReference, "abc"},
      {File({0x03, 'a', 'b', 0xF0}, 2), S::TruncatedReference, "ab"},
      {with(10, 10), S::SizeShort, "abcabcabc"}, {File({0x03, 'a', 'b'}, 1), S::SizeLong, "a"},
      {with(10, 8), S::SizeLong, "abc"}};  // output stops before the first item that would pass the size
  for (const auto& [file, status, out] : rows)
    EXPECT_EQ(DecodeEveryWay(file), std::make_tuple(status, Bytes(out.begin(), out.end())));
  size_t produced = 99;
  uint8_t out[8];
  EXPECT_EQ(SzddDecodeBuffer(good.data(), good.size(), out, sizeof out, &produced), S::OutputTooSmall);
  EXPECT_EQ(produced, 0u);
}

// Whole groups of the longest items right before the end of the data and of
// the output: the wide copies of the fast path must stay inside both.
TEST(SzddDecoder, WideCopiesStayInsideExactBuffers) {
  for (uint8_t b0 : {0x00, 0xF0}) {           // ring position 0 or 4080, length 18
    for (size_t groups : {0, 1, 2, 3, 40}) {  // 40 groups pass the first 4096 bytes
      for (size_t tail = 0; tail < 20; ++tail) {
        Bytes s;
        for (size_t k = 0; k < 17 * groups; ++k) s.push_back(k % 17 == 0 ? 0x00 : k % 17 % 2 ? b0 : b0 | 0x0F);
        for (size_t t = 0; t < tail; ++t) {
          if (t % 8 == 0) s.push_back(0xFF);
          s.push_back(static_cast<uint8_t>('a' + t));
        }
        const ReferenceResult ref = ReferenceExpand(s.data(), s.size());
        const Bytes file = File(s, static_cast<uint32_t>(ref.out.size()));
        ASSERT_EQ(DecodeEveryWay(file), std::make_tuple(S::Ok, ref.out));
        ASSERT_EQ(OneShot(file, 64).out, ref.out);  // with spare room, wide copies run to the very end
      }
    }
  }
}

Bytes Encode(const Bytes& in, SzddLevel level) {
  Bytes out(SzddMaxEncodedSize(in.size()));
  const size_t n = SzddEncode(in.data(), in.size(), 'e', level, out.data(), out.size());
  EXPECT_TRUE(n != 0 && n <= out.size());
  out.resize(n);
  return out;
}

// Both levels: the plain expander and every way of the fast one give the input back; Optimal is never larger.
TEST(SzddEncoder, RoundTripsEveryKindOfInput) {
  std::mt19937 rng(7);
  std::string spaced(341, ' '), bytes(256, 0);  // every byte, and with a quarter more spaces
  for (size_t k = 0; k < 256; ++k) spaced[k] = bytes[k] = static_cast<char>(k);
  // The long ones slide the streaming decoder's window, once or many times.
  std::vector<Bytes> inputs = {{}, Input(rng, 70000, bytes), Bytes(100000, 'z'), Input(rng, 300000, spaced, 3)};
  for (size_t n = 1; n <= 15; ++n) inputs.insert(inputs.end(), {Input(rng, n, "ab "), Bytes(n, ' '), Bytes(n, 0)});
  for (int round = 0; round < 40; ++round) {
    const size_t n = rng() % 20000;
    inputs.insert(inputs.end(), {Input(rng, n, "ab"), Input(rng, n, "abcdefgh \n"), Input(rng, n, spaced, 3)});
  }
  for (const Bytes& in : inputs) {
    SCOPED_TRACE("input " + std::to_string(&in - inputs.data()));
    size_t sizes[2];
    for (SzddLevel level : {SzddLevel::Fast, SzddLevel::Optimal}) {
      const Bytes file = Encode(in, level);
      sizes[level == SzddLevel::Optimal] = file.size();
      EXPECT_EQ(file[9], 'e');
      const ReferenceResult ref = ReferenceExpand(file.data() + 14, file.size() - 14);
      ASSERT_TRUE(ref.out == in && !ref.endsInsideReference);
      ASSERT_EQ(DecodeEveryWay(file), std::make_tuple(S::Ok, in));  // so the header states the input's size
    }
    EXPECT_LE(sizes[1], sizes[0]);
  }
}

// The fewest bytes any parse can take, trying every distance over the initial
// spaces and the input for the longest match (which may overlap itself).
size_t NaiveMinimum(const Bytes& in) {
  Bytes text(4096, ' ');
  text.insert(text.end(), in.begin(), in.end());
  std::vector<uint64_t> bits(in.size() + 1, UINT64_MAX);
  bits[0] = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    const size_t p = 4096 + i, limit = std::min<size_t>(18, in.size() - i);
    size_t longest = 0;
    for (size_t d = 1; d <= 4096; ++d) {
      size_t k = 0;
      while (k < limit && text[p - d + k] == text[p + k]) ++k;
      longest = std::max(longest, k);
    }
    bits[i + 1] = std::min(bits[i + 1], bits[i] + 9);
    for (size_t len = 3; len <= longest; ++len) bits[i + len] = std::min(bits[i + len], bits[i] + 17);
  }
  return 14 + (bits.back() + 7) / 8;
}

TEST(SzddEncoder, OptimalIsTheSmallestParse) {
  std::mt19937 rng(11);
  // Few letters and spaces: many ties and references into the initial spaces.
  std::vector<Bytes> inputs = {Input(rng, 9000, "ab"), Input(rng, 9000, "abc  "), Input(rng, 12000, "abcdefgh ", 3)};
  for (int round = 0; round < 120; ++round) inputs.push_back(Input(rng, 1 + rng() % 14, round % 2 ? "a " : "ab "));
  for (const Bytes& in : inputs)
    ASSERT_EQ(Encode(in, SzddLevel::Optimal).size(), NaiveMinimum(in)) << "input " << &in - inputs.data();
}

TEST(SzddEncoder, RefusesTooLittleSpace) {
  for (const auto& [in, bound] : {std::pair<size_t, size_t>{0, 14}, {8, 23}, {9, 25}, {SZDD_MAX_EXPANDED, 0}})
    EXPECT_EQ(SzddMaxEncodedSize(in), bound) << in;
  const Bytes in(100, 'q');
  Bytes out(SzddMaxEncodedSize(in.size()) - 1);  // one byte short of the bound
  EXPECT_EQ(SzddEncode(in.data(), in.size(), 'q', SzddLevel::Optimal, out.data(), out.size()), 0u);
}

}  // namespace
