#include <gtest/gtest.h>

#include <memory>

#include "engine/szdd_decoder.h"
#include "reference_codec.h"

namespace {

struct Decoded {
  SzddStatus status;
  Bytes out;
};

// Heap blocks of exactly the size given: AddressSanitizer catches any access
// past them (a vector's spare capacity would hide it).
std::unique_ptr<uint8_t[]> Exact(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> block(new uint8_t[size == 0 ? 1 : size]);
  if (size != 0) std::memcpy(block.get(), data, size);
  return block;
}

Decoded OneShot(const Bytes& file, size_t extraCapacity = 0) {
  SzddHeader h{};
  size_t capacity = extraCapacity;
  if (SzddReadHeader(file.data(), file.size(), &h) == SzddStatus::Ok) capacity += h.expandedSize;
  const std::unique_ptr<uint8_t[]> in = Exact(file.data(), file.size());
  const Bytes zeros(capacity);
  const std::unique_ptr<uint8_t[]> out = Exact(zeros.data(), capacity);
  size_t produced = 0;
  const SzddStatus status = SzddDecodeBuffer(in.get(), file.size(), out.get(), capacity, &produced);
  EXPECT_LE(produced, capacity);
  return {status, Bytes(out.get(), out.get() + produced)};
}

// Feeds the file in chunks of 1..inMax bytes and takes output in pieces of
// 1..outMax bytes.
Decoded Streamed(const Bytes& file, std::mt19937& rng, size_t inMax, size_t outMax) {
  std::unique_ptr<SzddDecoder> d(new SzddDecoder);
  SzddDecoderInit(d.get());
  std::vector<uint8_t> piece(outMax);
  Decoded r{SzddStatus::NeedInput, {}};
  std::unique_ptr<uint8_t[]> chunk;
  size_t at = 0;
  for (;;) {
    if (d->availIn == 0 && at < file.size()) {
      const size_t n = std::min<size_t>(1 + rng() % inMax, file.size() - at);
      chunk = Exact(file.data() + at, n);
      d->nextIn = chunk.get();
      d->availIn = n;
      at += n;
    }
    const bool end = at == file.size();
    d->nextOut = piece.data();
    d->availOut = 1 + rng() % outMax;
    r.status = SzddDecode(d.get(), end);
    r.out.insert(r.out.end(), piece.data(), d->nextOut);
    if (r.status == SzddStatus::NeedInput) {
      EXPECT_FALSE(end);
      EXPECT_EQ(d->availIn, 0u);
      continue;
    }
    if (r.status != SzddStatus::OutputFull) break;
  }
  EXPECT_EQ(SzddDecode(d.get(), true), r.status) << "outcomes are final";
  EXPECT_EQ(d->totalOut, r.out.size());
  return r;
}

// Every way of expanding must agree: one shot, streamed in tiny pieces,
// streamed in big ones.
Decoded DecodeEveryWay(const Bytes& file, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  const Decoded one = OneShot(file);
  const Decoded tiny = Streamed(file, rng, 7, 7);
  const Decoded big = Streamed(file, rng, 70000, 200000);
  EXPECT_EQ(tiny.status, one.status);
  EXPECT_EQ(big.status, one.status);
  EXPECT_EQ(tiny.out, one.out);
  EXPECT_EQ(big.out, one.out);
  return one;
}

Bytes File(const Bytes& stream, uint32_t size) { return Cat(Header(size), stream); }

TEST(SzddDecoder, HandWorkedStreams) {
  // Three literals, then a reference overlapping its own output.
  const Bytes example = {0x53, 0x5A, 0x44, 0x44, 0x88, 0xF0, 0x27, 0x33, 0x41, 0x5F,
                         0x09, 0x00, 0x00, 0x00, 0x07, 0x61, 0x62, 0x63, 0xF0, 0xF3};
  Decoded d = DecodeEveryWay(example);
  EXPECT_EQ(d.status, SzddStatus::Ok);
  EXPECT_EQ(d.out, FromText("abcabcabc"));

  // A reference before any output reads the initial spaces.
  d = DecodeEveryWay(File({0x00, 0x00, 0x00}, 3));
  EXPECT_EQ(d.status, SzddStatus::Ok);
  EXPECT_EQ(d.out, FromText("   "));

  // Ring position one behind the write position repeats the last byte.
  d = DecodeEveryWay(File({0x01, 'x', 0xF0, 0xF1}, 5));
  EXPECT_EQ(d.out, FromText("xxxxx"));

  // Position 4094, length 5 reads 4094, 4095, 0, 1, 2: the bytes written
  // 14th to 18th after 4080.
  Bytes s = {0xFF, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0xFF, 'I', 'J', 'K', 'L', 'M', 'N',
             'O', 'P', 0x07, 'Q', 'R', 'S', 0xFE, 0xF2};
  d = DecodeEveryWay(File(s, 24));
  EXPECT_EQ(d.status, SzddStatus::Ok);
  EXPECT_EQ(d.out, FromText("ABCDEFGHIJKLMNOPQRSOPQRS"));

  // The same reference as the first item: spaces in 4094, 4095, 0, 1, 2.
  d = DecodeEveryWay(File({0x00, 0xFE, 0xF2}, 5));
  EXPECT_EQ(d.out, FromText("     "));

  // Last control byte with unused bits, and a control byte with no items.
  d = DecodeEveryWay(File({0xFF, 'a', 'b', 'c'}, 3));
  EXPECT_EQ(d.status, SzddStatus::Ok);
  EXPECT_EQ(d.out, FromText("abc"));
  EXPECT_EQ(DecodeEveryWay(File({0xFF, '1', '2', '3', '4', '5', '6', '7', '8', 0xFF}, 8)).status,
            SzddStatus::Ok);
  EXPECT_EQ(DecodeEveryWay(File({}, 0)).status, SzddStatus::Ok);
}

TEST(SzddDecoder, MalformedInputsHaveDistinctOutcomes) {
  const Bytes good = File({0x07, 'a', 'b', 'c', 0xF0, 0xF3}, 9);
  EXPECT_EQ(DecodeEveryWay(Bytes()).status, SzddStatus::TruncatedHeader);
  EXPECT_EQ(DecodeEveryWay(Bytes(good.begin(), good.begin() + 13)).status,
            SzddStatus::TruncatedHeader);
  EXPECT_EQ(DecodeEveryWay(FromText("hello")).status, SzddStatus::BadSignature);
  Bytes bad = good;
  bad[7] = 0x34;
  EXPECT_EQ(DecodeEveryWay(bad).status, SzddStatus::BadSignature);
  bad = good;
  bad[8] = 'B';
  EXPECT_EQ(DecodeEveryWay(bad).status, SzddStatus::BadMode);

  // One byte of a reference, also when the size is already reached.
  Decoded d = DecodeEveryWay(File({0x07, 'a', 'b', 'c', 0xF0}, 9));
  EXPECT_EQ(d.status, SzddStatus::TruncatedReference);
  EXPECT_EQ(d.out, FromText("abc"));
  EXPECT_EQ(DecodeEveryWay(File({0x03, 'a', 'b', 0xF0}, 2)).status, SzddStatus::TruncatedReference);

  d = DecodeEveryWay(File({0x07, 'a', 'b', 'c', 0xF0, 0xF3}, 10));
  EXPECT_EQ(d.status, SzddStatus::SizeShort);
  EXPECT_EQ(d.out, FromText("abcabcabc"));
  // Output stops before the first item that would pass the size.
  d = DecodeEveryWay(File({0x07, 'a', 'b', 'c', 0xF0, 0xF3}, 8));
  EXPECT_EQ(d.status, SzddStatus::SizeLong);
  EXPECT_EQ(d.out, FromText("abc"));
  EXPECT_EQ(DecodeEveryWay(File({0x03, 'a', 'b'}, 1)).status, SzddStatus::SizeLong);

  size_t produced = 99;
  uint8_t out[8];
  EXPECT_EQ(SzddDecodeBuffer(good.data(), good.size(), out, sizeof out, &produced),
            SzddStatus::OutputTooSmall);
  EXPECT_EQ(produced, 0u);
}

TEST(SzddDecoder, RandomStreamsMatchTheReferenceExpander) {
  std::mt19937 rng(20240607);
  for (int round = 0; round < 300; ++round) {
    // Some streams are long enough to slide the streaming window many times.
    const size_t items = round % 50 == 0 ? 40000 : rng() % 300;
    const Bytes stream = RandomStream(rng, items);
    const ReferenceResult ref = ReferenceExpand(stream.data(), stream.size());
    const Decoded d = DecodeEveryWay(File(stream, static_cast<uint32_t>(ref.out.size())), round);
    ASSERT_EQ(d.status, SzddStatus::Ok) << "round " << round;
    ASSERT_EQ(d.out, ref.out) << "round " << round;
    // Spare capacity lets the one-shot take its wide copies to the very end.
    ASSERT_EQ(OneShot(File(stream, static_cast<uint32_t>(ref.out.size())), 64).out, ref.out);

    // Cut anywhere: the reference tells what must come out and why it stops.
    const size_t cut = stream.empty() ? 0 : rng() % stream.size();
    const ReferenceResult part = ReferenceExpand(stream.data(), cut);
    const Decoded c = DecodeEveryWay(File(Bytes(stream.begin(), stream.begin() + cut),
                                          static_cast<uint32_t>(ref.out.size())), round);
    ASSERT_EQ(c.out, part.out) << "round " << round;
    const SzddStatus expected = part.endsInsideReference  ? SzddStatus::TruncatedReference
                                : part.out == ref.out ? SzddStatus::Ok
                                                      : SzddStatus::SizeShort;
    ASSERT_EQ(c.status, expected) << "round " << round;
  }
}

// Whole groups of the longest items right before the end of the data and of
// the output: the wide copies of the fast path must stay inside both.
TEST(SzddDecoder, WideCopiesStayInsideExactBuffers) {
  for (uint8_t b1 : {0x0F, 0xFF}) {  // ring position 0 or 4080, length 18
    for (size_t groups : {0, 1, 2, 3, 40}) {  // 40 groups pass the first 4096 bytes
      for (size_t tail = 0; tail < 20; ++tail) {
        Bytes s;
        for (size_t g = 0; g < groups; ++g) {
          s.push_back(0x00);
          for (int k = 0; k < 8; ++k) s.insert(s.end(), {b1 == 0x0F ? uint8_t{0} : uint8_t{0xF0}, b1});
        }
        for (size_t t = 0; t < tail; ++t) {
          if (t % 8 == 0) s.push_back(0xFF);
          s.push_back(static_cast<uint8_t>('a' + t));
        }
        const ReferenceResult ref = ReferenceExpand(s.data(), s.size());
        const Decoded d = DecodeEveryWay(File(s, static_cast<uint32_t>(ref.out.size())));
        ASSERT_EQ(d.status, SzddStatus::Ok);
        ASSERT_EQ(d.out, ref.out);
      }
    }
  }
}

TEST(SzddDecoder, StatusTextsNameTheProblem) {
  EXPECT_STREQ(SzddStatusText(SzddStatus::BadSignature), "not an SZDD file (bad signature)");
  EXPECT_STREQ(SzddStatusText(SzddStatus::SizeLong), "data runs past the stated size");
}

}  // namespace
