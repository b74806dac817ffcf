#include "codec/szdd_decoder.h"

#include <cstring>

// The expander works on a flat output buffer instead of a 4096-byte ring: the
// ring position of a reference becomes a distance back from the output
// position, and the bytes the ring would hold are simply the last 4096 bytes
// of output.  That turns most references into a couple of fixed-size memcpy
// calls.  Two things keep it equal to the byte-by-byte definition:
//  - a reference closer than the width of a wide copy overlaps what it
//    produces, so it is expanded as a repeated pattern;
//  - a reference reaching before the first output byte reads cells the ring
//    never received, which still hold their initial space.

namespace {

// Bounds of one group (control byte + 8 items) on the fast path: it takes at
// most 1 + 8 * 2 input bytes and makes at most 8 * 18 output bytes, but its
// copies are wider than the items: a reference is written as 18 bytes, a run
// of literals as 8 bytes read and written at once, and the run after the last
// reference may be empty.
constexpr size_t GROUP_MAX_IN = 1 + 8 * 2 + 8;
constexpr size_t GROUP_MAX_OUT = 8 * SZDD_MAX_MATCH + 8;
constexpr uint32_t CONTROL_EMPTY = 1;  // marker bit only: next byte is a control byte

enum class Stop {
  Input,       // no complete item left (0 bytes, or 1 byte of a reference)
  StartLimit,  // the next item would start at or after startLimit
  EndLimit,    // the next item would end after endLimit
};

struct Run {
  const uint8_t* ip;
  const uint8_t* iend;
  uint8_t* op;
  const uint8_t* base;   // output before base is the ring's initial fill
  uintptr_t startLimit;  // soft: where the caller wants to regain control
  uintptr_t endLimit;    // hard: the header's size, or the end of memory
  uintptr_t ringBias;    // ring write position = (address of op + ringBias) & mask
  uint32_t control;
};

// Exact copy, one byte after the other, including cells before base.
inline void CopyExact(uint8_t* op, size_t dist, unsigned len, const uint8_t* base) {
  const size_t behind = static_cast<size_t>(op - base);
  for (unsigned k = 0; k < len; ++k) {
    op[k] = (dist > behind + k) ? SZDD_RING_FILL : *(op + k - dist);
  }
}

// A reference closer than 8 bytes repeats a pattern of dist bytes.  Written
// as 18 bytes whatever its length; the bytes after its end are scratch that
// later output replaces.
inline void CopyPeriodic(uint8_t* op, size_t dist) {
  if (dist == 1) {
    std::memset(op, op[-1], SZDD_MAX_MATCH);
    return;
  }
  // Unfold the pattern to 8 bytes one by one, then copy blocks from a whole
  // number of periods back, at least 8 bytes back so that no block reads
  // what it writes.
  const uint8_t* src = op - dist;
  for (unsigned k = 0; k < 8; ++k) op[k] = src[k];
  const size_t back = (8 + dist - 1) / dist * dist;
  std::memcpy(op + 8, op + 8 - back, 8);
  std::memcpy(op + 16, op + 16 - back, 2);
}

template <bool kCheckBase>
Stop Expand(Run& run) {
  const uint8_t* ip = run.ip;
  const uint8_t* const iend = run.iend;
  uint8_t* op = run.op;
  const uint8_t* const base = run.base;
  const uintptr_t ringBias = run.ringBias;
  uint32_t control = run.control;

  const uintptr_t fastEnd = run.startLimit < run.endLimit ? run.startLimit : run.endLimit;

  Stop stop;
  for (;;) {
    if (control == CONTROL_EMPTY) {
      if (static_cast<size_t>(iend - ip) >= GROUP_MAX_IN &&
          reinterpret_cast<uintptr_t>(op) + GROUP_MAX_OUT <= fastEnd) {
        // Literals come in runs; each run is one 8-byte copy (a run has at
        // most 7 literals before a reference, 8 without), so the work is
        // per reference, not per item.
        unsigned refs = ~static_cast<unsigned>(*ip++) & 0xFFu;
        unsigned item = 0;
        while (refs != 0) {
          const unsigned at = static_cast<unsigned>(__builtin_ctz(refs));
          refs &= refs - 1;
          std::memcpy(op, ip, 8);
          op += at - item;
          ip += at - item;
          item = at + 1;
          const uint8_t b1 = ip[1];
          const uintptr_t opAt = reinterpret_cast<uintptr_t>(op);
          const size_t dist = SzddDistance(static_cast<unsigned>(opAt + ringBias) & SZDD_RING_MASK,
                                           SzddRingPosition(ip[0], b1));
          const unsigned len = SzddMatchLength(b1);
          ip += 2;
          if (kCheckBase && dist > opAt - reinterpret_cast<uintptr_t>(base)) {
            CopyExact(op, dist, len, base);
          } else if (dist >= 8) {
            // 8-byte blocks never read what they write.
            std::memcpy(op, op - dist, 8);
            std::memcpy(op + 8, op - dist + 8, 8);
            std::memcpy(op + 16, op - dist + 16, 2);
          } else {
            CopyPeriodic(op, dist);
          }
          op += len;
        }
        std::memcpy(op, ip, 8);
        op += 8 - item;
        ip += 8 - item;
        continue;
      }
      if (ip == iend) {
        stop = Stop::Input;
        break;
      }
      control = 0x100u | *ip++;
    }
    if (ip == iend) {
      stop = Stop::Input;
      break;
    }
    const uintptr_t at = reinterpret_cast<uintptr_t>(op);
    if (control & 1) {
      if (at + 1 > run.endLimit) {
        stop = Stop::EndLimit;
        break;
      }
      if (at >= run.startLimit) {
        stop = Stop::StartLimit;
        break;
      }
      *op++ = *ip++;
    } else {
      if (iend - ip < 2) {
        stop = Stop::Input;
        break;
      }
      const unsigned len = SzddMatchLength(ip[1]);
      if (at + len > run.endLimit) {
        stop = Stop::EndLimit;
        break;
      }
      if (at >= run.startLimit) {
        stop = Stop::StartLimit;
        break;
      }
      const unsigned writePos = static_cast<unsigned>(at + ringBias) & SZDD_RING_MASK;
      CopyExact(op, SzddDistance(writePos, SzddRingPosition(ip[0], ip[1])), len, base);
      op += len;
      ip += 2;
    }
    control >>= 1;
  }
  run.ip = ip;
  run.op = op;
  run.control = control;
  return stop;
}

SzddStatus Finish(SzddDecoder* d, SzddStatus status) {
  d->status = status;
  return status;
}

void Give(SzddDecoder* d) {
  size_t n = d->decodePos - d->givePos;
  if (n > d->availOut) n = d->availOut;
  if (n == 0) return;
  std::memcpy(d->nextOut, d->window + d->givePos, n);
  d->givePos += n;
  d->nextOut += n;
  d->availOut -= n;
}

// Expands [ip, iend) into the work area; answers how far it got.
Stop ExpandStreamed(SzddDecoder* d, const uint8_t*& ip, const uint8_t* iend) {
  uint8_t* op = d->window + d->decodePos;
  const uintptr_t opAt = reinterpret_cast<uintptr_t>(op);
  const uintptr_t physEnd = reinterpret_cast<uintptr_t>(d->window + sizeof d->window);
  const uint32_t left = d->header.expandedSize - d->totalOut;
  Run run;
  run.ip = ip;
  run.iend = iend;
  run.op = op;
  run.base = d->window;
  run.startLimit = reinterpret_cast<uintptr_t>(d->window + SZDD_RING_SIZE + SZDD_DECODER_WORK);
  // Items start only inside the work area, so the slack after it always has
  // room for the last one: the size is the only hard limit.
  run.endLimit = (physEnd - opAt < left) ? UINTPTR_MAX : opAt + left;
  run.ringBias = SZDD_RING_START + d->totalOut - opAt;
  run.control = d->control;
  const Stop stop = Expand<false>(run);
  d->totalOut += static_cast<uint32_t>(run.op - op);
  d->decodePos += static_cast<size_t>(run.op - op);
  d->control = run.control;
  ip = run.ip;
  return stop;
}

}  // namespace

const char* SzddStatusText(SzddStatus status) {
  switch (status) {
    case SzddStatus::Ok: return "ok";
    case SzddStatus::NeedInput: return "more input needed";
    case SzddStatus::OutputFull: return "output space full";
    case SzddStatus::TruncatedHeader: return "file shorter than the SZDD header";
    case SzddStatus::BadSignature: return "not an SZDD file (bad signature)";
    case SzddStatus::BadMode: return "unsupported compression mode (not 'A')";
    case SzddStatus::TruncatedReference: return "data ends inside a reference";
    case SzddStatus::SizeShort: return "data ends before the stated size";
    case SzddStatus::SizeLong: return "data runs past the stated size";
    case SzddStatus::OutputTooSmall: return "output buffer smaller than the stated size";
  }
  return "unknown status";
}

SzddStatus SzddReadHeader(const uint8_t* data, size_t size, SzddHeader* header) {
  for (size_t i = 0; i < sizeof SZDD_SIGNATURE; ++i) {
    if (i == size) return SzddStatus::TruncatedHeader;
    if (data[i] != SZDD_SIGNATURE[i]) return SzddStatus::BadSignature;
  }
  if (size <= SZDD_OFFSET_MODE) return SzddStatus::TruncatedHeader;
  if (data[SZDD_OFFSET_MODE] != SZDD_MODE_A) return SzddStatus::BadMode;
  if (size < SZDD_HEADER_SIZE) return SzddStatus::TruncatedHeader;
  header->mode = data[SZDD_OFFSET_MODE];
  header->lastChar = data[SZDD_OFFSET_LAST_CHAR];
  const uint8_t* s = data + SZDD_OFFSET_SIZE;
  header->expandedSize = static_cast<uint32_t>(s[0]) | static_cast<uint32_t>(s[1]) << 8 |
                         static_cast<uint32_t>(s[2]) << 16 | static_cast<uint32_t>(s[3]) << 24;
  return SzddStatus::Ok;
}

SzddStatus SzddDecodeBuffer(const uint8_t* in, size_t inSize, uint8_t* out,
                            size_t outCapacity, size_t* produced) {
  *produced = 0;
  SzddHeader header;
  const SzddStatus status = SzddReadHeader(in, inSize, &header);
  if (status != SzddStatus::Ok) return status;
  if (outCapacity < header.expandedSize) return SzddStatus::OutputTooSmall;

  // Until 4096 bytes exist, a reference may reach before out and must be
  // checked; after that every distance lands inside out.
  const uintptr_t outAt = reinterpret_cast<uintptr_t>(out);
  Run run;
  run.ip = in + SZDD_HEADER_SIZE;
  run.iend = in + inSize;
  run.op = out;
  run.base = out;
  run.startLimit = outAt + SZDD_RING_SIZE;
  run.endLimit = outAt + header.expandedSize;
  run.ringBias = SZDD_RING_START - outAt;
  run.control = CONTROL_EMPTY;
  Stop stop = Expand<true>(run);
  if (stop == Stop::StartLimit) {
    run.startLimit = run.endLimit;
    stop = Expand<false>(run);
  }
  *produced = static_cast<size_t>(run.op - out);
  if (stop == Stop::EndLimit) return SzddStatus::SizeLong;
  if (run.ip != run.iend) return SzddStatus::TruncatedReference;
  if (*produced != header.expandedSize) return SzddStatus::SizeShort;
  return SzddStatus::Ok;
}

void SzddDecoderInit(SzddDecoder* d) {
  d->nextIn = nullptr;
  d->availIn = 0;
  d->nextOut = nullptr;
  d->availOut = 0;
  d->totalIn = 0;
  d->totalOut = 0;
  d->header = SzddHeader{0, 0, 0};
  d->status = SzddStatus::NeedInput;
  d->headerHave = 0;
  d->haveHeader = false;
  d->havePartial = false;
  d->partial = 0;
  d->control = CONTROL_EMPTY;
  d->pendingError = SzddStatus::NeedInput;
  d->decodePos = SZDD_RING_SIZE;
  d->givePos = SZDD_RING_SIZE;
  std::memset(d->window, SZDD_RING_FILL, SZDD_RING_SIZE);
}

SzddStatus SzddDecode(SzddDecoder* d, bool endOfInput) {
  if (d->status != SzddStatus::NeedInput && d->status != SzddStatus::OutputFull) {
    return d->status;
  }

  while (!d->haveHeader) {
    if (d->availIn == 0) {
      if (endOfInput) return Finish(d, SzddStatus::TruncatedHeader);
      return Finish(d, SzddStatus::NeedInput);
    }
    d->headerBytes[d->headerHave++] = *d->nextIn++;
    --d->availIn;
    ++d->totalIn;
    const SzddStatus header = SzddReadHeader(d->headerBytes, d->headerHave, &d->header);
    if (header == SzddStatus::Ok) {
      d->haveHeader = true;
    } else if (header != SzddStatus::TruncatedHeader) {
      return Finish(d, header);
    }
  }

  for (;;) {
    Give(d);
    if (d->givePos < d->decodePos) return Finish(d, SzddStatus::OutputFull);
    if (d->pendingError != SzddStatus::NeedInput) return Finish(d, d->pendingError);
    if (d->decodePos >= SZDD_RING_SIZE + SZDD_DECODER_WORK) {
      std::memmove(d->window, d->window + d->decodePos - SZDD_RING_SIZE, SZDD_RING_SIZE);
      d->decodePos = SZDD_RING_SIZE;
      d->givePos = SZDD_RING_SIZE;
    }

    Stop stop;
    if (d->havePartial) {
      // The reference split between two inputs: expand it from a copy.
      if (d->availIn == 0) break;
      const uint8_t pair[2] = {d->partial, *d->nextIn};
      const uint8_t* ip = pair;
      stop = ExpandStreamed(d, ip, pair + 2);
      if (ip == pair + 2) {
        d->havePartial = false;
        ++d->nextIn;
        --d->availIn;
        ++d->totalIn;
      }
    } else {
      const uint8_t* ip = d->nextIn;
      stop = ExpandStreamed(d, ip, d->nextIn + d->availIn);
      const size_t taken = static_cast<size_t>(ip - d->nextIn);
      d->nextIn = ip;
      d->availIn -= taken;
      d->totalIn += taken;
      if (stop == Stop::Input) {
        if (d->availIn == 1) {  // only the first byte of a reference is left
          d->partial = *d->nextIn++;
          d->availIn = 0;
          d->havePartial = true;
          ++d->totalIn;
        }
        Give(d);
        break;
      }
    }
    if (stop == Stop::EndLimit) d->pendingError = SzddStatus::SizeLong;
  }

  if (d->givePos < d->decodePos) return Finish(d, SzddStatus::OutputFull);
  if (!endOfInput) return Finish(d, SzddStatus::NeedInput);
  if (d->havePartial) return Finish(d, SzddStatus::TruncatedReference);
  if (d->totalOut != d->header.expandedSize) return Finish(d, SzddStatus::SizeShort);
  return Finish(d, SzddStatus::Ok);
}
