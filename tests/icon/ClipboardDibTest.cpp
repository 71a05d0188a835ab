// Packed DIBs as programs put them on the clipboard, read and written.
#include "icon/ClipboardDib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/BmpFormat.h"

namespace glyph::icon {
namespace {

// A packed DIB built field by field: the header, the masks after a 40-byte
// header (or inside a longer one), the colour table, then the rows as given.
struct Dib {
  uint32_t headerSize = 40;
  int32_t width = 2, height = 2;
  uint16_t bits = 32;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  uint32_t imageSize = 0;
  std::vector<uint32_t> masks;  // red, green, blue[, alpha]
  std::vector<uint32_t> palette;
  std::vector<uint8_t> rows;

  std::vector<uint8_t> Bytes() const {
    // Room for the 40-byte header's fields even when the header claims less.
    std::vector<uint8_t> out(std::max<size_t>(headerSize, 40), 0);
    StoreU32(out.data(), headerSize);
    StoreU32(out.data() + 4, static_cast<uint32_t>(width));
    StoreU32(out.data() + 8, static_cast<uint32_t>(height));
    StoreU16(out.data() + 12, 1);
    StoreU16(out.data() + 14, bits);
    StoreU32(out.data() + 16, compression);
    StoreU32(out.data() + 20, imageSize);
    StoreU32(out.data() + 32, colorsUsed);
    auto put = [&out](uint32_t v) {
      out.resize(out.size() + 4);
      StoreU32(out.data() + out.size() - 4, v);
    };
    out.resize(headerSize);
    if (headerSize == 40) {
      for (uint32_t m : masks) put(m);
    } else {
      for (size_t i = 0; i < masks.size(); ++i) StoreU32(out.data() + 40 + 4 * i, masks[i]);
    }
    for (uint32_t c : palette) put(c);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
  }
};

using Rgba = std::vector<uint8_t>;  // the 2 x 2 picture top-down, R G B A

TEST(ClipboardDibTest, ReadsEveryDepthAndRowOrder) {
  const struct {
    const char* name;
    Dib dib;
    Rgba expected;
  } cases[] = {
      // Bottom-up: the first row in the bytes is the picture's last.
      {"32 bits, straight alpha kept",
       {.rows = {1, 2, 3, 0, 4, 5, 6, 128, 7, 8, 9, 255, 10, 11, 12, 1}},
       {9, 8, 7, 255, 12, 11, 10, 1, 3, 2, 1, 0, 6, 5, 4, 128}},
      {"32 bits, alpha 0 everywhere is opaque",
       {.rows = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}},
       {9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255}},
      {"32 bits, 8-8-8 fields after a 40-byte header, alpha in the top byte",
       {.compression = 3,
        .masks = {0xFF0000, 0xFF00, 0xFF},
        .rows = {1, 2, 3, 0, 4, 5, 6, 64, 7, 8, 9, 255, 10, 11, 12, 1}},
       {9, 8, 7, 255, 12, 11, 10, 1, 3, 2, 1, 0, 6, 5, 4, 64}},
      {"32 bits, V5 header with an alpha mask, top-down",
       {.headerSize = 124,
        .height = -2,
        .compression = 3,
        .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
        .rows = {1, 2, 3, 0, 4, 5, 6, 64, 7, 8, 9, 255, 10, 11, 12, 1}},
       {3, 2, 1, 0, 6, 5, 4, 64, 9, 8, 7, 255, 12, 11, 10, 1}},
      {"24 bits top-down, rows padded to 4 bytes",
       {.height = -2, .bits = 24, .rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
       {3, 2, 1, 255, 6, 5, 4, 255, 9, 8, 7, 255, 12, 11, 10, 255}},
      {"24 bits behind a colour table of its own",
       {.bits = 24,
        .colorsUsed = 2,
        .palette = {0x111111, 0x222222},
        .rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
       {9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255}},
      {"16 bits, 5-5-5",
       {.bits = 16, .rows = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}},
       {0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255}},
      {"8 bits, a table shorter than 256",
       {.bits = 8,
        .colorsUsed = 3,
        .palette = {0x000000, 0x102030, 0xFFFFFF},
        .rows = {1, 2, 0, 0, 2, 0, 0, 0}},
       {255, 255, 255, 255, 0, 0, 0, 255, 16, 32, 48, 255, 255, 255, 255, 255}},
      {"4 bits",
       {.bits = 4,
        .palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        .rows = {0x12, 0, 0, 0, 0x30, 0, 0, 0}},
       {255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 0, 255, 0, 255}},
      {"1 bit, the leftmost pixel in the high bit",
       {.bits = 1, .palette = {0x000000, 0xFFFFFF}, .rows = {0x80, 0, 0, 0, 0x40, 0, 0, 0}},
       {0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255}},
      {"an image size that lies is not trusted",
       {.bits = 24, .imageSize = 0xFFFFFFF0, .rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}},
       {9, 8, 7, 255, 12, 11, 10, 255, 3, 2, 1, 255, 6, 5, 4, 255}},
  };
  for (const auto& c : cases) {
    RgbaImage image;
    std::string why;
    ASSERT_TRUE(ReadClipboardDib(c.dib.Bytes(), image, why)) << c.name << ": " << why;
    EXPECT_EQ(image.width, 2) << c.name;
    EXPECT_EQ(image.height, 2) << c.name;
    EXPECT_EQ(image.pixels, c.expected) << c.name;
  }
}

TEST(ClipboardDibTest, RefusesWhatItsBytesDoNotHoldWithAReason) {
  const std::vector<uint8_t> rows32(16, 7);
  auto cut = [](std::vector<uint8_t> bytes, size_t size) {
    bytes.resize(size);
    return bytes;
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {"nothing", {}, "cut short"},
      {"a header cut short", cut(Dib{.rows = rows32}.Bytes(), 30), "cut short"},
      {"the last row cut short", cut(Dib{.rows = rows32}.Bytes(), 40 + 15), "cut short"},
      {"a colour table the rows lie in", Dib{.bits = 8, .rows = {0, 0, 0, 0, 0, 0, 0, 0}}.Bytes(),
       "cut short"},
      {"masks missing",
       cut(Dib{.compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF}, .rows = rows32}.Bytes(), 56),
       "cut short"},
      {"an OS/2 header", Dib{.headerSize = 12, .rows = rows32}.Bytes(), "OS/2"},
      {"a header longer than any", Dib{.headerSize = 200, .rows = rows32}.Bytes(), "header"},
      {"no width", Dib{.width = 0, .rows = rows32}.Bytes(), "empty"},
      {"no height", Dib{.height = 0, .rows = rows32}.Bytes(), "empty"},
      {"a side past the limit", Dib{.width = 100000, .rows = rows32}.Bytes(), "more pixels"},
      {"more pixels than allowed", Dib{.width = 5000, .height = -5000, .rows = rows32}.Bytes(),
       "more pixels"},
      {"run-length compressed", Dib{.bits = 8, .compression = 1, .rows = rows32}.Bytes(), "compressed"},
      {"2 bits a pixel", Dib{.bits = 2, .rows = rows32}.Bytes(), "bits"},
      {"a colour table larger than the depth", Dib{.bits = 1, .colorsUsed = 3, .rows = rows32}.Bytes(),
       "colour"},
  };
  for (const auto& c : cases) {
    RgbaImage image;
    std::string why;
    EXPECT_FALSE(ReadClipboardDib(c.bytes, image, why)) << c.name;
    EXPECT_NE(why.find(c.reason), std::string::npos) << c.name << ": " << why;
  }
}

TEST(ClipboardDibTest, BothWrittenFormsReadBackAsTheSamePixels) {
  RgbaImage image{3, 2, {}};
  // Colour kept under every alpha, 0 included: straight alpha, not premultiplied.
  for (int i = 0; i < 6; ++i) {
    const uint8_t v = static_cast<uint8_t>(40 * i);
    image.pixels.insert(image.pixels.end(), {v, static_cast<uint8_t>(v + 1), static_cast<uint8_t>(v + 2),
                                             static_cast<uint8_t>(51 * i)});
  }
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    uint32_t headerSize, compression;
  } forms[] = {
      {"CF_DIBV5", WriteClipboardDibV5(image), 124, kBmpCompressionBitfields},
      {"CF_DIB", WriteClipboardDib(image), 40, kBmpCompressionRgb},
  };
  for (const auto& f : forms) {
    ASSERT_EQ(f.bytes.size(), f.headerSize + 3 * 2 * 4) << f.name;
    const BmpInfo info = BmpInfo::From(f.bytes.data());
    EXPECT_EQ(info.size, f.headerSize) << f.name;
    EXPECT_EQ(info.bitCount, 32) << f.name;
    EXPECT_EQ(info.compression, f.compression) << f.name;
    RgbaImage back;
    std::string why;
    ASSERT_TRUE(ReadClipboardDib(f.bytes, back, why)) << f.name << ": " << why;
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.pixels, image.pixels) << f.name;
  }
  EXPECT_TRUE(WriteClipboardDib(RgbaImage{2, 2, std::vector<uint8_t>(15)}).empty());
  EXPECT_TRUE(WriteClipboardDibV5(RgbaImage{}).empty());
}

}  // namespace
}  // namespace glyph::icon
