// Icon files written from documents, read back by the resource scanner and
// by a small decoder of their images: the directory, the planes, the
// palettes and the refusals.
#include "icon/IcoWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <vector>

#include "icon/IconPalette.h"
#include "icon/IconResources.h"
#include "icon/PngCodec.h"

namespace glyph::icon {
namespace {

using Bytes = std::vector<std::uint8_t>;

RgbaImage Picture(int w, int h, const std::function<std::uint32_t(int, int)>& rgba) {
  RgbaImage image{w, h, {}};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = rgba(x, y);  // 0xRRGGBBAA
      for (int s = 24; s >= 0; s -= 8) image.pixels.push_back(static_cast<std::uint8_t>(p >> s));
    }
  }
  return image;
}

Bytes Write(const IconDocument& document) {
  Bytes out;
  std::string why;
  EXPECT_TRUE(WriteIcoFile(document, out, why)) << why;
  return out;
}

std::uint32_t U32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24; }

// The pixels of a BMP icon image as a reader shows them: masked pixels
// transparent black, palette and 24-bit pixels opaque. `mask` gets the AND
// plane, one entry per pixel, top-down.
RgbaImage DecodeBmp(std::span<const std::uint8_t> dib, std::vector<bool>* mask = nullptr) {
  const int w = static_cast<int>(U32(&dib[4])), h = static_cast<int>(U32(&dib[8])) / 2;
  const int bits = dib[14];
  const std::uint8_t* table = &dib[40];
  const std::uint8_t* colour = table + (bits <= 8 ? 4 << bits : 0);
  const std::size_t xorRow = (w * bits + 31) / 32 * 4, andRow = (w + 31) / 32 * 4;
  const std::uint8_t* andPlane = colour + xorRow * h;
  RgbaImage out{w, h, {}};
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = colour + xorRow * (h - 1 - y);
    for (int x = 0; x < w; ++x) {
      const bool masked = andPlane[andRow * (h - 1 - y) + x / 8] >> (7 - x % 8) & 1;
      if (mask) mask->push_back(masked);
      std::uint8_t px[4] = {0, 0, 0, 255};
      if (bits == 32 || bits == 24) {
        const std::uint8_t* p = row + x * (bits / 8);
        px[0] = p[2], px[1] = p[1], px[2] = p[0];
        if (bits == 32) px[3] = p[3];
      } else {
        const int index = bits == 8   ? row[x]
                          : bits == 4 ? row[x / 2] >> (x % 2 ? 0 : 4) & 15
                                      : row[x / 8] >> (7 - x % 8) & 1;
        px[0] = table[4 * index + 2], px[1] = table[4 * index + 1], px[2] = table[4 * index];
      }
      if (bits < 32 && masked) {
        EXPECT_EQ(px[0] | px[1] | px[2], 0) << "a masked pixel must be black";
        px[3] = 0;
      }
      out.pixels.insert(out.pixels.end(), px, px + 4);
    }
  }
  return out;
}

TEST(IcoWriter, WritesTheExactBytesOfASmallIcon) {
  IconDocument document;
  document.images.push_back({Picture(1, 1, [](int, int) { return 0xFF0000FFu; }), IconStorage::kBmp, 4});
  document.images.push_back(
      {Picture(2, 2,
               [](int x, int y) {
                 const std::uint32_t p[2][2] = {{0x010203FF, 0x09090900}, {0x04050664, 0x070809C8}};
                 return p[y][x];
               }),
       IconStorage::kBmp, 32});
  const Bytes expected = {
      0,    0,    1,    0,    2,    0,  // directory
      2,    2,    0,    0,    1,    0,   32,   0,    64,   0,    0,    0,    38,   0,    0,
      0,  // 2 x 2, 32 bits first
      1,    1,    16,   0,    1,    0,   4,    0,    112,  0,    0,    0,    102,  0,    0,
      0,  // 1 x 1, 16 colours
      40,   0,    0,    0,    2,    0,   0,    0,    4,    0,    0,    0,    1,    0,    32,
      0,  // header
      0,    0,    0,    0,    24,   0,   0,    0,    0,    0,    0,    0,    0,    0,    0,
      0,    0,    0,    0,    0,    0,   0,    0,    0,    6,    5,    4,    100,  9,    8,
      7,    200,  3,    2,    1,    255, 0,    0,    0,    0,  // BGRA, bottom row first
      0x80, 0,    0,    0,    0x40, 0,   0,    0,              // mask: alpha 100 and 0
      40,   0,    0,    0,    1,    0,   0,    0,    2,    0,    0,    0,    1,    0,    4,
      0,    0,    0,    0,    0,    8,   0,    0,    0,    0,    0,    0,    0,    0,    0,
      0,    0,    0,    0,    0,    0,   0,    0,    0,    0,    0,    0,    0,    0,    0,
      0,    0x80, 0,    0,    0x80, 0,   0,    0,    0x80, 0x80, 0,  // the 16 colours, BGR0
      0x80, 0,    0,    0,    0x80, 0,   0x80, 0,    0x80, 0x80, 0,    0,    0xC0, 0xC0, 0xC0,
      0,    0x80, 0x80, 0x80, 0,    0,   0,    0xFF, 0,    0,    0xFF, 0,    0,    0,    0xFF,
      0xFF, 0,    0xFF, 0,    0,    0,   0xFF, 0,    0xFF, 0,    0xFF, 0xFF, 0,    0,    0xFF,
      0xFF, 0xFF, 0,    0x90, 0,    0,   0,    0,    0,    0,    0,  // red is entry 9; opaque
  };
  EXPECT_EQ(Write(document), expected);
}

// A picture with every alpha, and colours that differ per pixel.
RgbaImage Ramp(int side) {
  return Picture(side, side, [side](int x, int y) {
    const std::uint32_t n = static_cast<std::uint32_t>(y * side + x);
    return (n * 0x9E3779B1u & 0xFFFFFF00u) | (n & 0xFF);
  });
}

TEST(IcoWriter, EveryEntryReadsBackAsItsDocumentImage) {
  IconDocument document;
  struct Case {
    int side, bits;
    IconStorage storage;
  };
  const Case cases[] = {{16, 1, IconStorage::kBmp},  {16, 4, IconStorage::kBmp},
                        {32, 8, IconStorage::kBmp},  {24, 24, IconStorage::kBmp},
                        {48, 32, IconStorage::kBmp}, {256, 32, IconStorage::kBmp},
                        {16, 32, IconStorage::kBmp}, {256, 8, IconStorage::kBmp}};
  for (const Case& c : cases) document.images.push_back({Ramp(c.side), c.storage, c.bits});
  StoreAsPngFrom(document, 256);
  EXPECT_EQ(document.images[7].storage, IconStorage::kPng);
  EXPECT_EQ(document.images[7].bits, 32);
  EXPECT_EQ(document.images[0].storage, IconStorage::kBmp);
  const Bytes file = Write(document);
  const IconScan scan = ReadIcons(file);
  ASSERT_EQ(scan.Count(), 1u) << scan.problem;
  EXPECT_EQ(scan.problem, "");
  const std::vector<IconImage>& images = scan.groups[0].images;
  // Largest first, more bits first at one size, else the document's order.
  const int order[] = {5, 7, 4, 2, 3, 6, 1, 0};
  ASSERT_EQ(images.size(), std::size(order));
  std::size_t next = 6 + 16 * images.size();
  for (std::size_t e = 0; e < images.size(); ++e) {
    const IconDocumentImage& source = document.images[order[e]];
    const IconImage& image = images[e];
    SCOPED_TRACE(testing::Message() << "entry " << e);
    EXPECT_EQ(image.width, source.pixels.width);
    EXPECT_EQ(image.height, source.pixels.height);
    EXPECT_EQ(image.png, source.storage == IconStorage::kPng);
    EXPECT_EQ(image.bitsPerPixel, source.bits);
    EXPECT_EQ(image.bitCount, source.bits);
    EXPECT_EQ(image.planes, 1);
    EXPECT_EQ(image.colorCount, source.bits == 1 ? 2 : source.bits == 4 ? 16 : 0);
    EXPECT_TRUE(image.maskPlane);
    // Packed in entry order, and the byte count is what the header says.
    EXPECT_EQ(image.offset, next);
    EXPECT_EQ(U32(&file[6 + 16 * e + 8]), image.size);
    next += image.size;
    const std::span<const std::uint8_t> bytes(&file[image.offset], image.size);
    if (image.png) {
      RgbaImage decoded;
      std::string why;
      ASSERT_TRUE(DecodePng(bytes, decoded, why)) << why;
      EXPECT_EQ(decoded.pixels, source.pixels.pixels);
      continue;
    }
    std::vector<bool> mask;
    const RgbaImage decoded = DecodeBmp(bytes, &mask);
    for (std::size_t i = 0; i < mask.size(); ++i) {
      const std::uint8_t* in = &source.pixels.pixels[4 * i];
      const std::uint8_t* out = &decoded.pixels[4 * i];
      ASSERT_EQ(mask[i], in[3] < kMaskAlphaThreshold) << "pixel " << i << " alpha " << int{in[3]};
      if (source.bits == 32) {
        const bool seen = in[3] != 0;
        ASSERT_EQ(Bytes(out, out + 4), seen ? Bytes(in, in + 4) : Bytes(4, 0)) << "pixel " << i;
      } else if (source.bits == 24 || (source.bits == 8 && source.pixels.width <= 16)) {
        const Bytes expected = mask[i] ? Bytes{0, 0, 0, 0} : Bytes{in[0], in[1], in[2], 255};
        ASSERT_EQ(Bytes(out, out + 4), expected) << "pixel " << i;
      }
    }
  }
  EXPECT_EQ(next, file.size());
}

std::uint32_t Rgb(const std::uint8_t* p) { return std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2]; }

TEST(IcoWriter, PalettesKeepUpTo256ColoursAndFindTheNearestStandardOne) {
  struct Case {
    const char* name;
    int bits;
    RgbaImage picture;
    std::set<std::uint32_t> colours;  // what the opaque pixels must read back as
  };
  // 256 distinct opaque colours, black among them; 255 without black and
  // a transparent pixel, whose black takes the 256th entry.
  const auto distinct = [](int n) {
    return (static_cast<std::uint32_t>(n) * 0x030507u & 0xFFFFFF) << 8 | 0xFF;
  };
  std::set<std::uint32_t> all, noBlack;
  for (int n = 0; n < 256; ++n) all.insert(distinct(n) >> 8);
  for (int n = 1; n < 256; ++n) noBlack.insert(distinct(n) >> 8);
  const Case cases[] = {
      {"256 colours", 8, Picture(16, 16, [&](int x, int y) { return distinct(y * 16 + x); }), all},
      {"255 colours and transparency", 8,
       Picture(16, 16, [&](int x, int y) { return x + y == 0 ? 0x12345600u : distinct(y * 16 + x); }),
       noBlack},
      {"standard colours",
       4,
       Picture(5, 1,
               [](int x, int) {
                 const std::uint32_t in[] = {0xC80A0AFF, 0x646464FF, 0xAAAAAAFF, 0x000064FF, 0xFAFAC8FF};
                 return in[x];
               }),
       {0xFF0000, 0x808080, 0xC0C0C0, 0x000080, 0xFFFFFF}},
      {"black and white",
       1,
       Picture(2, 1, [](int x, int) { return x ? 0x3C3C3CFFu : 0xC8C8C8FFu; }),
       {0x000000, 0xFFFFFF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IconDocument document;
    document.images.push_back({c.picture, IconStorage::kBmp, c.bits});
    const Bytes file = Write(document);
    const RgbaImage decoded = DecodeBmp(std::span(file).subspan(22));
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; i < decoded.pixels.size(); i += 4) {
      if (c.picture.pixels[i + 3] < kMaskAlphaThreshold) continue;
      seen.insert(Rgb(&decoded.pixels[i]));
      if (c.bits == 8) {
        EXPECT_EQ(Rgb(&decoded.pixels[i]), Rgb(&c.picture.pixels[i])) << "pixel " << i / 4;
      }
    }
    if (!c.colours.empty()) {
      EXPECT_EQ(seen, c.colours);
    }
  }
}

// More colours than the table holds: close, and the same table in every
// build (this test runs natively and under Wine against one digest).
TEST(IcoWriter, AnAdaptivePaletteIsCloseAndTheSameInEveryBuild) {
  const RgbaImage picture = Picture(64, 64, [](int x, int y) {
    return static_cast<std::uint32_t>(x * 4) << 24 | (y * 4) << 16 | ((x + y) * 2) << 8 | 0xFF;
  });
  IconDocument document;
  document.images.push_back({picture, IconStorage::kBmp, 8});
  const Bytes file = Write(document);
  const RgbaImage decoded = DecodeBmp(std::span(file).subspan(22));
  int worst = 0;
  for (std::size_t i = 0; i < decoded.pixels.size(); ++i) {
    worst = std::max(worst, std::abs(decoded.pixels[i] - picture.pixels[i]));
  }
  EXPECT_LE(worst, 12);
  std::uint64_t digest = 0xCBF29CE484222325ull;
  for (std::uint8_t b : file) digest = (digest ^ b) * 0x100000001B3ull;
  EXPECT_EQ(digest, 15907342322153990275ull);
}

TEST(IcoWriter, RefusesWhatNoIconFileCanHold) {
  const auto one = [](int w, int h, int bits) {
    return IconDocumentImage{Picture(w, h, [](int, int) { return 0xFFu; }), IconStorage::kBmp, bits};
  };
  IconDocumentImage shortPixels = one(4, 4, 32);
  shortPixels.pixels.pixels.pop_back();
  IconDocument tooMany;
  tooMany.images.assign(kMaxIconFileImages + 1, one(1, 1, 1));
  struct Case {
    const char* name;
    IconDocument document;
    const char* says;
  };
  const Case cases[] = {
      {"no images", {}, "no images"},
      {"side 0", {{one(1, 1, 32), {RgbaImage{0, 4, {}}, IconStorage::kPng, 32}}}, "Image 2 is 0 x 4"},
      {"side 257", {{one(257, 1, 32)}}, "1 to 256 pixels"},
      {"pixels short", {{shortPixels}}, "63 bytes"},
      {"16 bits", {{one(2, 2, 16)}}, "16 bits"},
      {"too many", tooMany, "65536 images"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes out;
    std::string why;
    EXPECT_FALSE(WriteIcoFile(c.document, out, why));
    EXPECT_NE(why.find(c.says), std::string::npos) << why;
  }
}

}  // namespace
}  // namespace glyph::icon
