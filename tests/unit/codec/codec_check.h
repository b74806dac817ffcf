// For the codec tests and fuzzers: a deliberately plain expander (a ring, byte by byte) to check
// the fast one against, and the fast one run over heap blocks of exactly the sizes given, where
// AddressSanitizer sees any access past them (a vector's spare capacity would hide it).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "codec/szdd_decoder.h"

using Bytes = std::vector<uint8_t>;

struct ReferenceResult { Bytes out; bool endsInsideReference = false; };

// Expands the stream after the header; control has a marker bit above the items left.
inline ReferenceResult ReferenceExpand(const uint8_t* s, size_t n) {
  ReferenceResult r;
  Bytes ring(4096, ' ');
  unsigned w = 4080, control = 1;
  for (size_t i = 0; i < n; control >>= 1) {
    if (control == 1) {
      control = s[i++] | 0x100u;
      if (i == n) break;
    }
    if (control & 1) {
      r.out.push_back(ring[w++ % 4096] = s[i++]);
      continue;
    }
    r.endsInsideReference = i + 1 == n;
    if (r.endsInsideReference) break;
    unsigned pos = s[i] | (s[i + 1] & 0xF0) << 4, len = (s[i + 1] & 0x0F) + 3;
    i += 2;
    while (len-- > 0) r.out.push_back(ring[w++ % 4096] = ring[pos++ % 4096]);
  }
  return r;
}

inline std::unique_ptr<uint8_t[]> Exact(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> block(new uint8_t[size]);
  std::copy(data, data + size, block.get());
  return block;
}

struct Decoded {
  SzddStatus status;
  Bytes out;
  bool fair = true;  // no more given than room, outcomes final, totals right
};

// Into a block of the header's size and spareCapacity more.
inline Decoded OneShot(const Bytes& file, size_t spareCapacity = 0) {
  SzddHeader h{};
  const bool valid = SzddReadHeader(file.data(), file.size(), &h) == SzddStatus::Ok;
  const size_t capacity = spareCapacity + (valid ? h.expandedSize : 0);
  const std::unique_ptr<uint8_t[]> in = Exact(file.data(), file.size()), out(new uint8_t[capacity]);
  size_t produced = 0;
  const SzddStatus status = SzddDecodeBuffer(in.get(), file.size(), out.get(), capacity, &produced);
  return {status, Bytes(out.get(), out.get() + std::min(produced, capacity)), produced <= capacity};
}

// Feeds the file in chunks of piece(inMax) bytes and takes output in pieces
// of piece(outMax) bytes, 1..max each; input is asked for only when all is taken.
template <typename Piece>
Decoded Streamed(const Bytes& file, Piece piece, size_t inMax, size_t outMax) {
  std::unique_ptr<SzddDecoder> d(new SzddDecoder);
  SzddDecoderInit(d.get());
  Bytes room(outMax);
  std::unique_ptr<uint8_t[]> chunk;
  Decoded r{SzddStatus::NeedInput, {}, true};
  size_t at = 0;
  do {
    if (d->availIn == 0 && at < file.size()) {
      d->availIn = std::min<size_t>(piece(inMax), file.size() - at);
      chunk = Exact(file.data() + at, d->availIn);
      d->nextIn = chunk.get();
      at += d->availIn;
    }
    d->nextOut = room.data();
    d->availOut = piece(outMax);
    r.status = SzddDecode(d.get(), at == file.size());
    r.out.insert(r.out.end(), room.data(), d->nextOut);
    r.fair &= r.status != SzddStatus::NeedInput || d->availIn == 0;
  } while ((r.status == SzddStatus::NeedInput && at < file.size()) || r.status == SzddStatus::OutputFull);
  r.fair &= SzddDecode(d.get(), true) == r.status && d->totalOut == r.out.size();
  return r;
}
