#include "engine/szdd_encoder.h"

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

std::vector<uint8_t> VirtualText(const uint8_t* in, size_t inSize) {
  std::vector<uint8_t> text(PREFIX + inSize);
  std::memset(text.data(), SZDD_RING_FILL, PREFIX);
  if (inSize != 0) std::memcpy(text.data() + PREFIX, in, inSize);
  return text;
}

// ---- Fast: hash chains, one step of lazy evaluation -----------------------

constexpr unsigned FAST_HASH_BITS = 15;
constexpr unsigned FAST_CHAIN = 24;  // candidates examined per position

struct HashChains {
  const uint8_t* text;
  size_t end;
  std::vector<uint32_t> head = std::vector<uint32_t>(size_t{1} << FAST_HASH_BITS, NONE);
  std::vector<uint32_t> prev = std::vector<uint32_t>(SLOTS, NONE);

  void Insert(size_t p) {
    if (end - p < SZDD_MIN_MATCH) return;
    const uint32_t h = Hash3(text + p, FAST_HASH_BITS);
    prev[p & SLOT_MASK] = head[h];
    head[h] = static_cast<uint32_t>(p);
  }

  // Longest match at p of at most limit bytes among the chain's first
  // candidates; 0 when none reaches 3.
  unsigned Find(size_t p, unsigned limit, size_t* dist) const {
    if (limit < SZDD_MIN_MATCH) return 0;
    const uint8_t* cur = text + p;
    unsigned best = SZDD_MIN_MATCH - 1;
    uint32_t cand = head[Hash3(cur, FAST_HASH_BITS)];
    for (unsigned tries = FAST_CHAIN; tries != 0 && cand != NONE && p - cand <= WINDOW; --tries) {
      const uint8_t* c = text + cand;
      if (c[best] == cur[best] && c[0] == cur[0]) {
        unsigned len = 0;
        while (len < limit && c[len] == cur[len]) ++len;
        if (len > best) {
          best = len;
          *dist = p - cand;
          if (len == limit) break;
        }
      }
      cand = prev[cand & SLOT_MASK];
    }
    return best >= SZDD_MIN_MATCH ? best : 0;
  }
};

inline unsigned Limit(size_t p, size_t end) {
  return end - p < SZDD_MAX_MATCH ? static_cast<unsigned>(end - p) : SZDD_MAX_MATCH;
}

void ParseFast(const uint8_t* in, size_t inSize, Writer& w) {
  const std::vector<uint8_t> text = VirtualText(in, inSize);
  const size_t end = text.size();
  HashChains chains{text.data(), end};
  // Only the last stretch of the spaces differs from a run of spaces.
  for (size_t p = PREFIX - SZDD_MAX_MATCH - 1; p < PREFIX; ++p) chains.Insert(p);

  size_t p = PREFIX;
  size_t dist = 0;
  unsigned len = 0;
  bool found = false;  // len/dist already hold the match at p
  while (p < end) {
    if (!found) {
      len = chains.Find(p, Limit(p, end), &dist);
      chains.Insert(p);
    }
    found = false;
    if (len == 0) {
      w.Literal(text[p++]);
      continue;
    }
    size_t from = p + 1;  // first position inside the match not yet inserted
    if (len < SZDD_MAX_MATCH && p + 1 < end) {
      size_t nextDist = 0;
      const unsigned nextLen = chains.Find(p + 1, Limit(p + 1, end), &nextDist);
      chains.Insert(p + 1);
      if (nextLen > len) {
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

constexpr unsigned TREE_HASH_BITS = 16;

// Binary search trees of the window's strings (compared on their first 18
// bytes), one tree per hash of the first three bytes.  Each new position
// becomes the root; the old tree is split around it on the way down, which
// passes both lexicographic neighbours of the new string, and one of them
// shares its longest prefix with it.  Every node is newer than its children,
// so a node that left the window ends the walk.
struct MatchTree {
  const uint8_t* text;
  size_t end;
  std::vector<uint32_t> head = std::vector<uint32_t>(size_t{1} << TREE_HASH_BITS, NONE);
  std::vector<uint32_t> son = std::vector<uint32_t>(2 * size_t{SLOTS}, NONE);

  // Inserts p and answers the longest match at p (0 when under 3 bytes).
  unsigned Insert(size_t p, size_t* dist) {
    const unsigned limit = Limit(p, end);
    if (limit < SZDD_MIN_MATCH) return 0;
    const uint8_t* cur = text + p;
    const uint32_t h = Hash3(cur, TREE_HASH_BITS);
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
      while (len < limit && c[len] == cur[len]) ++len;
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
  MatchTree tree{text.data(), text.size()};
  size_t unused;
  for (size_t p = 0; p < PREFIX; ++p) tree.Insert(p, &unused);

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
  if (inSize > SZDD_MAX_EXPANDED) return 0;
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
