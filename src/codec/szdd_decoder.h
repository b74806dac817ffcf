// Expansion of SZDD files (mode 'A'): a streaming decoder with bounded memory
// for file-to-file expansion, and a one-shot entry point for data already in
// memory.  Pure code: no allocation, no OS calls, no exceptions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/szdd_format.h"

enum class SzddStatus : uint8_t {
  Ok,                  // the stream expanded to exactly the header's size
  NeedInput,           // streaming: all input taken; feed more or signal the end
  OutputFull,          // streaming: output space used up; call again with more
  TruncatedHeader,     // the data ended inside the 14-byte header
  BadSignature,        // the first eight bytes are not the SZDD signature
  BadMode,             // the compression mode is not 'A'
  TruncatedReference,  // the data ended after the first byte of a reference
  SizeShort,           // the data ended before the header's size was produced
  SizeLong,            // the data holds items beyond the header's size
  OutputTooSmall,      // one-shot: the output buffer is smaller than the size
};

// A short English phrase for messages ("bad signature").
const char* SzddStatusText(SzddStatus status);

// Reads the header at the start of data.  Ok and *header filled when the
// 14 bytes are present and valid.  Bytes are judged in order, so a file that
// is shorter than the header but already differs from the signature (or mode)
// is BadSignature (BadMode), and TruncatedHeader means every byte present
// was right.
SzddStatus SzddReadHeader(const uint8_t* data, size_t size, SzddHeader* header);

// Expands a whole SZDD file held in memory into out (which must not overlap
// in).  outCapacity must be at
// least the header's expanded size (else OutputTooSmall, nothing written).
// *produced receives the number of valid bytes at out, also on failure.
// Nothing is written past the expanded size.
SzddStatus SzddDecodeBuffer(const uint8_t* in, size_t inSize, uint8_t* out,
                            size_t outCapacity, size_t* produced);

// Streaming decoder.  The caller points nextIn/availIn at input and
// nextOut/availOut at output space, calls SzddDecode, and the four fields
// move on past what was taken and given.  Input may be split anywhere, even
// inside the header or a reference.  The caller says endOfInput = true once
// the last input byte has been supplied (with that call or a later one); only
// then can the decoder tell a complete stream from a cut one, because "the
// data ends" means exactly that: no more input will come.
//
// Results: NeedInput (feed more), OutputFull (drain and call again), Ok (done,
// all output given), or an error.  Errors and Ok are final: later calls
// return them again.  Output never runs past the header's size: when the
// stream holds more, the decoder gives the items that fit in the size and
// then answers SizeLong.
//
// Memory: the whole state lives in this record (about 69 KiB: the 4096-byte
// history and a 64 KiB work area), whatever the size of the file.
constexpr size_t SZDD_DECODER_WORK = 64 * 1024;
constexpr size_t SZDD_DECODER_SLACK = 32;  // room for an item begun at the end

struct SzddDecoder {
  const uint8_t* nextIn;
  size_t availIn;
  uint8_t* nextOut;
  size_t availOut;

  // Totals since SzddDecoderInit.
  uint64_t totalIn;
  uint32_t totalOut;

  SzddHeader header;
  SzddStatus status;  // NeedInput while running, then the final outcome
  uint8_t headerBytes[SZDD_HEADER_SIZE];
  uint8_t headerHave;
  bool haveHeader;
  bool havePartial;  // first byte of a reference kept from the last input
  uint8_t partial;
  uint32_t control;  // bits of the current group still to use, above a 1 marker
  SzddStatus pendingError;  // reported once all output before it is given
  size_t decodePos;         // where the next byte is expanded, index into window
  size_t givePos;           // first expanded byte not yet given to the caller
  // window[0 .. 4096) is the history; expansion runs from 4096 up to the end
  // of the work area, then the last 4096 bytes slide to the front.
  uint8_t window[SZDD_RING_SIZE + SZDD_DECODER_WORK + SZDD_DECODER_SLACK];
};

void SzddDecoderInit(SzddDecoder* decoder);
SzddStatus SzddDecode(SzddDecoder* decoder, bool endOfInput);
