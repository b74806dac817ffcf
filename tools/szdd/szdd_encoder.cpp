#include "szdd_encoder.h"

#include <cstring>
#include <vector>

// Both parsers search a "virtual" text: 4096 spaces followed by the input.
// The expander's ring always holds the last 4096 bytes of that text, so a
// reference is any back distance 1..4096 from the current position in it;
// the spaces stand for ring cells that no output has reached yet.  Matching
// a position against the text itself also covers references that overlap
// their own output, because the bytes compared are exactly those the
// expander will have written by the time it reads them.

namespace {

constexpr uint32_t NONE = 0xFFFFFFFFu;
constexpr size_t PREFIX = SZDD_RING_SIZE;
constexpr uint32_t WINDOW = SZDD_RING_SIZE;  // largest back distance
constexpr uint32_t SLOTS = 2 * SZDD_RING_SIZE;  // > WINDOW, so a slot outlives its window
constexpr uint32_t SLOT_MASK = SLOTS - 1;
constexpr unsigned LITERAL_BITS = 9;
constexpr unsigned REFERENCE_BITS = 17;

inline uint32_t Hash3(const uint8_t* p, unsigned bits) {
  const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                     static_cast<uint32_t>(p[2]) << 16;
  return (v * 2654435761u) >> (32 - bits);
}

// Items are appended in order; a control byte is reserved before each run of
// eight.
struct Writer {
  uint8_t* out;
  size_t pos;
  size_t controlPos;
  unsigned items;  // items in the current group
  size_t produced;  // output bytes the expander will have made so far

  void Begin() {
    if (items == 0 || items == 8) {
      controlPos = pos++;
      out[controlPos] = 0;
      items = 0;
    }
  }
  void Literal(uint8_t byte) {
    Begin();
    out[controlPos] |= static_cast<uint8_t>(1u << items);
    out[pos++] = byte;
    ++items;
    ++produced;
  }
  void Reference(size_t dist, unsigned len) {
    Begin();
    const unsigned writePos = static_cast<unsigned>(SZDD_RING_START + produced) & SZDD_RING_MASK;
    const unsigned ringPos = (writePos - static_cast<unsigned>(dist)) & SZDD_RING_MASK;
    out[pos++] = static_cast<uint8_t>(ringPos & 0xFF);
    out[pos++] = static_cast<uint8_t>(((ringPos >> 4) & 0xF0) | (len - SZDD_MIN_MATCH));
    ++items;
    produced += len;
  }
};

void WriteHeader(uint8_t* out, uint8_t lastChar, uint32_t size) {
  std::memcpy(out, SZDD_SIGNATURE, sizeof SZDD_SIGNATURE);
  out[SZDD_OFFSET_MODE] = SZDD_MODE_A;
  out[SZDD_OFFSET_LAST_CHAR] = lastChar;
  for (unsigned i = 0; i < 4; ++i) {
    out[SZDD_OFFSET_SIZE + i] = static_cast<uint8_t>(size >> (8 * i));
  }
}

constexpr size_t PADDING = 16;  // word-wise comparisons may look past the end

// Length of the common prefix of a and b, at most limit (<= 18) bytes; reads
// up to 8 bytes past it.
inline unsigned MatchLength(const uint8_t* a, const uint8_t* b, unsigned limit) {
  for (unsigned len = 0; len < limit; len += 8) {
    uint64_t x;
    uint64_t y;
    std::memcpy(&x, a + len, 8);
    std::memcpy(&y, b + len, 8);
    if (x != y) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
      len += static_cast<unsigned>(__builtin_ctzll(x ^ y)) / 8;
#else
      while (a[len] == b[len]) ++len;
#endif
      return len < limit ? len : limit;
    }
  }
  return limit;
}

// Hash tables only need to be about as large as the input: clearing big
// tables would dominate the work on small files.
unsigned HashBits(size_t inSize, unsigned most) {
  unsigned bits = 8;
  while (bits < most && (size_t{1} << bits) < inSize) ++bits;
  return bits;
}

// The virtual text, followed by PADDING bytes that belong to no position.
std::vector<uint8_t> VirtualText(const uint8_t* in, size_t inSize) {
  std::vector<uint8_t> text(PREFIX + inSize + PADDING, 0);
  std::memset(text.data(), SZDD_RING_FILL, PREFIX);
  if (inSize != 0) std::memcpy(text.data() + PREFIX, in, inSize);
  return text;
}

// ---- Fast: hash chains, one step of lazy evaluation -----------------------

constexpr unsigned FAST_HASH_BITS = 15;  // at most; small inputs get small tables
constexpr unsigned FAST_CHAIN = 12;  // candidates examined per position
constexpr unsigned FAST_LAZY = 5;    // a match this long is taken without looking ahead

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

inline uint32_t HashWord(uint32_t v, unsigned bits) { return (v * 2654435761u) >> (32 - bits); }

inline unsigned Limit(size_t p, size_t end) {
  return end - p < SZDD_MAX_MATCH ? static_cast<unsigned>(end - p) : SZDD_MAX_MATCH;
}

// Chains link positions with the same four bytes, which keeps candidates few
// and good; matches of exactly three bytes (worth little) come from a table
// that holds the latest position of each three-byte string.
struct HashChains {
  const uint8_t* text;
  size_t end;
  unsigned bits;
  std::vector<uint32_t> head = std::vector<uint32_t>(size_t{1} << bits, NONE);
  std::vector<uint32_t> head3 = std::vector<uint32_t>(size_t{1} << bits, NONE);
  std::vector<uint32_t> prev = std::vector<uint32_t>(SLOTS, NONE);

  // The word only feeds the hashes (v << 8 keeps the first three bytes on a
  // little-endian machine), so byte order can cost matches, never correctness.
  void Insert(size_t p) {
    const uint32_t v = Load32(text + p);
    const uint32_t h = HashWord(v, bits);
    prev[p & SLOT_MASK] = head[h];
    head[h] = static_cast<uint32_t>(p);
    head3[HashWord(v << 8, bits)] = static_cast<uint32_t>(p);
  }

  // Inserts p, and answers the longest match at p that is longer than floor
  // (>= 2) and at most limit bytes, among the first candidates; 0 when there
  // is none.  Runs for nearly every input byte, hence forced inline.
  __attribute__((always_inline)) unsigned FindAndInsert(size_t p, unsigned limit, unsigned floor, size_t* dist) {
    const uint8_t* cur = text + p;
    const uint32_t v = Load32(cur);
    const uint32_t h = HashWord(v, bits);
    const uint32_t h3 = HashWord(v << 8, bits);
    uint32_t cand = head[h];
    const uint32_t cand3 = head3[h3];
    prev[p & SLOT_MASK] = cand;
    head[h] = static_cast<uint32_t>(p);
    head3[h3] = static_cast<uint32_t>(p);
    if (limit <= floor || limit < SZDD_MIN_MATCH) return 0;

    // The chains only serve matches of 4 bytes or more.
    const unsigned start = floor > SZDD_MIN_MATCH ? floor : SZDD_MIN_MATCH;
    unsigned best = start;
    for (unsigned tries = FAST_CHAIN; tries != 0 && cand != NONE && p - cand <= WINDOW; --tries) {
      const uint8_t* c = text + cand;
      if (c[best] == cur[best]) {
        const unsigned len = MatchLength(c, cur, limit);
        if (len > best) {
          best = len;
          *dist = p - cand;
          if (len == limit) return len;
        }
      }
      cand = prev[cand & SLOT_MASK];
    }
    if (best > start) return best;
    if (floor >= SZDD_MIN_MATCH) return 0;
    if (cand3 != NONE && p - cand3 <= WINDOW && MatchLength(text + cand3, cur, limit) >= SZDD_MIN_MATCH) {
      *dist = p - cand3;
      return SZDD_MIN_MATCH;
    }
    return 0;
  }
};

void ParseFast(const uint8_t* in, size_t inSize, Writer& w) {
  const std::vector<uint8_t> text = VirtualText(in, inSize);
  const size_t end = PREFIX + inSize;
  HashChains chains{text.data(), end, HashBits(inSize, FAST_HASH_BITS)};
  // Only the last stretch of the spaces differs from a run of spaces.
  for (size_t p = PREFIX - SZDD_MAX_MATCH - 1; p < PREFIX; ++p) chains.Insert(p);

  size_t p = PREFIX;
  size_t dist = 0;
  unsigned len = 0;
  bool found = false;  // len/dist already hold the match at p
  while (p < end) {
    if (!found) len = chains.FindAndInsert(p, Limit(p, end), SZDD_MIN_MATCH - 1, &dist);
    found = false;
    if (len == 0) {
      w.Literal(text[p++]);
      continue;
    }
    size_t from = p + 1;  // first position inside the match not yet inserted
    if (len < FAST_LAZY && p + 1 < end) {
      // A literal now pays off when the match one byte later is longer.
      size_t nextDist = 0;
      const unsigned nextLen = chains.FindAndInsert(p + 1, Limit(p + 1, end), len, &nextDist);
      if (nextLen != 0) {
        w.Literal(text[p++]);
        len = nextLen;
        dist = nextDist;
        found = true;
        continue;
      }
      from = p + 2;
    }
    w.Reference(dist, len);
    for (size_t q = from; q < p + len; ++q) chains.Insert(q);
    p += len;
  }
}

// ---- Optimal: binary-tree match finder and a shortest-path parse ----------

constexpr unsigned TREE_HASH_BITS = 16;  // at most

// Binary search trees of the window's strings (compared on their first 18
// bytes), one tree per hash of the first three bytes.  Each new position
// becomes the root; the old tree is split around it on the way down, which
// passes both lexicographic neighbours of the new string, and one of them
// shares its longest prefix with it.  Every node is newer than its children,
// so a node that left the window ends the walk.
struct MatchTree {
  const uint8_t* text;
  size_t end;
  unsigned bits;
  std::vector<uint32_t> head = std::vector<uint32_t>(size_t{1} << bits, NONE);
  std::vector<uint32_t> son = std::vector<uint32_t>(2 * size_t{SLOTS}, NONE);

  // Inserts p and answers the longest match at p (0 when under 3 bytes).
  unsigned Insert(size_t p, size_t* dist) {
    const unsigned limit = Limit(p, end);
    if (limit < SZDD_MIN_MATCH) return 0;
    const uint8_t* cur = text + p;
    const uint32_t h = Hash3(cur, bits);
    uint32_t cand = head[h];
    head[h] = static_cast<uint32_t>(p);
    uint32_t* smaller = &son[2 * (p & SLOT_MASK)];
    uint32_t* larger = smaller + 1;
    unsigned lenSmaller = 0;
    unsigned lenLarger = 0;
    unsigned best = 0;
    for (;;) {
      if (cand == NONE || p - cand > WINDOW) {
        *smaller = NONE;
        *larger = NONE;
        break;
      }
      uint32_t* pair = &son[2 * (cand & SLOT_MASK)];
      const uint8_t* c = text + cand;
      unsigned len = lenSmaller < lenLarger ? lenSmaller : lenLarger;
      len += MatchLength(c + len, cur + len, limit - len);
      if (len > best) {
        best = len;
        *dist = p - cand;
      }
      if (len == limit) {
        // Same string: the new node takes the old one's place.
        *smaller = pair[0];
        *larger = pair[1];
        break;
      }
      if (c[len] < cur[len]) {
        *smaller = cand;
        smaller = pair + 1;
        cand = *smaller;
        lenSmaller = len;
      } else {
        *larger = cand;
        larger = pair;
        cand = *larger;
        lenLarger = len;
      }
    }
    return best >= SZDD_MIN_MATCH ? best : 0;
  }
};

void ParseOptimal(const uint8_t* in, size_t inSize, Writer& w) {
  const std::vector<uint8_t> text = VirtualText(in, inSize);
  MatchTree tree{text.data(), PREFIX + inSize, HashBits(inSize, TREE_HASH_BITS)};
  size_t unused;
  // Earlier positions of the spaces hold the same 18 bytes as the first one
  // here, which would replace them in the tree anyway.
  for (size_t p = PREFIX - SZDD_MAX_MATCH - 1; p < PREFIX; ++p) tree.Insert(p, &unused);

  // cost(i): fewest bits that expand to the first i bytes.  Any length
  // 3..longest is available from the longest match's source, so the longest
  // match per position is all the parse needs.  Minimum bits is minimum
  // bytes: size = ceil(bits / 8) and ceil is monotonic.  Only cost(i) up to
  // cost(i + 18) are alive at a time, hence the small ring of costs.
  constexpr size_t COSTS = 32;
  uint64_t cost[COSTS];
  for (uint64_t& c : cost) c = ~uint64_t{0};
  cost[0] = 0;
  // step*[j]: the item that ends at j on the cheapest way there.
  std::vector<uint8_t> stepLen(inSize + 1, 0);
  std::vector<uint16_t> stepDist(inSize + 1, 0);
  for (size_t i = 0; i < inSize; ++i) {
    size_t dist = 0;
    const unsigned longest = tree.Insert(PREFIX + i, &dist);
    const uint64_t here = cost[i % COSTS];
    cost[i % COSTS] = ~uint64_t{0};  // the slot now serves i + 32
    uint64_t& next = cost[(i + 1) % COSTS];
    if (here + LITERAL_BITS < next) {
      next = here + LITERAL_BITS;
      stepLen[i + 1] = 1;
    }
    for (unsigned len = SZDD_MIN_MATCH; len <= longest; ++len) {
      uint64_t& there = cost[(i + len) % COSTS];
      if (here + REFERENCE_BITS < there) {
        there = here + REFERENCE_BITS;
        stepLen[i + len] = static_cast<uint8_t>(len);
        stepDist[i + len] = static_cast<uint16_t>(dist);
      }
    }
  }

  // Walk back from the end and re-file each item under its start, in the
  // same arrays: an item's start is the end of the item before it, whose
  // entry is read before it is replaced.
  size_t j = inSize;
  unsigned len = stepLen[j];
  uint16_t dist = stepDist[j];
  while (j != 0) {
    const size_t start = j - len;
    const unsigned beforeLen = stepLen[start];
    const uint16_t beforeDist = stepDist[start];
    stepLen[start] = static_cast<uint8_t>(len);
    stepDist[start] = dist;
    j = start;
    len = beforeLen;
    dist = beforeDist;
  }
  for (size_t i = 0; i < inSize;) {
    const unsigned itemLen = stepLen[i];
    if (itemLen == 1) {
      w.Literal(in[i]);
    } else {
      w.Reference(stepDist[i], itemLen);
    }
    i += itemLen;
  }
}

}  // namespace

size_t SzddMaxEncodedSize(size_t inSize) {
  // Positions in the virtual text are numbered in 32 bits.
  if (inSize > SZDD_MAX_EXPANDED - 2 * PREFIX) return 0;
  const uint64_t bound = uint64_t{SZDD_HEADER_SIZE} + inSize + (uint64_t{inSize} + 7) / 8;
  if (bound > static_cast<size_t>(-1)) return 0;
  return static_cast<size_t>(bound);
}

size_t SzddEncode(const uint8_t* in, size_t inSize, uint8_t lastChar, SzddLevel level,
                  uint8_t* out, size_t outCapacity) {
  const size_t bound = SzddMaxEncodedSize(inSize);
  if (bound == 0 || outCapacity < bound) return 0;
  WriteHeader(out, lastChar, static_cast<uint32_t>(inSize));
  Writer w{out, SZDD_HEADER_SIZE, 0, 0, 0};
  if (level == SzddLevel::Optimal) {
    ParseOptimal(in, inSize, w);
  } else {
    ParseFast(in, inSize, w);
  }
  return w.pos;
}
