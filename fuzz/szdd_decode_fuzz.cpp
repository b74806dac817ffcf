// Differential fuzzer of the expander: every input is taken as an SZDD file
// and expanded in one shot and streamed in pieces whose sizes come from the
// input itself; both must agree with the plain ring expander of the unit
// tests, and the sanitizers watch every access.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/szdd_decoder.h"
#include "reference_codec.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Sizes of input pieces and output room, 1..16, taken round from seed.
struct Pieces {
  const uint8_t* seed;
  size_t size;
  size_t at = 0;
  size_t Next() { return size == 0 ? 7 : 1 + seed[at++ % size] % 16; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SzddHeader header{};
  const SzddStatus headerStatus = SzddReadHeader(data, size, &header);

  // What the format says: the stream expanded item by item.
  ReferenceResult ref;
  SzddStatus expected = headerStatus;
  if (headerStatus == SzddStatus::Ok) {
    ref = ReferenceExpand(data + SZDD_HEADER_SIZE, size - SZDD_HEADER_SIZE);
    if (ref.out.size() > header.expandedSize) {
      expected = SzddStatus::SizeLong;
    } else if (ref.endsInsideReference) {
      expected = SzddStatus::TruncatedReference;
    } else if (ref.out.size() < header.expandedSize) {
      expected = SzddStatus::SizeShort;
    }
  }

  // One shot, into a block of exactly the stated size (when it is modest).
  if (headerStatus != SzddStatus::Ok || header.expandedSize <= (1u << 20)) {
    const size_t capacity = headerStatus == SzddStatus::Ok ? header.expandedSize : 0;
    std::unique_ptr<uint8_t[]> in(new uint8_t[size]);
    std::unique_ptr<uint8_t[]> out(new uint8_t[capacity]);
    if (size != 0) std::memcpy(in.get(), data, size);
    size_t produced = 0;
    const SzddStatus status = SzddDecodeBuffer(in.get(), size, out.get(), capacity, &produced);
    Check(status == expected);
    Check(produced <= ref.out.size());
    Check(std::equal(out.get(), out.get() + produced, ref.out.begin()));
    if (expected != SzddStatus::SizeLong) Check(produced == ref.out.size());
  }

  // Streamed in small pieces, whatever the stated size.
  std::unique_ptr<SzddDecoder> d(new SzddDecoder);
  SzddDecoderInit(d.get());
  Pieces pieces{data, size};
  size_t fed = 0;
  size_t given = 0;
  uint8_t room[16];
  SzddStatus status;
  for (;;) {
    if (d->availIn == 0 && fed < size) {
      d->nextIn = data + fed;
      d->availIn = std::min(pieces.Next(), size - fed);
      fed += d->availIn;
    }
    d->nextOut = room;
    d->availOut = pieces.Next();
    status = SzddDecode(d.get(), fed == size);
    const size_t n = static_cast<size_t>(d->nextOut - room);
    Check(given + n <= ref.out.size() || headerStatus != SzddStatus::Ok);
    if (headerStatus == SzddStatus::Ok) Check(std::equal(room, room + n, ref.out.begin() + given));
    given += n;
    if (status != SzddStatus::NeedInput && status != SzddStatus::OutputFull) break;
  }
  Check(status == expected);
  if (expected != SzddStatus::SizeLong) Check(given == ref.out.size());
  return 0;
}
