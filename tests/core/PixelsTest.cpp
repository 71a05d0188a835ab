#include "core/Pixels.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
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

TEST(Pixels, BlendMixesEveryColourByteOfOpaquePixels) {
  Image image(4, 1, 0xFF00FF00u);
  std::vector<Pixel> source(4, 0xFFFF00FFu);
  BlendPixels(image.view, source.data(), 128);
  EXPECT_EQ(image.bits[0], 0xFF7F7F7Fu);
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
      for (int x = 0; x < 8; ++x) changed += (image.view.At(x, y) & kColorBits) == 0;
    EXPECT_EQ(changed, c.changed) << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
}

TEST(Pixels, BlendRectUsesTheColourValueByteOrder) {
  Image image(2, 2);
  BlendRectPixels(image.view, 0, 0, 1, 1, 0x000000FFu /* red */, kOpaque);
  EXPECT_EQ(image.view.At(0, 0), 0xFFFF0000u);
}

TEST(Pixels, BlurKernelWeightsDependOnTheNeighboursPresent) {
  Image image(32, 32, 0xFF000000u);
  image.view.At(10, 10) = 0xFFFFFFFFu;
  std::vector<Pixel> out(image.bits);
  BlurPixels(image.view, out.data(), 0, 0, 31, 31, 0x00C0C0C0u);
  PixelView result{out.data(), 32, 32, 32};
  EXPECT_EQ(result.At(10, 10), 0xFF999999u);  // 255 * 6 / 10 = 153
  for (auto [x, y] : {std::pair{9, 10}, {11, 10}, {10, 9}, {10, 11}}) EXPECT_EQ(result.At(x, y), 0xFF191919u);
  EXPECT_EQ(result.At(9, 9), 0xFF000000u);

  Image corner(4, 4, 0xFF000000u);
  corner.view.At(0, 0) = 0xFFFFFFFFu;
  std::vector<Pixel> cornerOut(corner.bits);
  BlurPixels(corner.view, cornerOut.data(), 0, 0, 3, 3, 0x00C0C0C0u);
  EXPECT_EQ(cornerOut[0], 0xFFBFBFBFu);  // 255 * 6 / 8 = 191
  EXPECT_EQ(cornerOut[1], 0xFF1C1C1Cu);  // a border pixel: 255 / 9 = 28
}

TEST(Pixels, BlurLeavesPixelsOfTheTransparentColourButCountsThemAsNeighbours) {
  const Pixel t = 0xFFC0C0C0u;
  Image image(3, 1, t);
  image.view.At(0, 0) = 0xFF000000u;
  std::vector<Pixel> out(image.bits);
  BlurPixels(image.view, out.data(), 0, 0, 2, 0, t);
  EXPECT_EQ(out[1], t);
  EXPECT_EQ(out[2], t);
  // (6*0 + 192) / 7 with only the right neighbour present.
  EXPECT_EQ(out[0], 0xFF1B1B1Bu);
}

TEST(Pixels, BlurOfAUniformImageChangesNothing) {
  for (const Pixel fill : {0xFF123456u, 0x80123456u}) {
    Image image(7, 5, fill);
    std::vector<Pixel> out(image.bits.size(), 0);
    BlurPixels(image.view, out.data(), 0, 0, 6, 4, 0x00C0C0C0u);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(out[y * 8 + x], fill);
  }
}

// Colour is averaged by alpha: a transparent or faint neighbour lends
// little or none, and alpha-0 pixels stay as they are.
TEST(Pixels, BlurWeighsColourByAlpha) {
  const Pixel t = 0x00C0C0C0u;
  const struct {
    Pixel row[3];
    Pixel expected[3];
  } cases[] = {
      // 6 * 255 / 7 = 219 alpha; only white lends colour.
      {{0xFFFFFFFFu, t, t}, {0xDBFFFFFFu, t, t}},
      // Black beside half-transparent white: 128 * 255 / (6 * 255 + 128) = 19,
      // where a plain average gives 36; the other way 6 * 128 * 255 / 1023 = 191.
      {{0xFF000000u, 0x80FFFFFFu, t}, {0xED131313u, 0x80BFBFBFu, t}},
      {{0x00123456u, 0xFF000000u, 0x00FFFFFFu}, {0x00123456u, 0xBF000000u, 0x00FFFFFFu}},
  };
  for (const auto& c : cases) {
    Image image(3, 1);
    for (int x = 0; x < 3; ++x) image.view.At(x, 0) = c.row[x];
    std::vector<Pixel> out(image.bits);
    BlurPixels(image.view, out.data(), 0, 0, 2, 0, 0x00C0C0C0u);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(out[x], c.expected[x]) << std::hex << c.row[0] << " at " << x;
  }
}

// Over an opaque pixel an opaque brush mixes exactly as MixByte does.
TEST(Pixels, PaintOverAnOpaquePixelIsMixByte) {
  for (int oldValue = 0; oldValue < 256; oldValue += 15) {
    for (int newValue = 0; newValue < 256; newValue += 17) {
      const Pixel dst = 0xFF000000u | static_cast<Pixel>(oldValue) << 16 | static_cast<Pixel>(255 - oldValue);
      const Pixel brush = static_cast<Pixel>(newValue) << 16 | static_cast<Pixel>(newValue) << 8;
      for (int opacity = 0; opacity <= kOpaque; ++opacity) {
        const Pixel expected = 0xFF000000u | static_cast<Pixel>(MixByte(oldValue, newValue, opacity)) << 16 |
                               static_cast<Pixel>(MixByte(0, newValue, opacity)) << 8 |
                               MixByte(255 - oldValue, 0, opacity);
        ASSERT_EQ(PaintOver(dst, brush, BrushWeight(255, opacity, 255)), expected)
            << oldValue << " -> " << newValue << " @ " << opacity;
      }
    }
  }
}

TEST(Pixels, PaintAndEraseInStraightAlpha) {
  const Pixel t = 0x00C0C0C0u;
  const struct {
    const char* what;
    Pixel pixel;
    Paint paint;
    int coverage;
    Pixel expected;
  } cases[] = {
      {"onto transparent: the brush colour", t, {.color = 0xFF0000, .opacity = 128}, 255, 0x80FF0000u},
      {"full opacity replaces", 0x40123456u, {.color = 0xFF0000}, 255, 0xFFFF0000u},
      // Alpha 128 + 128 * (1 - 1/2) = 192; red 255 * 0.5 / 0.75, blue 255 * 0.25 / 0.75.
      {"half over half", 0x800000FFu, {.color = 0xFF0000, .opacity = 128}, 255, 0xC0A90055u},
      {"brush alpha times opacity",
       0xFF000000u,
       {.color = 0xFFFFFF, .alpha = 128, .opacity = 128},
       255,
       0xFF3F3F3Fu},
      {"coverage scales the weight", 0xFF000000u, {.color = 0xFFFFFF}, 128, 0xFF808080u},
      {"no coverage, nothing", 0xFF000000u, {.color = 0xFFFFFF}, 0, 0xFF000000u},
      {"no alpha, nothing", t, {.color = 0xFFFFFF, .alpha = 0}, 255, t},
      {"erase takes alpha by the opacity",
       0xFF102030u,
       {.opacity = 128, .erase = true, .transparent = t},
       255,
       0x7F102030u},
      {"erased away: the transparent colour", 0xFF102030u, {.erase = true, .transparent = t}, 255, t},
      {"faint pixel reaches zero", 0x01102030u, {.opacity = 128, .erase = true, .transparent = t}, 255, t},
      {"erase by brush alpha too",
       0xFF102030u,
       {.alpha = 0, .erase = true, .transparent = t},
       255,
       0xFF102030u},
  };
  for (const auto& c : cases) EXPECT_EQ(c.paint.Apply(c.pixel, c.coverage), c.expected) << c.what;
  // Two transparent pixels have no alpha to weigh by: their bytes mix.
  EXPECT_EQ(MixPixels(0x00FFFFFFu, 0x00000000u, 128), 0x007F7F7Fu);
  EXPECT_EQ(BrushWeight(128, kOpaque, 255), 129);  // 256 * 128 / 255, rounded
}

TEST(Pixels, PaintThroughLayerOnlyWhereLit) {
  Image image(4, 1, 0xFF000000u);
  const Pixel layer[4] = {0, 0x00FFFFFFu, 0x00008000u, 0xFF000000u};  // alpha is no coverage
  PaintThroughLayer(image.view, layer, Paint{.color = 0xFFFFFF});
  EXPECT_EQ(image.bits, (std::vector<Pixel>{0xFF000000u, 0xFFFFFFFFu, 0xFF808080u, 0xFF000000u}));
}

// 4-connected, on the whole pixel value: as GDI's surface fill on opaque
// images, and alpha counts as colour does.
TEST(Pixels, FloodFillTakesTheFourConnectedAreaOfTheExactValue) {
  const std::map<char, Pixel> values = {
      {'.', 0x00C0C0C0u}, {'h', 0x80C0C0C0u}, {'#', 0xFF000000u}, {'F', 0xFFFF0000u}};
  const struct {
    std::vector<std::string> rows, expected;
    int x, y;
  } cases[] = {
      {{".#.", "#..", "..."}, {"F#.", "#..", "..."}, 0, 0},  // no diagonal step
      {{"..h..", "....."}, {"FFhFF", "FFFFF"}, 0, 0},        // alpha is part of the value
      {{".....", ".###.", ".#.#.", "##.#.", "...#."},        // inside the hook only
       {".....", ".###.", ".#F#.", "##F#.", "FFF#."},
       2,
       2},
      {{"#.#", "..."}, {"#F#", "FFF"}, 1, 1},  // a run that reaches up into a pocket
      {{"FF", ".F"}, {"FF", ".F"}, 0, 0},      // already the value
      {{"..", ".."}, {"..", ".."}, 2, 0},      // outside the image
  };
  for (const auto& c : cases) {
    const int w = static_cast<int>(c.rows[0].size()), h = static_cast<int>(c.rows.size());
    Image image(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) image.view.At(x, y) = values.at(c.rows[y][x]);
    FloodFillPixels(image.view, c.x, c.y, values.at('F'));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        EXPECT_EQ(image.view.At(x, y), values.at(c.expected[y][x])) << c.rows[0] << " at " << x << "," << y;
  }
}

}  // namespace
}  // namespace glyph
