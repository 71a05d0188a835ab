// Pixel arithmetic of the image type, on raw 32-bit pixel memory.
//
// Pixels are 0x00RRGGBB (blue in byte 0); colour values, as the colour
// dialog and GDI use them, are 0x00BBGGRR (red in byte 0). Images are
// stored top row first, `stride` pixels per row.
#pragma once

#include <cstdint>

namespace glyph {

using Pixel = uint32_t;
using ColorValue = uint32_t;

constexpr int kOpaque = 256;  // opacity that replaces; 0 keeps

// Swaps the red and blue bytes (colour value <-> pixel value).
constexpr uint32_t SwapRedBlue(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
constexpr Pixel PixelFromColor(ColorValue c) { return SwapRedBlue(c); }
constexpr ColorValue ColorFromPixel(Pixel p) { return SwapRedBlue(p); }
constexpr bool SameColor(Pixel a, Pixel b) { return ((a ^ b) & 0xFFFFFF) == 0; }

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

// Every pixel, the padding columns included, becomes (r << 16)|(g << 8)|b.
void FillPixels(const PixelView& image, int red, int green, int blue);

// Mixes `source` (same layout) into `image`, bytes 0-2 of all stride x
// height pixels; byte 3 is kept.
void BlendPixels(const PixelView& image, const Pixel* source, int opacity);

// Mixes a solid colour value into the rectangle, clipped to the image.
void BlendRectPixels(const PixelView& image, int x, int y, int w, int h, ColorValue color, int opacity);

// The blur kernel at (x, y) reading `source` (laid out like `image`):
// 6 x the pixel plus its in-image 4-neighbours, divided by 6 + their number;
// byte 3 becomes 0.
Pixel BlurPixelAt(const PixelView& source, int x, int y);

// Writes the blur of every pixel of x1..x2 x y1..y2 (inclusive, already
// inside the image) from `source` into `target`; pixels equal to the
// transparent pixel value are copied unchanged.
void BlurPixels(const PixelView& source, Pixel* target, int x1, int y1, int x2, int y2, Pixel transparent);

}  // namespace glyph
