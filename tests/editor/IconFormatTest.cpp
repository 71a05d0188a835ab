#include "editor/IconFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace glyph {
namespace {

constexpr Pixel kSilver = 0xC0C0C0;
constexpr Pixel kOpaqueBits = 0xFF000000u;

// Opaque, with the transparent colour where it is transparent: an image
// of the editor before it had alpha.
struct Image {
  std::vector<Pixel> bits = std::vector<Pixel>(32 * 32, kOpaqueBits | kSilver);
  PixelView View() { return PixelView{bits.data(), 32, 32, 32}; }
  Pixel& At(int x, int y) { return bits[y * 32 + x]; }
};

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(TrueColorIcon, HeaderFieldsAreExact) {
  Image image;
  const std::vector<uint8_t> file = BuildTrueColorIcon(image.View(), kSilver);
  ASSERT_EQ(file.size(), 3262u);
  struct Field {
    size_t offset, size;
    uint32_t value;
  } fields[] = {
      {0, 2, 0},  {2, 2, 1},     {4, 2, 1},   {6, 1, 32},  {7, 1, 32},  {8, 1, 0},   {9, 1, 0},  {10, 2, 0},
      {12, 2, 0}, {14, 4, 3240}, {18, 4, 22}, {22, 4, 40}, {26, 4, 32}, {30, 4, 64}, {34, 2, 1}, {36, 2, 24},
      {38, 4, 0}, {42, 4, 0},    {46, 4, 0},  {50, 4, 0},  {54, 4, 0},  {58, 4, 0},
  };
  for (const Field& f : fields) {
    const uint32_t v = f.size == 1 ? file[f.offset] : f.size == 2 ? U16(file, f.offset) : U32(file, f.offset);
    EXPECT_EQ(v, f.value) << "offset " << f.offset;
  }
}

TEST(TrueColorIcon, AllTransparentHasBlackColoursAndAFullMask) {
  Image image;
  const std::vector<uint8_t> file = BuildTrueColorIcon(image.View(), kSilver);
  for (size_t i = 62; i < 62 + 3072; ++i) ASSERT_EQ(file[i], 0) << i;
  for (size_t i = 3134; i < 3262; ++i) ASSERT_EQ(file[i], 0xFF) << i;
}

TEST(TrueColorIcon, SingleRedPixelAtTopLeftLandsInTheLastRow) {
  Image image;
  image.At(0, 0) = kOpaqueBits | 0xFF0000;
  const std::vector<uint8_t> file = BuildTrueColorIcon(image.View(), kSilver);
  const size_t color = 62 + 31 * 96;
  EXPECT_EQ(file[color], 0);
  EXPECT_EQ(file[color + 1], 0);
  EXPECT_EQ(file[color + 2], 255);
  EXPECT_EQ(file[3134 + 31 * 4], 0x7F);
  EXPECT_EQ(file[3134 + 31 * 4 + 1], 0xFF);
  EXPECT_EQ(file[3134], 0xFF);
}

TEST(TrueColorIcon, TransparencyComparesTheLowColourBytesOnly) {
  Image image;
  image.At(5, 0) = 0xC0C0C0C0;  // any alpha: still the transparent colour
  image.At(6, 0) = kOpaqueBits | 0x102030;
  // A different transparent colour: now the silver pixels are opaque.
  const std::vector<uint8_t> silver = BuildTrueColorIcon(image.View(), kSilver);
  const std::vector<uint8_t> other = BuildTrueColorIcon(image.View(), 0x102030);
  const size_t row0Mask = 3134 + 31 * 4;
  EXPECT_EQ(silver[row0Mask], 0xFD);  // only pixel 6 is opaque
  EXPECT_EQ(other[row0Mask], 0x02);   // only pixel 6 is transparent
  EXPECT_EQ(other[62 + 31 * 96 + 5 * 3], 0xC0);
}

TEST(IconPlanes, TopDownPlanesForThePlatformIcon) {
  Image image;
  image.At(31, 0) = kOpaqueBits | 0x010203;
  const IconPlanes planes = BuildIconPlanes(image.View(), kSilver, false);
  EXPECT_EQ(planes.color[31 * 3], 3);
  EXPECT_EQ(planes.color[31 * 3 + 2], 1);
  EXPECT_EQ(planes.mask[3], 0xFE);
  EXPECT_EQ(planes.mask[4], 0xFF);
}

TEST(SixteenColorIcon, LayoutPaletteAndMask) {
  Image image;
  image.At(0, 0) = kOpaqueBits | 0xFF0000;  // red
  image.At(1, 0) = kOpaqueBits | 0xF01010;  // near red
  image.At(2, 0) = kOpaqueBits | 0x000000;  // black, opaque
  image.At(3, 0) = kOpaqueBits | 0x7F7F80;  // grey
  const std::vector<uint8_t> file = BuildSixteenColorIcon(image.View(), kSilver);
  ASSERT_EQ(file.size(), 766u);
  EXPECT_EQ(file[8], 16);
  EXPECT_EQ(U16(file, 10), 1);
  EXPECT_EQ(U16(file, 12), 4);
  EXPECT_EQ(U32(file, 14), 744u);
  EXPECT_EQ(U32(file, 18), 22u);
  EXPECT_EQ(U32(file, 30), 64u);
  EXPECT_EQ(U16(file, 36), 4);
  // Palette: black first, then the standard colours (blue, green, red, 0).
  EXPECT_EQ(U32(file, 62), 0u);
  EXPECT_EQ(U32(file, 62 + 4 * 9), 0xFF0000u);
  EXPECT_EQ(U32(file, 62 + 4 * 15), 0xFFFFFFu);
  const size_t pixels = 62 + 64;
  const size_t lastRow = pixels + 31 * 16;
  EXPECT_EQ(file[lastRow], 0x99);      // red, red
  EXPECT_EQ(file[lastRow + 1], 0x08);  // black, grey
  EXPECT_EQ(file[lastRow + 2], 0x00);  // transparent pixels are black
  EXPECT_EQ(file[pixels], 0x00);
  const size_t mask = pixels + 512;
  EXPECT_EQ(file[mask + 31 * 4], 0x0F);
  EXPECT_EQ(file[mask], 0xFF);
}

// Mostly transparent pixels are masked, whatever their colour: an image
// with alpha-0 pixels gives the bytes its old form with the transparent
// colour there gave.
TEST(IconMask, AlphaBelowHalfIsMaskedLikeTheTransparentColour) {
  Image old;
  Image alpha;
  const struct {
    int x;
    Pixel pixel;
    bool masked;
  } cases[] = {{0, 0x00C0C0C0u, true},  {1, 0x00123456u, true},  {2, 0x7F123456u, true},
               {3, 0x80123456u, false}, {4, 0xFF123456u, false}, {5, 0x80C0C0C0u, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsMasked(c.pixel, kSilver), c.masked) << std::hex << c.pixel;
    alpha.At(c.x, 7) = c.pixel;
    old.At(c.x, 7) = c.masked ? kOpaqueBits | kSilver : kOpaqueBits | c.pixel;
  }
  for (int x = 8; x < 32; ++x) alpha.At(x, 9) = x % 3 ? 0x00FFFFFFu : 0xFFFFFFFFu;
  for (int x = 8; x < 32; ++x) old.At(x, 9) = x % 3 ? kOpaqueBits | kSilver : 0xFFFFFFFFu;
  EXPECT_EQ(BuildTrueColorIcon(alpha.View(), kSilver), BuildTrueColorIcon(old.View(), kSilver));
  EXPECT_EQ(BuildSixteenColorIcon(alpha.View(), kSilver), BuildSixteenColorIcon(old.View(), kSilver));
  EXPECT_NE(BuildTrueColorIcon(alpha.View(), kSilver), BuildTrueColorIcon(Image().View(), kSilver));
}

TEST(SixteenColorIcon, NearestColourTable) {
  struct Case {
    Pixel in;
    int index;
  } cases[] = {{0x000000, 0},  {0xFFFFFF, 15}, {0xC0C0C0, 7}, {0xC8C8C8, 7}, {0x808080, 8},
               {0x0000F0, 12}, {0x00FF10, 10}, {0x7F0000, 1}, {0xFFFF00, 11}};
  for (const Case& c : cases) EXPECT_EQ(NearestPaletteIndex(c.in), c.index) << std::hex << c.in;
}

TEST(IconPlanes, TooSmallAnImageGivesEmptyPlanes) {
  std::vector<Pixel> bits(16 * 16, 0x123456);
  const IconPlanes planes = BuildIconPlanes(PixelView{bits.data(), 16, 16, 16}, kSilver, true);
  EXPECT_EQ(planes.color.size(), 3072u);
  EXPECT_EQ(planes.mask.size(), 128u);
}

}  // namespace
}  // namespace glyph
