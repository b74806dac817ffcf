// Round trip at both levels: every input comes back unchanged through the
// one-shot and the streaming expander, and the optimal level is never larger.
#include <cstdlib>

#include "codec_check.h"
#include "szdd_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes in(data, data + size);
  const size_t bound = SzddMaxEncodedSize(size);
  size_t sizes[2];
  for (SzddLevel level : {SzddLevel::Fast, SzddLevel::Optimal}) {
    const std::unique_ptr<uint8_t[]> packed(new uint8_t[bound]);
    const size_t n = SzddEncode(data, size, 'x', level, packed.get(), bound);
    if (n < SZDD_HEADER_SIZE || n > bound) std::abort();
    sizes[level == SzddLevel::Optimal] = n;
    // Streamed as one input into exactly the room the output needs.
    const Bytes file(packed.get(), packed.get() + n);
    const auto whole = [](size_t max) { return max; };
    for (const Decoded& d : {OneShot(file), Streamed(file, whole, n, std::max<size_t>(size, 1))}) {
      if (!d.fair || d.status != SzddStatus::Ok || d.out != in) std::abort();
    }
  }
  if (sizes[1] > sizes[0]) std::abort();
  return 0;
}
