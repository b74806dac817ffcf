// Test helpers: a deliberately plain expander written straight from the
// format's definition (ring, byte by byte), against which the fast expander
// is checked, and generators of inputs and streams.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/szdd_format.h"

using Bytes = std::vector<uint8_t>;

struct ReferenceResult {
  Bytes out;
  bool endsInsideReference = false;
};

// Expands the stream that follows the header.
inline ReferenceResult ReferenceExpand(const uint8_t* s, size_t n) {
  ReferenceResult r;
  uint8_t ring[4096];
  std::memset(ring, 0x20, sizeof ring);
  unsigned w = 4080;
  size_t i = 0;
  while (i < n) {
    const unsigned control = s[i++];
    for (unsigned bit = 0; bit < 8 && i < n; ++bit) {
      if (control >> bit & 1) {
        r.out.push_back(ring[w] = s[i++]);
        w = (w + 1) % 4096;
        continue;
      }
      if (i + 1 == n) {
        r.endsInsideReference = true;
        return r;
      }
      unsigned pos = s[i] | (s[i + 1] & 0xF0) << 4;
      const unsigned len = (s[i + 1] & 0x0F) + 3;
      i += 2;
      for (unsigned k = 0; k < len; ++k) {
        const uint8_t b = ring[pos];
        r.out.push_back(b);
        ring[w] = b;
        w = (w + 1) % 4096;
        pos = (pos + 1) % 4096;
      }
    }
  }
  return r;
}

inline Bytes Header(uint32_t size, uint8_t lastChar = '_') {
  Bytes h = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', lastChar};
  for (int k = 0; k < 4; ++k) h.push_back(static_cast<uint8_t>(size >> (8 * k)));
  return h;
}

inline Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes FromText(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A random stream of items that leans toward what is hard to expand fast:
// short distances (overlap), distances reaching into the never-written
// cells, positions near the wrap of the ring, all lengths.
inline Bytes RandomStream(std::mt19937& rng, size_t items) {
  Bytes s;
  size_t produced = 0;
  size_t control = 0;
  for (size_t k = 0; k < items; ++k) {
    if (k % 8 == 0) {
      control = s.size();
      s.push_back(0);
    }
    const unsigned kind = rng() % 8;
    if (kind < 3) {
      s[control] |= static_cast<uint8_t>(1u << (k % 8));
      s.push_back(static_cast<uint8_t>("ab \x00\xff"[rng() % 5]));
      ++produced;
      continue;
    }
    const unsigned writePos = static_cast<unsigned>(4080 + produced) % 4096;
    unsigned dist;
    if (kind < 6) {
      dist = 1 + rng() % 20;
    } else if (kind < 7) {
      dist = 1 + rng() % 4096;
    } else {
      dist = static_cast<unsigned>(produced) + 1 + rng() % 40;  // before the first byte
      if (dist > 4096) dist = 4096;
    }
    const unsigned pos = (writePos - dist) % 4096;
    const unsigned len = 3 + rng() % 16;
    s.push_back(static_cast<uint8_t>(pos));
    s.push_back(static_cast<uint8_t>((pos >> 4 & 0xF0) | (len - 3)));
    produced += len;
  }
  return s;
}

// Inputs for round trips, all deterministic for a seed.
inline Bytes RandomInput(std::mt19937& rng, size_t n, const char* alphabet) {
  const size_t letters = std::strlen(alphabet);
  Bytes b(n);
  for (auto& c : b) c = static_cast<uint8_t>(alphabet[rng() % letters]);
  return b;
}

inline Bytes RepetitiveInput(std::mt19937& rng, size_t n) {
  Bytes b;
  while (b.size() < n) {
    if (!b.empty() && rng() % 3 != 0) {
      const size_t back = 1 + rng() % (b.size() < 5000 ? b.size() : 5000);
      const size_t len = 1 + rng() % 40;
      for (size_t k = 0; k < len; ++k) {
        const uint8_t c = b[b.size() - back];
        b.push_back(c);
      }
    } else {
      b.push_back(static_cast<uint8_t>(rng() % 4 == 0 ? ' ' : rng()));
    }
  }
  b.resize(n);
  return b;
}
