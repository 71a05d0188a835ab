// The PNG codec of whichever build this is (libpng natively, WIC under
// Wine) against one table of expected pixels, written by
// data/png/make_corpus.py from the samples it encoded: both codecs must
// give exactly these pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "icon/PngCodec.h"
#include "icon/PngHeader.h"

namespace glyph::icon {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadData(const std::string& name) {
  std::ifstream in(std::string(GLYPH_PNG_DATA "/") + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::uint64_t Fnv1a64(const Bytes& bytes) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (std::uint8_t b : bytes) h = (h ^ b) * 0x100000001B3ull;
  return h;
}

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

void PutBe32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// rgba8.png with its header's fields replaced and the header CRC made good,
// so only our own limits can refuse it.
constexpr std::size_t kIhdrData = 16;
Bytes WithHeader(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t type) {
  Bytes b = ReadData("rgba8.png");
  PutBe32(b, kIhdrData, width);
  PutBe32(b, kIhdrData + 4, height);
  b[kIhdrData + 8] = depth;
  b[kIhdrData + 9] = type;
  PutBe32(b, kIhdrData + 13, Crc32(&b[kIhdrData - 4], 17));
  return b;
}

TEST(PngCodec, CorpusDecodesToTheExpectedPixels) {
  std::istringstream table(std::string([] {
    const Bytes t = ReadData("expected.txt");
    return std::string(t.begin(), t.end());
  }()));
  int files = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name, hash;
    int width = 0, height = 0;
    fields >> name >> width >> height >> hash;
    SCOPED_TRACE(name);
    RgbaImage image;
    std::string why;
    ASSERT_TRUE(DecodePng(ReadData(name), image, why)) << why;
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(width) * height * 4);
    EXPECT_EQ(std::stoull(hash, nullptr, 16), Fnv1a64(image.pixels));
    ++files;
  }
  EXPECT_GE(files, 40);
}

TEST(PngCodec, EncodeThenDecodeKeepsEveryPixelAndAlpha) {
  RgbaImage image;
  image.width = 37;
  image.height = 23;
  for (int i = 0; i < image.width * image.height; ++i) {
    // Colour under alpha 0 too: nothing may premultiply or drop it.
    const std::uint8_t px[4] = {static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(i * 13 + 5),
                                static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 11)};
    image.pixels.insert(image.pixels.end(), px, px + 4);
  }
  Bytes png;
  std::string why;
  ASSERT_TRUE(EncodePng(image, png, why)) << why;
  RgbaImage back;
  ASSERT_TRUE(DecodePng(png, back, why)) << why;
  EXPECT_EQ(back.width, image.width);
  EXPECT_EQ(back.height, image.height);
  EXPECT_EQ(back.pixels, image.pixels);
}

TEST(PngCodec, BadFilesAreRefusedWithAReason) {
  const Bytes good = ReadData("rgba8.png");
  auto cut = [&](std::size_t n) { return Bytes(good.begin(), good.begin() + n); };
  Bytes flipped = good;
  flipped[good.size() - 20] ^= 0x40;  // inside the image data: its CRC fails
  const struct {
    const char* what;
    Bytes bytes;
    const char* reason;  // a word the reason must hold; the codecs word their own
  } cases[] = {
      {"empty", {}, "signature"},
      {"not a PNG", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}, "signature"},
      {"signature only", cut(8), "header"},
      {"header cut", cut(20), "header"},
      {"no image data", cut(33), "image data"},
      {"image data cut", cut(good.size() / 2), ""},
      {"image data damaged", flipped, ""},
      {"side too long", WithHeader(kMaxPngSide + 1, 1, 8, 6), "largest side"},
      {"too many pixels", WithHeader(kMaxPngSide, kMaxPngSide, 8, 6), "at most"},
      {"more pixels than the data holds", WithHeader(4000, 4000, 8, 6), "too little image data"},
      {"zero width", WithHeader(0, 9, 8, 6), "empty"},
      {"16-bit palette", WithHeader(13, 9, 16, 3), "invalid"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RgbaImage image;
    std::string why;
    EXPECT_FALSE(DecodePng(c.bytes, image, why));
    EXPECT_FALSE(why.empty());
    EXPECT_NE(why.find(c.reason), std::string::npos) << why;
  }
}

TEST(PngCodec, EncodeRefusesImagesItCannotWrite) {
  const struct {
    int width, height;
    std::size_t bytes;
  } cases[] = {{0, 4, 0}, {4, 4, 63}, {kMaxPngSide + 1, 1, (kMaxPngSide + 1) * 4}};
  for (const auto& c : cases) {
    RgbaImage image{c.width, c.height, Bytes(c.bytes)};
    Bytes png;
    std::string why;
    EXPECT_FALSE(EncodePng(image, png, why)) << c.width << " x " << c.height;
    EXPECT_FALSE(why.empty());
  }
}

}  // namespace
}  // namespace glyph::icon
