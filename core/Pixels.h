// Pixel arithmetic of the image type, on raw 32-bit pixel memory.
//
// Pixels are 0xAARRGGBB (blue in byte 0) with straight, not premultiplied,
// alpha in byte 3: 255 is opaque, 0 transparent. Colour values, as the
// colour dialog and GDI use them, are 0x00BBGGRR (red in byte 0). Images
// are stored top row first, `stride` pixels per row.
//
// Every mix is the premultiplied one, so a transparent pixel lends no
// colour; where both pixels are opaque it is exactly MixByte on each colour
// byte, the arithmetic the editor has always used. A pixel the editor makes
// transparent (alpha 0) carries the transparent colour's RGB, because the
// formats with only a mask know transparency by that colour.
#pragma once

#include <cstdint>

namespace glyph {

using Pixel = uint32_t;
using ColorValue = uint32_t;

constexpr int kOpaque = 256;  // opacity that replaces; 0 keeps
constexpr int kAlphaOpaque = 255;
constexpr Pixel kColorBits = 0x00FFFFFFu;

// Swaps the red and blue bytes (colour value <-> pixel value).
constexpr uint32_t SwapRedBlue(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
constexpr Pixel PixelFromColor(ColorValue c) { return SwapRedBlue(c); }
constexpr ColorValue ColorFromPixel(Pixel p) { return SwapRedBlue(p); }
constexpr bool SameColor(Pixel a, Pixel b) { return ((a ^ b) & kColorBits) == 0; }
constexpr int AlphaOf(Pixel p) { return static_cast<int>(p >> 24); }
constexpr Pixel WithAlpha(Pixel p, int alpha) {
  return (p & kColorBits) | (static_cast<Pixel>(alpha & 0xFF) << 24);
}

// (256 * old + opacity * (new - old)) >> 8, rounding toward minus infinity.
// Opacity outside 0..256 is clamped, so results stay within 0..255.
constexpr uint8_t MixByte(int oldValue, int newValue, int opacity) {
  opacity = opacity < 0 ? 0 : (opacity > kOpaque ? kOpaque : opacity);
  return static_cast<uint8_t>((256 * oldValue + opacity * (newValue - oldValue)) >> 8);
}

// A view of pixel memory: width x height visible pixels, stride per row.
struct PixelView {
  Pixel* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  Pixel& At(int x, int y) const { return bits[y * stride + x]; }
  int Count() const { return stride * height; }
};

// The weight (0..256, as an opacity) with which a brush of `alpha` (0..255)
// at `opacity` (0..256) lays its colour where it covers `coverage` (0..255)
// of a pixel; exactly `opacity` for an opaque brush that covers it all.
int BrushWeight(int alpha, int opacity, int coverage);

// `from` moved toward `to` by `weight` (0 keeps `from`, 256 gives `to`),
// colour weighted by alpha. Two transparent pixels mix their colours
// byte by byte, as there is no alpha to weigh them by.
Pixel MixPixels(Pixel from, Pixel to, int weight);

// Brush colour `color` (byte 3 ignored) laid over `pixel` with a weight
// from BrushWeight: the "over" composite.
Pixel PaintOver(Pixel pixel, Pixel color, int weight);

// `pixel` with its alpha reduced by `weight` (0..256); a pixel that reaches
// alpha 0 becomes the `transparent` pixel value at alpha 0.
Pixel ErasePixel(Pixel pixel, int weight, Pixel transparent);

// What a stroke does where it covers a pixel: lays the brush colour over
// it or, erasing, takes alpha away.
struct Paint {
  Pixel color = 0;  // pixel value; byte 3 ignored
  int alpha = kAlphaOpaque;
  int opacity = kOpaque;
  bool erase = false;
  Pixel transparent = 0;  // the colour an erased pixel takes
  Pixel Apply(Pixel pixel, int coverage) const;
};

// The coverage a layer pixel stands for: layers are drawn white on black
// by GDI, antialiased text in greys (or coloured fringes), so the brightest
// colour byte.
int CoverageOf(Pixel layerPixel);

// Applies `paint` to each of image's stride x height pixels whose `layer`
// pixel (same layout) has any coverage.
void PaintThroughLayer(const PixelView& image, const Pixel* layer, const Paint& paint);

// Every pixel, the padding columns included, becomes
// (alpha << 24)|(r << 16)|(g << 8)|b; the default alpha 0 makes the image
// transparent in that colour, as the editor's Clear does.
void FillPixels(const PixelView& image, int red, int green, int blue, int alpha = 0);

// Mixes `source` (same layout) into `image` with MixPixels, all stride x
// height pixels.
void BlendPixels(const PixelView& image, const Pixel* source, int opacity);

// Lays an opaque colour value over the rectangle, clipped to the image.
void BlendRectPixels(const PixelView& image, int x, int y, int w, int h, ColorValue color, int opacity);

// The blur kernel at (x, y) reading `source` (laid out like `image`):
// 6 x the pixel plus its in-image 4-neighbours, divided by 6 + their number;
// the colour averaged weighted by alpha (rounded down), the alpha averaged
// (rounded to nearest). The pixel at (x, y) must not be transparent.
Pixel BlurPixelAt(const PixelView& source, int x, int y);

// Writes the blur of every pixel of x1..x2 x y1..y2 (inclusive, already
// inside the image) from `source` into `target`; transparent pixels (alpha
// 0) and pixels of the transparent colour are copied unchanged, though
// they count as neighbours.
void BlurPixels(const PixelView& source, Pixel* target, int x1, int y1, int x2, int y2, Pixel transparent);

// The 4-connected area of pixels exactly equal (alpha included) to the one
// at (x, y) becomes `value`; a point outside the image changes nothing.
void FloodFillPixels(const PixelView& image, int x, int y, Pixel value);

}  // namespace glyph
