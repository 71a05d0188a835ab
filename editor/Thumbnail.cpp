#include "editor/Thumbnail.h"

#include <algorithm>
#include <cstdint>

namespace glyph {
namespace {

constexpr int Channel(Pixel p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

}  // namespace

Pixel OverGround(Pixel pixel, Pixel ground) {
  const int a = Channel(pixel, 24);
  Pixel out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int mixed = (Channel(pixel, shift) * a + Channel(ground, shift) * (255 - a) + 127) / 255;
    out |= static_cast<Pixel>(mixed) << shift;
  }
  return out;
}

void DrawThumbnail(const PixelView& target, int x, int y, int box, const PixelView& source, Pixel ground) {
  if (box <= 0 || source.width <= 0 || source.height <= 0) return;
  const int longest = std::max(source.width, source.height);
  // Output size keeping the shape; real size when it fits.
  const int width = longest <= box ? source.width : std::max(1, source.width * box / longest);
  const int height = longest <= box ? source.height : std::max(1, source.height * box / longest);
  const int left = x + (box - width) / 2, top = y + (box - height) / 2;
  for (int oy = 0; oy < height; ++oy) {
    const int ty = top + oy;
    if (ty < 0 || ty >= target.height) continue;
    const int y0 = oy * source.height / height, y1 = std::max(y0 + 1, (oy + 1) * source.height / height);
    for (int ox = 0; ox < width; ++ox) {
      const int tx = left + ox;
      if (tx < 0 || tx >= target.width) continue;
      const int x0 = ox * source.width / width, x1 = std::max(x0 + 1, (ox + 1) * source.width / width);
      // Alpha-weighted sums over the covered block.
      uint64_t sum[3] = {}, alpha = 0;
      for (int sy = y0; sy < y1; ++sy) {
        for (int sx = x0; sx < x1; ++sx) {
          const Pixel p = source.At(sx, sy);
          const int a = Channel(p, 24);
          alpha += a;
          for (int c = 0; c < 3; ++c) sum[c] += static_cast<uint64_t>(Channel(p, 8 * c)) * a;
        }
      }
      const uint64_t count = static_cast<uint64_t>(x1 - x0) * (y1 - y0);
      Pixel average = static_cast<Pixel>((alpha + count / 2) / count) << 24;
      if (alpha > 0)
        for (int c = 0; c < 3; ++c) average |= static_cast<Pixel>((sum[c] + alpha / 2) / alpha) << (8 * c);
      target.At(tx, ty) = OverGround(average, ground);
    }
  }
}

}  // namespace glyph
