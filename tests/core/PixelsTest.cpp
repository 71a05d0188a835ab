#include "core/Pixels.h"

#include <gtest/gtest.h>

#include <vector>

namespace glyph {
namespace {

struct Image {
  explicit Image(int w, int h, Pixel fill = 0)
      : bits(static_cast<size_t>((w + 3) & ~3) * h, fill), view{bits.data(), w, h, (w + 3) & ~3} {}
  std::vector<Pixel> bits;
  PixelView view;
};

TEST(Pixels, ColourAndPixelValuesSwapRedAndBlue) {
  EXPECT_EQ(PixelFromColor(0x00112233u), 0x00332211u);
  EXPECT_EQ(ColorFromPixel(PixelFromColor(0x00ABCDEFu)), 0x00ABCDEFu);
  EXPECT_TRUE(SameColor(0xFF102030u, 0x00102030u));
  EXPECT_FALSE(SameColor(0x00102031u, 0x00102030u));
}

TEST(Pixels, MixRoundsTowardMinusInfinity) {
  struct Case {
    int oldValue, newValue, opacity, expected;
  };
  const Case cases[] = {
      {0, 255, 256, 255}, {255, 0, 256, 0}, {0, 255, 0, 0}, {255, 0, 0, 255},   {0, 255, 128, 127},
      {255, 0, 128, 127}, {100, 50, 1, 99}, {7, 8, 255, 7}, {200, 10, -5, 200}, {10, 200, 999, 200},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MixByte(c.oldValue, c.newValue, c.opacity), c.expected)
        << c.oldValue << " -> " << c.newValue << " @ " << c.opacity;
  }
}

TEST(Pixels, FillCoversThePaddingAndClearsByteThree) {
  Image image(5, 2, 0xFF000000u);  // stride 8
  FillPixels(image.view, 192 + 256, 192, 192);
  for (Pixel p : image.bits) EXPECT_EQ(p, 0x00C0C0C0u);
}

TEST(Pixels, BlendKeepsByteThreeAndMixesEveryByte) {
  Image image(4, 1, 0x7F00FF00u);
  std::vector<Pixel> source(4, 0x00FF00FFu);
  BlendPixels(image.view, source.data(), 128);
  EXPECT_EQ(image.bits[0], 0x7F7F7F7Fu);
}

TEST(Pixels, BlendRectClipsFarEdgesFirst) {
  // 8 x 8 white image; count the pixels that turned black.
  struct Case {
    int x, y, w, h, changed;
  };
  const Case cases[] = {
      {0, 0, 2, 3, 6}, {-1, -1, 3, 3, 4}, {6, 6, 5, 5, 4},      {-3, 0, 2, 1, 0},
      {8, 0, 1, 1, 0}, {0, 0, 0, 5, 0},   {-2, -2, 20, 20, 64},
  };
  for (const Case& c : cases) {
    Image image(8, 8, 0x00FFFFFFu);
    BlendRectPixels(image.view, c.x, c.y, c.w, c.h, 0, kOpaque);
    int changed = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) changed += image.view.At(x, y) == 0;
    EXPECT_EQ(changed, c.changed) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
}

TEST(Pixels, BlendRectUsesTheColourValueByteOrder) {
  Image image(2, 2);
  BlendRectPixels(image.view, 0, 0, 1, 1, 0x000000FFu /* red */, kOpaque);
  EXPECT_EQ(image.view.At(0, 0), 0x00FF0000u);
}

TEST(Pixels, BlurKernelWeightsDependOnTheNeighboursPresent) {
  Image image(32, 32);
  image.view.At(10, 10) = 0x00FFFFFFu;
  std::vector<Pixel> out(image.bits);
  BlurPixels(image.view, out.data(), 0, 0, 31, 31, 0x00C0C0C0u);
  PixelView result{out.data(), 32, 32, 32};
  EXPECT_EQ(result.At(10, 10), 0x00999999u);  // 255 * 6 / 10 = 153
  for (auto [x, y] : {std::pair{9, 10}, {11, 10}, {10, 9}, {10, 11}}) EXPECT_EQ(result.At(x, y), 0x00191919u);
  EXPECT_EQ(result.At(9, 9), 0u);

  Image corner(4, 4);
  corner.view.At(0, 0) = 0x00FFFFFFu;
  std::vector<Pixel> cornerOut(corner.bits);
  BlurPixels(corner.view, cornerOut.data(), 0, 0, 3, 3, 0x00C0C0C0u);
  EXPECT_EQ(cornerOut[0], 0x00BFBFBFu);  // 255 * 6 / 8 = 191
  EXPECT_EQ(cornerOut[1], 0x001C1C1Cu);  // a border pixel: 255 / 9 = 28
}

TEST(Pixels, BlurLeavesTransparentPixelsButCountsThemAsNeighbours) {
  const Pixel t = 0x00C0C0C0u;
  Image image(3, 1, t);
  image.view.At(0, 0) = 0x00000000u;
  image.view.At(0, 0) |= 0xAA000000u;
  std::vector<Pixel> out(image.bits);
  BlurPixels(image.view, out.data(), 0, 0, 2, 0, t);
  EXPECT_EQ(out[1], t);
  EXPECT_EQ(out[2], t);
  // (6*0 + 192) / 7 with only the right neighbour present.
  EXPECT_EQ(out[0], 0x001B1B1Bu);
}

TEST(Pixels, BlurOfAUniformImageChangesNothing) {
  Image image(7, 5, 0x00123456u);
  std::vector<Pixel> out(image.bits.size(), 0);
  BlurPixels(image.view, out.data(), 0, 0, 6, 4, 0x00C0C0C0u);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(out[y * 8 + x], 0x00123456u);
}

}  // namespace
}  // namespace glyph
