// The SZDD compressed file format, mode 'A': an LZSS stream behind a 14-byte
// header.  Every payload of the installer is one such file, and the host
// tool writes them; decoder and encoder share these constants so that the
// two sides can never disagree on the ring geometry.
//
//   offset 0   8 bytes  "SZDD" 88 F0 27 33
//   offset 8   1 byte   compression mode, 'A'
//   offset 9   1 byte   last character of the uncompressed file's name
//   offset 10  4 bytes  expanded size, unsigned little-endian
//   offset 14  ...      groups: a control byte, then up to eight items taken
//                       from bit 0 upward; a set bit is a literal byte, a
//                       clear bit a two-byte reference b0 b1 with
//                       ring position b0 | (b1 & 0xF0) << 4 and
//                       length (b1 & 0x0F) + 3.
//
// The ring holds 4096 bytes, starts filled with spaces, and the first output
// byte goes to ring position 4080.  References are copied one byte at a time,
// so a reference may overlap the bytes it produces.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t SZDD_HEADER_SIZE = 14;
constexpr uint8_t SZDD_SIGNATURE[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr uint8_t SZDD_MODE_A = 0x41;
constexpr size_t SZDD_OFFSET_MODE = 8;
constexpr size_t SZDD_OFFSET_LAST_CHAR = 9;
constexpr size_t SZDD_OFFSET_SIZE = 10;

constexpr unsigned SZDD_RING_SIZE = 4096;
constexpr unsigned SZDD_RING_MASK = SZDD_RING_SIZE - 1;
constexpr unsigned SZDD_RING_START = SZDD_RING_SIZE - 16;  // first write position
constexpr uint8_t SZDD_RING_FILL = 0x20;

constexpr unsigned SZDD_MIN_MATCH = 3;
constexpr unsigned SZDD_MAX_MATCH = 18;

// Largest expanded size the header can state.
constexpr uint32_t SZDD_MAX_EXPANDED = 0xFFFFFFFFu;

struct SzddHeader {
  uint8_t mode;
  uint8_t lastChar;
  uint32_t expandedSize;
};

// Ring position of a reference from its two bytes, and the back distance it
// means when the next output byte goes to ring position writePos: a distance
// of 1 repeats the previous byte, 4096 reads the cell about to be replaced.
inline unsigned SzddRingPosition(uint8_t b0, uint8_t b1) {
  return b0 | ((b1 & 0xF0u) << 4);
}
inline unsigned SzddMatchLength(uint8_t b1) { return (b1 & 0x0Fu) + SZDD_MIN_MATCH; }
inline unsigned SzddDistance(unsigned writePos, unsigned ringPos) {
  return ((writePos - ringPos - 1) & SZDD_RING_MASK) + 1;
}
