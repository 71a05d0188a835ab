#include "core/Pixels.h"

namespace glyph {
namespace {

constexpr int Byte(Pixel p, int i) { return static_cast<int>((p >> (8 * i)) & 0xFF); }

Pixel MixPixel(Pixel oldPixel, Pixel newPixel, int opacity) {
  Pixel out = oldPixel & 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    out |= static_cast<Pixel>(MixByte(Byte(oldPixel, i), Byte(newPixel, i), opacity)) << (8 * i);
  }
  return out;
}

}  // namespace

void FillPixels(const PixelView& image, int red, int green, int blue) {
  const Pixel p = (static_cast<Pixel>(red & 0xFF) << 16) | (static_cast<Pixel>(green & 0xFF) << 8) |
                  static_cast<Pixel>(blue & 0xFF);
  for (int i = 0; i < image.Count(); ++i) image.bits[i] = p;
}

void BlendPixels(const PixelView& image, const Pixel* source, int opacity) {
  for (int i = 0; i < image.Count(); ++i) image.bits[i] = MixPixel(image.bits[i], source[i], opacity);
}

void BlendRectPixels(const PixelView& image, int x, int y, int w, int h, ColorValue color, int opacity) {
  // Clipped in this order: the far edges first, then the near ones.
  if (x + w >= image.width) w = image.width - x;
  if (y + h >= image.height) h = image.height - y;
  if (x < 0) w += x;
  if (y < 0) h += y;
  if (w <= 0 || h <= 0) return;
  x = x < 0 ? 0 : x;
  y = y < 0 ? 0 : y;
  const Pixel target = PixelFromColor(color);
  for (int row = y; row < y + h; ++row) {
    for (int col = x; col < x + w; ++col) image.At(col, row) = MixPixel(image.At(col, row), target, opacity);
  }
}

Pixel BlurPixelAt(const PixelView& source, int x, int y) {
  static constexpr int kNeighbours[4][2] = {{-1, 0}, {1, 0}, {0, 1}, {0, -1}};
  int sum[3];
  const Pixel centre = source.At(x, y);
  for (int i = 0; i < 3; ++i) sum[i] = 6 * Byte(centre, i);
  int weight = 6;
  for (const auto& d : kNeighbours) {
    const int nx = x + d[0], ny = y + d[1];
    if (nx < 0 || ny < 0 || nx >= source.width || ny >= source.height) continue;
    const Pixel n = source.At(nx, ny);
    for (int i = 0; i < 3; ++i) sum[i] += Byte(n, i);
    ++weight;
  }
  return static_cast<Pixel>(sum[0] / weight) | static_cast<Pixel>(sum[1] / weight) << 8 |
         static_cast<Pixel>(sum[2] / weight) << 16;
}

void BlurPixels(const PixelView& source, Pixel* target, int x1, int y1, int x2, int y2, Pixel transparent) {
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) {
      const Pixel p = source.At(x, y);
      target[y * source.stride + x] = SameColor(p, transparent) ? p : BlurPixelAt(source, x, y);
    }
  }
}

}  // namespace glyph
