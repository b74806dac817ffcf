// Differential fuzzer of the expander: every input, taken as an SZDD file and
// expanded in one shot and streamed in pieces sized by the input itself, must
// come out as the plain ring expander has it, with the sanitizers watching.
#include <cstdlib>

#include "codec_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes file(data, data + size);
  SzddHeader header{};
  const SzddStatus headerStatus = SzddReadHeader(data, size, &header);
  const bool valid = headerStatus == SzddStatus::Ok;
  const ReferenceResult ref =
      valid ? ReferenceExpand(data + SZDD_HEADER_SIZE, size - SZDD_HEADER_SIZE) : ReferenceResult();
  const SzddStatus expected = !valid                                 ? headerStatus
                              : ref.out.size() > header.expandedSize ? SzddStatus::SizeLong
                              : ref.endsInsideReference              ? SzddStatus::TruncatedReference
                              : ref.out.size() < header.expandedSize ? SzddStatus::SizeShort
                                                                     : SzddStatus::Ok;
  // All of the reference's output or, when the data runs past the stated size, a part within it.
  const auto right = [&](const Decoded& d) {
    const bool part = expected == SzddStatus::SizeLong && d.out.size() <= header.expandedSize;
    return d.fair && d.status == expected && (part || d.out.size() == ref.out.size()) &&
           std::equal(d.out.begin(), d.out.end(), ref.out.begin());
  };
  // One shot into a block of exactly the stated size (when modest), streamed in pieces of 1..16 bytes.
  const bool oneShotRight = (valid && header.expandedSize > (1u << 20)) || right(OneShot(file));
  size_t pick = 0;
  const auto piece = [&](size_t) -> size_t { return size == 0 ? 7 : 1 + data[pick++ % size] % 16; };
  if (!oneShotRight || !right(Streamed(file, piece, 16, 16))) std::abort();
  return 0;
}
