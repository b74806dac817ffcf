#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine/szdd_decoder.h"
#include "engine/szdd_encoder.h"
#include "reference_codec.h"

namespace {

Bytes Encode(const Bytes& in, SzddLevel level, uint8_t lastChar = 'e') {
  Bytes out(SzddMaxEncodedSize(in.size()));
  const size_t n = SzddEncode(in.data(), in.size(), lastChar, level, out.data(), out.size());
  EXPECT_NE(n, 0u);
  out.resize(n);
  return out;
}

// Both levels: header fields right, the plain reference expander and the
// fast one give the input back, and Optimal is never the larger.
void ExpectRoundTrip(const Bytes& in, const char* what) {
  size_t sizes[2];
  for (SzddLevel level : {SzddLevel::Fast, SzddLevel::Optimal}) {
    const Bytes file = Encode(in, level);
    ASSERT_GE(file.size(), SZDD_HEADER_SIZE);
    SzddHeader h{};
    ASSERT_EQ(SzddReadHeader(file.data(), file.size(), &h), SzddStatus::Ok);
    EXPECT_EQ(h.lastChar, 'e');
    EXPECT_EQ(h.expandedSize, in.size());
    const ReferenceResult ref = ReferenceExpand(file.data() + 14, file.size() - 14);
    ASSERT_FALSE(ref.endsInsideReference) << what;
    ASSERT_EQ(ref.out, in) << what << " level " << int(level);
    Bytes out(in.size());
    size_t produced = 0;
    ASSERT_EQ(SzddDecodeBuffer(file.data(), file.size(), out.data(), out.size(), &produced),
              SzddStatus::Ok);
    ASSERT_EQ(out, in) << what;
    sizes[level == SzddLevel::Optimal] = file.size();
  }
  EXPECT_LE(sizes[1], sizes[0]) << what;
  EXPECT_LE(sizes[0], SzddMaxEncodedSize(in.size()));
}

TEST(SzddEncoder, RoundTripsEveryKindOfInput) {
  std::mt19937 rng(7);
  ExpectRoundTrip({}, "empty");
  for (size_t n = 1; n <= 15; ++n) {
    ExpectRoundTrip(RandomInput(rng, n, "ab "), "short");
    ExpectRoundTrip(Bytes(n, ' '), "spaces");
    ExpectRoundTrip(Bytes(n, 0), "zeros");
  }
  for (int round = 0; round < 40; ++round) {
    const size_t n = rng() % 20000;
    ExpectRoundTrip(RandomInput(rng, n, "ab"), "two letters");
    ExpectRoundTrip(RandomInput(rng, n, "abcdefgh \n"), "small alphabet");
    ExpectRoundTrip(RepetitiveInput(rng, n), "repetitive");
  }
  Bytes noise(70000);
  for (auto& b : noise) b = static_cast<uint8_t>(rng());
  ExpectRoundTrip(noise, "noise");
  ExpectRoundTrip(Bytes(100000, 'z'), "one long run");
}

// The fewest bytes of any parse: every sequence of literals and references
// (each one checked by running it on a ring, byte by byte) is tried.
size_t BruteForceMinimum(const Bytes& in) {
  const size_t n = in.size();
  std::vector<unsigned> longest(n, 0);
  uint8_t ring[4096];
  std::memset(ring, ' ', sizeof ring);
  for (size_t i = 0; i < n; ++i) {
    const unsigned w = static_cast<unsigned>(4080 + i) % 4096;
    const unsigned limit = static_cast<unsigned>(std::min<size_t>(18, n - i));
    for (unsigned pos = 0; pos < 4096; ++pos) {
      uint8_t saved[18];
      unsigned k = 0;
      for (; k < limit; ++k) {
        const uint8_t b = ring[(pos + k) % 4096];
        if (b != in[i + k]) break;
        saved[k] = ring[(w + k) % 4096];
        ring[(w + k) % 4096] = b;
      }
      for (unsigned j = 0; j < k; ++j) ring[(w + j) % 4096] = saved[j];
      longest[i] = std::max(longest[i], k);
    }
    ring[w] = in[i];
  }
  size_t best = SIZE_MAX;
  std::function<void(size_t, size_t, size_t)> walk = [&](size_t i, size_t data, size_t items) {
    if (i == n) {
      best = std::min(best, 14 + data + (items + 7) / 8);
      return;
    }
    walk(i + 1, data + 1, items + 1);
    for (unsigned len = 3; len <= longest[i]; ++len) walk(i + len, data + 2, items + 1);
  };
  walk(0, 0, 0);
  return best;
}

TEST(SzddEncoder, OptimalMatchesExhaustiveSearchOnSmallInputs) {
  std::mt19937 rng(11);
  for (int round = 0; round < 120; ++round) {
    const Bytes in = RandomInput(rng, 1 + rng() % 14, round % 2 ? "a " : "ab ");
    ASSERT_EQ(Encode(in, SzddLevel::Optimal).size(), BruteForceMinimum(in))
        << std::string(in.begin(), in.end());
  }
}

// Minimum over larger inputs with the longest match found by looking at
// every distance: checks the match finder where the window slides.
size_t NaiveMinimum(const Bytes& in) {
  Bytes text(4096, ' ');
  text.insert(text.end(), in.begin(), in.end());
  std::vector<uint64_t> cost(in.size() + 1, UINT64_MAX);
  cost[0] = 0;
  for (size_t i = 0; i < in.size(); ++i) {
    const size_t p = 4096 + i;
    const size_t limit = std::min<size_t>(18, in.size() - i);
    size_t longest = 0;
    for (size_t d = 1; d <= 4096; ++d) {
      size_t k = 0;
      while (k < limit && text[p - d + k] == text[p + k]) ++k;
      longest = std::max(longest, k);
    }
    cost[i + 1] = std::min(cost[i + 1], cost[i] + 9);
    for (size_t len = 3; len <= longest; ++len) cost[i + len] = std::min(cost[i + len], cost[i] + 17);
  }
  return 14 + (cost.back() + 7) / 8;
}

TEST(SzddEncoder, OptimalMatchesNaiveSearchAcrossTheWindow) {
  std::mt19937 rng(5);
  for (const Bytes& in : {RandomInput(rng, 9000, "ab"), RandomInput(rng, 9000, "abc  "),
                          RepetitiveInput(rng, 12000)}) {
    EXPECT_EQ(Encode(in, SzddLevel::Optimal).size(), NaiveMinimum(in));
  }
}

TEST(SzddEncoder, RefusesTooLittleSpace) {
  EXPECT_EQ(SzddMaxEncodedSize(0), 14u);
  EXPECT_EQ(SzddMaxEncodedSize(8), 23u);
  EXPECT_EQ(SzddMaxEncodedSize(9), 25u);
  const Bytes in(100, 'q');
  Bytes out(SzddMaxEncodedSize(in.size()) - 1);
  EXPECT_EQ(SzddEncode(in.data(), in.size(), 'q', SzddLevel::Optimal, out.data(), out.size()), 0u);
  EXPECT_EQ(SzddMaxEncodedSize(SZDD_MAX_EXPANDED), 0u);
}

}  // namespace
