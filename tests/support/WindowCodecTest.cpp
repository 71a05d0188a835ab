#include "support/WindowCodec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace support {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Of(const std::string& s) { return Bytes(s.begin(), s.end()); }

WindowResult Decode(const Bytes& stream, size_t capacity, Bytes* out) {
  out->assign(capacity, 0xCC);
  size_t produced = 0;
  const WindowResult r =
      WindowDecompress(stream.data(), stream.size(), out->data(), capacity, &produced, nullptr);
  out->resize(produced);
  return r;
}

TEST(WindowCodecTest, EndMarkAloneDecodesToNothing) {
  // Control bits 0 and 1, the bytes 0 and 0, a zero length byte.
  const Bytes stream = {0x02, 0x00, 0x00, 0x00, 0x00};
  Bytes out;
  EXPECT_EQ(Decode(stream, 0, &out), WindowResult::kOk);
  EXPECT_TRUE(out.empty());
}

TEST(WindowCodecTest, ExactStreams) {
  // "aaaaa": a literal, then a short copy of 4 from distance 1, then the end.
  EXPECT_EQ(WindowCompress(Of("aaaaa").data(), 5, nullptr), (Bytes{0x49, 0x00, 'a', 0xFF, 0x01, 0x00, 0x00}));
  EXPECT_EQ(WindowCompress(nullptr, 0, nullptr), (Bytes{0x02, 0x00, 0x01, 0x00, 0x00}));

  // Hand-made: literals x y, a long copy (distance 2, length 9 in h & 7),
  // a long copy with an extra length byte (distance 1, length 20), a filler.
  // Bits: 1 1 | 0 1 | 0 1 | 0 1 | 0 1 (end): 0b01_01_01_01_11 read lowest first.
  Bytes stream = {0xAB, 0x02, 'x', 'y'};
  const unsigned longBack2 = 8192 - 2, longBack1 = 8192 - 1;
  stream.insert(stream.end(), {uint8_t(longBack2 & 0xFF), uint8_t(((longBack2 >> 8) << 3) | 7)});
  stream.insert(stream.end(), {uint8_t(longBack1 & 0xFF), uint8_t((longBack1 >> 8) << 3), 19});
  stream.insert(stream.end(), {0, 0, 1});
  stream.insert(stream.end(), {0, 0, 0});
  Bytes out;
  ASSERT_EQ(Decode(stream, 100, &out), WindowResult::kOk);
  EXPECT_EQ(std::string(out.begin(), out.end()), "xyxyxyxyxyx" + std::string(20, 'x'));
}

Bytes Sample(const std::string& kind, size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes data(size);
  if (kind == "random") {
    for (auto& b : data) b = static_cast<uint8_t>(rng());
  } else if (kind == "run") {
    std::fill(data.begin(), data.end(), 'z');
  } else if (kind == "period") {
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>("abc"[i % 3]);
  } else if (kind == "text") {
    const char* words[] = {"skin ", "button ", "=", "[Screen]\r\n", "Width", "320", "\r\n", "trackbar "};
    data.clear();
    while (data.size() < size) {
      const char* w = words[rng() % 8];
      data.insert(data.end(), w, w + std::char_traits<char>::length(w));
    }
    data.resize(size);
  } else if (kind == "far") {
    // A block repeated exactly 8192 bytes later, and again 8193 later.
    for (auto& b : data) b = static_cast<uint8_t>(rng());
    for (size_t i = 8192; i < size; ++i) data[i] = data[i - 8192 - ((i / 20000) & 1)];
  } else if (kind == "two") {
    for (auto& b : data) b = static_cast<uint8_t>(rng() & 1);
  }
  return data;
}

TEST(WindowCodecTest, RoundTrips) {
  int progressCalls = 0;
  static int* counter = nullptr;
  counter = &progressCalls;
  for (const char* kind : {"random", "run", "period", "text", "far", "two"}) {
    for (size_t size : {size_t{1}, size_t{2}, size_t{3}, size_t{17}, size_t{300}, size_t{70000}}) {
      SCOPED_TRACE(std::string(kind) + " " + std::to_string(size));
      const Bytes data = Sample(kind, size, static_cast<uint32_t>(size));
      const Bytes packed = WindowCompress(data.data(), data.size(), [] { ++*counter; });
      Bytes out;
      ASSERT_EQ(Decode(packed, data.size(), &out), WindowResult::kOk);
      EXPECT_EQ(out, data);
      if (std::string(kind) == "run" && size == 70000) {
        EXPECT_LT(packed.size(), 1000u);
      }
      if (std::string(kind) == "random") {
        EXPECT_LE(packed.size(), size + size / 8 + 8);
      }
    }
  }
  EXPECT_GT(progressCalls, 0);
}

TEST(WindowCodecTest, CorruptStreamsStayInsideTheirArrays) {
  const Bytes data = Sample("text", 5000, 7);
  const Bytes packed = WindowCompress(data.data(), data.size(), nullptr);
  Bytes out;
  // Every truncation: never the full output, never a read past the end.
  for (size_t cut = 0; cut < packed.size(); cut += 7) {
    const Bytes part(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_NE(Decode(part, data.size(), &out), WindowResult::kOk) << cut;
  }
  EXPECT_EQ(Decode(packed, data.size() - 1, &out), WindowResult::kOverrun);
  // A copy that reaches before the first byte.
  EXPECT_EQ(Decode({0x01, 0x00, 'a', 0xF0}, 10, &out), WindowResult::kBadDistance);
  // Flipped bytes: any result, no crash (the sanitizers watch).
  std::mt19937 rng(1);
  for (int i = 0; i < 2000; ++i) {
    Bytes bad = packed;
    bad[rng() % bad.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
    Decode(bad, data.size(), &out);
  }
}

}  // namespace
}  // namespace support
