// Compression into the SZDD format, mode 'A', for building the installer's
// payloads on the host.  The whole input is held in memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/szdd_format.h"

enum class SzddLevel : uint8_t {
  // Greedy parse with one step of lookahead over a bounded hash chain.
  Fast,
  // The smallest file the format allows: a shortest-path parse over every
  // reference of length 3..18 inside the window, including references into
  // the ring's initial spaces and references overlapping their own output.
  Optimal,
};

// Output space that SzddEncode needs for inSize input bytes: header, one
// control byte per eight items, and every byte as a literal.  0 when inSize
// is above 4 GiB - 8 KiB (the header states at most 4 GiB - 1) or the bound
// does not fit in size_t.
size_t SzddMaxEncodedSize(size_t inSize);

// Writes a complete SZDD file (header with lastChar and inSize, then the
// stream) to out.  Answers the number of bytes written, or 0 when
// outCapacity is below SzddMaxEncodedSize(inSize) or that bound is 0.
// Working memory is allocated inside: about 4 bytes per input byte plus
// 320 KiB for Optimal, 1 byte per input byte plus 160 KiB for Fast.
size_t SzddEncode(const uint8_t* in, size_t inSize, uint8_t lastChar, SzddLevel level,
                  uint8_t* out, size_t outCapacity);
