// Round trip at both levels: every input comes back unchanged, through the
// one-shot and the streaming expander, and the optimal level is never the
// larger.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/szdd_decoder.h"
#include "engine/szdd_encoder.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const size_t bound = SzddMaxEncodedSize(size);
  size_t sizes[2];
  for (SzddLevel level : {SzddLevel::Fast, SzddLevel::Optimal}) {
    std::unique_ptr<uint8_t[]> packed(new uint8_t[bound]);
    const size_t n = SzddEncode(data, size, 'x', level, packed.get(), bound);
    Check(n >= SZDD_HEADER_SIZE && n <= bound);
    sizes[level == SzddLevel::Optimal] = n;

    std::unique_ptr<uint8_t[]> out(new uint8_t[size]);
    size_t produced = 0;
    Check(SzddDecodeBuffer(packed.get(), n, out.get(), size, &produced) == SzddStatus::Ok);
    Check(produced == size && (size == 0 || std::memcmp(out.get(), data, size) == 0));

    std::unique_ptr<SzddDecoder> d(new SzddDecoder);
    SzddDecoderInit(d.get());
    d->nextIn = packed.get();
    d->availIn = n;
    d->nextOut = out.get();
    d->availOut = size;
    Check(SzddDecode(d.get(), true) == SzddStatus::Ok);
    Check(d->totalOut == size && std::memcmp(out.get(), data, size) == 0);
  }
  Check(sizes[1] <= sizes[0]);
  return 0;
}
