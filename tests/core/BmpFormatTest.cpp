#include "core/BmpFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/core/BmpSamples.h"

namespace glyph {
namespace {

// A 32-bpp header for a w x h image (negative h: top-down memory).
std::vector<uint8_t> Header32(int32_t w, int32_t h) {
  std::vector<uint8_t> header(44, 0);
  StoreU32(header.data(), 40);
  StoreU32(header.data() + 4, static_cast<uint32_t>(w));
  StoreU32(header.data() + 8, static_cast<uint32_t>(h));
  StoreU16(header.data() + 12, 1);
  StoreU16(header.data() + 14, 32);
  return header;
}

std::vector<uint8_t> File(int32_t w, int32_t h, uint16_t bits, const std::vector<uint32_t>& table,
                          const std::vector<uint8_t>& data, uint32_t colorsUsed = 0) {
  bmptest::FileLayout layout{w, h, bits};
  layout.table = table;
  layout.colorsUsed = colorsUsed;
  return bmptest::BmpFile(layout, data);
}

std::optional<BmpImage> Read(const std::vector<uint8_t>& bytes) {
  MemoryStream in(bytes.data(), bytes.size());
  return ReadBmpStream(in);
}

TEST(BmpFormat, WritesACreatedImageAsTheDocumentedStream) {
  std::vector<uint8_t> rows(32 * 128);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i / 128);  // byte = row index
  const auto header = Header32(32, -32);
  MemoryStream out;
  ASSERT_EQ(WriteBmpStream(out, header.data(), header.size(), rows.data(), 32), 4150u);
  const auto& f = out.Bytes();
  ASSERT_EQ(f.size(), 4150u);
  EXPECT_EQ(LoadU16(f.data()), kBmpType);
  EXPECT_EQ(LoadU32(f.data() + 2), 4150u);
  EXPECT_EQ(LoadU16(f.data() + 6), 32);
  EXPECT_EQ(LoadU16(f.data() + 8), 0);
  EXPECT_EQ(LoadU32(f.data() + 10), 54u);
  EXPECT_EQ(LoadI32(f.data() + 18), 32);
  EXPECT_EQ(LoadI32(f.data() + 22), 32);  // bottom-up in the file
  EXPECT_EQ(LoadU16(f.data() + 26), 1);
  EXPECT_EQ(LoadU16(f.data() + 28), 32);
  EXPECT_EQ(LoadU32(f.data() + 30), 0u);
  EXPECT_EQ(LoadU32(f.data() + 34), 4096u);
  EXPECT_EQ(f[54], 31);  // the bottom row comes first
  EXPECT_EQ(f[4150 - 1], 0);

  auto back = Read(f);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width, 32u);
  EXPECT_EQ(back->height, 32u);
  ASSERT_EQ(back->pixels.size() * 4, rows.size());
  EXPECT_EQ(std::memcmp(back->pixels.data(), rows.data(), rows.size()), 0);
  EXPECT_EQ(back->bytesRead, 4150u);
}

TEST(BmpFormat, ConvertsEveryDepthTo32BitPixelsInBothRowOrders) {
  // 2 x 2 images whose top row differs from the bottom row.
  std::vector<uint32_t> grey256(256);
  for (uint32_t i = 0; i < 256; ++i) grey256[i] = i * 0x010101u;
  const std::vector<uint32_t> grey16(grey256.begin(), grey256.begin() + 16);
  const std::vector<uint32_t> masks565 = {0xF800, 0x07E0, 0x001F};
  const std::vector<uint32_t> masksRgba = {0x000000FF, 0x0000FF00, 0x00FF0000};
  struct Case {
    const char* name;
    uint16_t bits;
    uint32_t compression;
    std::vector<uint32_t> table;
    std::vector<uint8_t> topRow, bottomRow;
    std::vector<Pixel> expected;  // top row first
  };
  const Case cases[] = {
      {"1 bit",
       1,
       0,
       {0x123456, 0xFFFFFF},
       {0x80, 0, 0, 0},
       {0x40, 0, 0, 0},
       {0xFFFFFF, 0x123456, 0x123456, 0xFFFFFF}},
      {"4 bits", 4, 0, grey16, {0x12, 0, 0, 0}, {0x3F, 0, 0, 0}, {0x010101, 0x020202, 0x030303, 0x0F0F0F}},
      {"8 bits", 8, 0, grey256, {1, 200, 0, 0}, {3, 4, 0, 0}, {0x010101, 0xC8C8C8, 0x030303, 0x040404}},
      {"16 bits, 5-5-5",
       16,
       0,
       {},
       {0x00, 0x7C, 0x1F, 0x00},
       {0xE0, 0x03, 0x10, 0x42},
       {0xFF0000, 0x0000FF, 0x00FF00, 0x838383}},
      {"16 bits, 5-6-5 fields",
       16,
       3,
       masks565,
       {0x00, 0xF8, 0xE0, 0x07},
       {0x1F, 0x00, 0x20, 0x00},
       {0xFF0000, 0x00FF00, 0x0000FF, 0x000400}},
      {"24 bits",
       24,
       0,
       {},
       {1, 2, 3, 4, 5, 6, 0, 0},
       {7, 8, 9, 10, 11, 12, 0, 0},
       {0x030201, 0x060504, 0x090807, 0x0C0B0A}},
      {"32 bits keep byte 3",
       32,
       0,
       {},
       {1, 2, 3, 0x80, 4, 5, 6, 0},
       {7, 8, 9, 0, 10, 11, 12, 0xFF},
       {0x80030201, 0x060504, 0x090807, 0xFF0C0B0A}},
      {"32 bits, red in the low byte",
       32,
       3,
       masksRgba,
       {1, 2, 3, 4, 5, 6, 7, 8},
       {9, 10, 11, 12, 0, 0, 0, 0},
       {0x010203, 0x050607, 0x090A0B, 0}},
  };
  for (const Case& c : cases) {
    for (int32_t h : {2, -2}) {
      std::vector<uint8_t> data = h > 0 ? c.bottomRow : c.topRow;
      const auto& second = h > 0 ? c.topRow : c.bottomRow;
      data.insert(data.end(), second.begin(), second.end());
      bmptest::FileLayout layout{2, h, c.bits, c.compression, c.table};
      auto image = Read(bmptest::BmpFile(layout, data));
      ASSERT_TRUE(image) << c.name << ", height " << h;
      EXPECT_EQ(image->View().At(0, 0), c.expected[0]) << c.name << ", height " << h;
      EXPECT_EQ(image->View().At(1, 0), c.expected[1]) << c.name << ", height " << h;
      EXPECT_EQ(image->View().At(0, 1), c.expected[2]) << c.name << ", height " << h;
      EXPECT_EQ(image->View().At(1, 1), c.expected[3]) << c.name << ", height " << h;
      // Only a colour table stays with the image, for its palette.
      EXPECT_EQ(BmpInfo::From(image->header.data()).ColorCount(), c.bits <= 8 ? c.table.size() : 0u)
          << c.name;
    }
  }
}

TEST(BmpFormat, HonoursALogicalWidthOnlyWhereTheWriterWouldHaveStoredIt) {
  struct Case {
    int32_t fileWidth;
    uint16_t reserved1;
    uint32_t width;
  };
  const Case cases[] = {
      {8, 5, 5},       {4, 1, 1}, {1024, 1021, 1021},  // rows padded to 4 pixels by our writer
      {8, 0, 8},       {8, 4, 8}, {64, 1, 64},         // nothing stored, or too narrow for the rows
      {8, 9, 8},       {5, 8, 5}, {5, 5, 5},           // wider than the rows, or rows not padded
      {1021, 0, 1021},
  };
  for (const Case& c : cases) {
    bmptest::FileLayout layout{c.fileWidth, -2};
    layout.reserved1 = c.reserved1;
    std::vector<uint8_t> data(static_cast<size_t>(c.fileWidth) * 8);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i % 251 + 1);
    auto image = Read(bmptest::BmpFile(layout, data));
    ASSERT_TRUE(image) << c.fileWidth << " wide, reserved " << c.reserved1;
    EXPECT_EQ(image->width, c.width) << c.fileWidth << " wide, reserved " << c.reserved1;
    // Whatever the logical width, the memory holds every pixel of the rows.
    EXPECT_EQ(image->stride, (c.width + 3) & ~3u);
    EXPECT_EQ(LoadI32(image->header.data() + 4), static_cast<int32_t>(image->stride));
    EXPECT_EQ(image->pixels.size(), image->stride * 2u);
    const Pixel* bottomRight = image->pixels.data() + image->stride + c.fileWidth - 1;
    EXPECT_EQ(std::memcmp(bottomRight, data.data() + data.size() - 4, 4), 0);
  }
}

TEST(BmpFormat, RefusesTruncatedAndLyingFiles) {
  const std::vector<uint8_t> good = File(2, 2, 32, {}, std::vector<uint8_t>(16, 7));
  ASSERT_TRUE(Read(good));

  auto with = [&](size_t offset, uint32_t value, bool wide = true) {
    auto f = good;
    if (wide)
      StoreU32(f.data() + offset, value);
    else
      StoreU16(f.data() + offset, static_cast<uint16_t>(value));
    return f;
  };
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> bad = {
      {"empty", {}},
      {"file header only", std::vector<uint8_t>(good.begin(), good.begin() + 14)},
      {"short pixels", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"not BM", with(0, 0x4D43, false)},
      {"pixel offset inside the file header", with(10, 20)},
      {"pixel offset far beyond", with(10, 0x7FFFFFF0)},
      {"header size 12", with(14, 12)},
      {"header size beyond the offset", with(14, 400)},
      {"zero width", with(18, 0)},
      {"negative width", with(18, 0xFFFFFFFE)},
      {"huge width", with(18, 100000)},
      {"huge height", with(22, 0x80000000)},
      {"zero height", with(22, 0)},
      {"two planes", with(26, 2, false)},
      {"bit count 7", with(28, 7, false)},
      {"run-length", with(30, 1)},
      {"image size too small", with(34, 8)},
      {"image size beyond the file", with(34, 0x7FFFFFFF)},
      {"colour count beyond 256", with(46, 100000)},
      {"bit fields without their masks", with(30, 3)},
  };
  for (const auto& [name, bytes] : bad) EXPECT_FALSE(Read(bytes)) << name;

  // An 8-bpp file claiming 256 colours but storing 2 reads zeros for the rest.
  auto shortTable = File(1, 1, 8, {0x112233, 0x445566}, {1, 0, 0, 0}, 0);
  auto image = Read(shortTable);
  ASSERT_TRUE(image);
  EXPECT_EQ(BmpInfo::From(image->header.data()).ColorCount(), 256);
  EXPECT_EQ(image->header.size(), 40u + 256 * 4);
  EXPECT_EQ(image->pixels[0], 0x445566u);
  // An 8-bpp file claiming 300 colours is refused.
  EXPECT_FALSE(Read(File(1, 1, 8, {0, 0}, {1, 0, 0, 0}, 300)));
}

// Every sample and the two files that once broke the image: read, checked
// against Pillow's colours, drawn on with every pixel primitive (under the
// sanitizers, any disagreement of stride and memory is caught), written and
// read back unchanged.
TEST(BmpFormat, EveryImageReadTakesEveryPrimitiveAndRoundTrips) {
  const auto cases = bmptest::ImagesToRead(GLYPH_TEST_DATA);
  ASSERT_EQ(cases.size(), 18u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto image = Read(c.bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytesRead, c.bytes.size());
    ASSERT_EQ(image->width, c.width);
    ASSERT_EQ(image->height, c.height);
    const PixelView view = image->View();
    ASSERT_EQ(static_cast<size_t>(view.Count()), image->pixels.size());
    for (size_t i = 0; i < c.pixels.size(); ++i) {
      EXPECT_EQ(view.At(static_cast<int>(i % c.width), static_cast<int>(i / c.width)) & 0xFFFFFF, c.pixels[i])
          << i;
    }

    std::vector<Pixel> copy(image->pixels);
    BlendPixels(view, copy.data(), 128);
    BlendRectPixels(view, -1, -1, view.width + 2, view.height + 2, 0x0000FF, 200);
    BlurPixels(view, copy.data(), 0, 0, view.width - 1, view.height - 1, 0);
    BlendPixels(view, copy.data(), kOpaque);
    EXPECT_TRUE(std::equal(copy.begin(), copy.end(), image->pixels.begin(), SameColor));

    MemoryStream out;
    ASSERT_GT(WriteBmpStream(out, image->header.data(), image->header.size(),
                             reinterpret_cast<const uint8_t*>(image->pixels.data()),
                             static_cast<uint16_t>(view.width)),
              0u);
    auto back = Read(out.Bytes());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, image->width);
    EXPECT_EQ(back->header, image->header);
    EXPECT_EQ(back->pixels, image->pixels);

    FillPixels(view, 1, 2, 3);
    EXPECT_EQ(std::count(image->pixels.begin(), image->pixels.end(), 0x010203u), view.Count());
  }
}

}  // namespace
}  // namespace glyph
