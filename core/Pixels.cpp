#include "core/Pixels.h"

#include <utility>
#include <vector>

namespace glyph {
namespace {

constexpr int Byte(Pixel p, int i) { return static_cast<int>((p >> (8 * i)) & 0xFF); }
constexpr int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// BrushWeight's denominator: alpha and coverage are both out of 255.
constexpr int kFullCover = 255 * 255;

}  // namespace

int BrushWeight(int alpha, int opacity, int coverage) {
  alpha = Clamp(alpha, 0, kAlphaOpaque);
  opacity = Clamp(opacity, 0, kOpaque);
  coverage = Clamp(coverage, 0, 255);
  return (opacity * alpha * coverage + kFullCover / 2) / kFullCover;
}

Pixel MixPixels(Pixel from, Pixel to, int weight) {
  weight = Clamp(weight, 0, kOpaque);
  const int fromShare = AlphaOf(from) * (kOpaque - weight);
  const int toShare = AlphaOf(to) * weight;
  const int total = fromShare + toShare;
  Pixel out = 0;
  if (total == 0) {
    for (int i = 0; i < 3; ++i)
      out |= static_cast<Pixel>(MixByte(Byte(from, i), Byte(to, i), weight)) << (8 * i);
    return out;
  }
  // Rounded down, as MixByte does: with both alphas 255 the quotient is
  // (old * (256 - weight) + new * weight) / 256, which is MixByte.
  for (int i = 0; i < 3; ++i) {
    out |= static_cast<Pixel>((Byte(from, i) * fromShare + Byte(to, i) * toShare) / total) << (8 * i);
  }
  return out | static_cast<Pixel>((total + 128) >> 8) << 24;
}

Pixel PaintOver(Pixel pixel, Pixel color, int weight) {
  return MixPixels(pixel, WithAlpha(color, kAlphaOpaque), weight);
}

Pixel ErasePixel(Pixel pixel, int weight, Pixel transparent) {
  if (weight <= 0) return pixel;
  const int alpha = MixByte(AlphaOf(pixel), 0, weight);
  return alpha == 0 ? WithAlpha(transparent, 0) : WithAlpha(pixel, alpha);
}

Pixel Paint::Apply(Pixel pixel, int coverage) const {
  const int weight = BrushWeight(alpha, opacity, coverage);
  return erase ? ErasePixel(pixel, weight, transparent) : PaintOver(pixel, color, weight);
}

int CoverageOf(Pixel layerPixel) {
  const int r = Byte(layerPixel, 2), g = Byte(layerPixel, 1), b = Byte(layerPixel, 0);
  const int rg = r > g ? r : g;
  return rg > b ? rg : b;
}

void PaintThroughLayer(const PixelView& image, const Pixel* layer, const Paint& paint) {
  for (int i = 0; i < image.Count(); ++i) {
    const int coverage = CoverageOf(layer[i]);
    if (coverage != 0) image.bits[i] = paint.Apply(image.bits[i], coverage);
  }
}

void FillPixels(const PixelView& image, int red, int green, int blue, int alpha) {
  const Pixel p = (static_cast<Pixel>(alpha & 0xFF) << 24) | (static_cast<Pixel>(red & 0xFF) << 16) |
                  (static_cast<Pixel>(green & 0xFF) << 8) | static_cast<Pixel>(blue & 0xFF);
  for (int i = 0; i < image.Count(); ++i) image.bits[i] = p;
}

void BlendPixels(const PixelView& image, const Pixel* source, int opacity) {
  for (int i = 0; i < image.Count(); ++i) image.bits[i] = MixPixels(image.bits[i], source[i], opacity);
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
    for (int col = x; col < x + w; ++col) image.At(col, row) = PaintOver(image.At(col, row), target, opacity);
  }
}

Pixel BlurPixelAt(const PixelView& source, int x, int y) {
  static constexpr int kNeighbours[4][2] = {{-1, 0}, {1, 0}, {0, 1}, {0, -1}};
  static constexpr int kCentreWeight = 6;
  const Pixel centre = source.At(x, y);
  int alphaSum = kCentreWeight * AlphaOf(centre);
  int sum[3];
  for (int i = 0; i < 3; ++i) sum[i] = alphaSum * Byte(centre, i);
  int weight = kCentreWeight;
  for (const auto& d : kNeighbours) {
    const int nx = x + d[0], ny = y + d[1];
    if (nx < 0 || ny < 0 || nx >= source.width || ny >= source.height) continue;
    const Pixel n = source.At(nx, ny);
    alphaSum += AlphaOf(n);
    for (int i = 0; i < 3; ++i) sum[i] += AlphaOf(n) * Byte(n, i);
    ++weight;
  }
  if (alphaSum == 0) return centre;
  return static_cast<Pixel>(sum[0] / alphaSum) | static_cast<Pixel>(sum[1] / alphaSum) << 8 |
         static_cast<Pixel>(sum[2] / alphaSum) << 16 |
         static_cast<Pixel>((alphaSum + weight / 2) / weight) << 24;
}

void BlurPixels(const PixelView& source, Pixel* target, int x1, int y1, int x2, int y2, Pixel transparent) {
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) {
      const Pixel p = source.At(x, y);
      const bool keep = AlphaOf(p) == 0 || SameColor(p, transparent);
      target[y * source.stride + x] = keep ? p : BlurPixelAt(source, x, y);
    }
  }
}

void FloodFillPixels(const PixelView& image, int x, int y, Pixel value) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
  const Pixel target = image.At(x, y);
  if (target == value) return;
  // Runs of a row are filled whole; a seed is kept for each run of target
  // pixels above and below, so the stack stays small.
  std::vector<std::pair<int, int>> seeds{{x, y}};
  while (!seeds.empty()) {
    const auto [sx, sy] = seeds.back();
    seeds.pop_back();
    if (image.At(sx, sy) != target) continue;
    int left = sx, right = sx;
    while (left > 0 && image.At(left - 1, sy) == target) --left;
    while (right + 1 < image.width && image.At(right + 1, sy) == target) ++right;
    for (int i = left; i <= right; ++i) image.At(i, sy) = value;
    for (const int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= image.height) continue;
      bool inRun = false;
      for (int i = left; i <= right; ++i) {
        const bool match = image.At(i, ny) == target;
        if (match && !inRun) seeds.emplace_back(i, ny);
        inRun = match;
      }
    }
  }
}

}  // namespace glyph
