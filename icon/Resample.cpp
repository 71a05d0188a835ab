#include "icon/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace glyph::icon {
namespace {

constexpr int kChannels = 4;
constexpr int kAlpha = 3;
constexpr float kMaxByte = 255.0f;

bool Acceptable(const RgbaImage& in, int width, int height) {
  if (in.width < 1 || in.height < 1 || in.width > kMaxResampleInputSide ||
      in.height > kMaxResampleInputSide) {
    return false;
  }
  if (in.pixels.size() != static_cast<std::size_t>(in.width) * in.height * kChannels) return false;
  return width >= 1 && height >= 1 && width <= kMaxResampleOutputSide && height <= kMaxResampleOutputSide;
}

// A box pre-pass that shrinks by less than this costs more than the kernel
// pass it saves, and blurs (measured: 1024 to 256 is slower and further from
// a plain Lanczos with a 1024 to 768 box before it).
constexpr int kMinBoxShrink = 2;

// The steps along one axis: an optional box pre-pass, then the kernel.
std::vector<WeightTable> AxisSteps(int inSize, int outSize, const QualityFilter& filter) {
  std::vector<WeightTable> steps;
  // Compared in double first: any ratio is safe, only a useful one is used.
  const double box = std::round(outSize * filter.prePassRatio);
  if (box > outSize && box * kMinBoxShrink <= inSize) {
    const int boxSize = static_cast<int>(box);
    steps.push_back(BoxWeights(inSize, boxSize));
    inSize = boxSize;
  }
  steps.push_back(KernelWeights(inSize, outSize, filter.kernel));
  return steps;
}

// Premultiplied samples on a 0..255 scale, kChannels floats a pixel.
using Plane = std::vector<float>;

void PremultiplyRow(const std::uint8_t* row, int width, float* out) {
  for (int x = 0; x < width; ++x, row += kChannels, out += kChannels) {
    const float a = row[kAlpha];
    const float k = a / kMaxByte;
    out[0] = row[0] * k;
    out[1] = row[1] * k;
    out[2] = row[2] * k;
    out[kAlpha] = a;
  }
}

void FilterRow(const float* in, const WeightTable& table, float* out) {
  for (const Contribution& c : table) {
    const float* src = in + static_cast<std::ptrdiff_t>(c.first) * kChannels;
    float sum[kChannels] = {};
    for (float w : c.weights) {
      for (int k = 0; k < kChannels; ++k) sum[k] += w * src[k];
      src += kChannels;
    }
    for (int k = 0; k < kChannels; ++k) out[k] = sum[k];
    out += kChannels;
  }
}

// Rows of `rowFloats` floats each; output row i mixes whole input rows.
Plane FilterColumns(const Plane& in, std::size_t rowFloats, const WeightTable& table) {
  Plane out(table.size() * rowFloats, 0.0f);
  float* dst = out.data();
  for (const Contribution& c : table) {
    const float* src = in.data() + static_cast<std::size_t>(c.first) * rowFloats;
    for (float w : c.weights) {
      for (std::size_t i = 0; i < rowFloats; ++i) dst[i] += w * src[i];
      src += rowFloats;
    }
    dst += rowFloats;
  }
  return out;
}

// Divides by the unrounded alpha: colours stay exact where the filter kept
// colour and alpha in proportion, and the overshoot of the kernel's negative
// lobes is clamped away here, once.
void Unpremultiply(const Plane& in, RgbaImage& out) {
  const float* p = in.data();
  std::uint8_t* q = out.pixels.data();
  for (std::size_t i = 0; i < out.pixels.size(); i += kChannels, p += kChannels, q += kChannels) {
    const float a = p[kAlpha];
    const long alpha = std::lround(std::clamp(a, 0.0f, kMaxByte));
    if (alpha == 0) {
      q[0] = q[1] = q[2] = q[kAlpha] = 0;
      continue;
    }
    for (int k = 0; k < kAlpha; ++k) {
      q[k] = static_cast<std::uint8_t>(std::lround(std::clamp(p[k] * kMaxByte / a, 0.0f, kMaxByte)));
    }
    q[kAlpha] = static_cast<std::uint8_t>(alpha);
  }
}

RgbaImage Nearest(const RgbaImage& in, int width, int height) {
  RgbaImage out{width, height,
                std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * kChannels)};
  // Output centre x + 0.5 maps to input (x + 0.5) * in / out; its floor, in integers.
  std::vector<int> columns(width);
  for (int x = 0; x < width; ++x) {
    columns[x] = static_cast<int>((2LL * x + 1) * in.width / (2LL * width));
  }
  std::uint8_t* q = out.pixels.data();
  for (int y = 0; y < height; ++y) {
    const int sy = static_cast<int>((2LL * y + 1) * in.height / (2LL * height));
    const std::uint8_t* row = in.pixels.data() + static_cast<std::size_t>(sy) * in.width * kChannels;
    for (int x = 0; x < width; ++x, q += kChannels) {
      std::copy_n(row + static_cast<std::size_t>(columns[x]) * kChannels, kChannels, q);
    }
  }
  return out;
}

}  // namespace

std::optional<RgbaImage> ResampleQuality(const RgbaImage& in, int width, int height,
                                         const QualityFilter& filter) {
  if (!Acceptable(in, width, height)) return std::nullopt;
  const std::vector<WeightTable> across = AxisSteps(in.width, width, filter);
  const std::vector<WeightTable> down = AxisSteps(in.height, height, filter);

  // Each row is premultiplied and taken through every horizontal step while
  // it is in cache; only the narrowed rows are kept for the vertical steps.
  const std::size_t rowFloats = static_cast<std::size_t>(width) * kChannels;
  Plane narrowed(static_cast<std::size_t>(in.height) * rowFloats);
  std::size_t widest = static_cast<std::size_t>(in.width) * kChannels;
  for (const WeightTable& t : across) widest = std::max(widest, t.size() * kChannels);
  Plane a(widest), b(widest);
  const std::size_t inRowBytes = static_cast<std::size_t>(in.width) * kChannels;
  for (int y = 0; y < in.height; ++y) {
    PremultiplyRow(in.pixels.data() + y * inRowBytes, in.width, a.data());
    for (std::size_t s = 0; s < across.size(); ++s) {
      const bool last = s + 1 == across.size();
      float* out = last ? narrowed.data() + y * rowFloats : b.data();
      FilterRow(a.data(), across[s], out);
      if (!last) std::swap(a, b);
    }
  }
  for (const WeightTable& t : down) narrowed = FilterColumns(narrowed, rowFloats, t);

  RgbaImage out{width, height,
                std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * kChannels)};
  Unpremultiply(narrowed, out);
  return out;
}

std::optional<RgbaImage> Resample(const RgbaImage& in, int width, int height, ResampleMode mode) {
  if (mode == ResampleMode::kQuality) return ResampleQuality(in, width, height, QualityFilter{});
  if (!Acceptable(in, width, height)) return std::nullopt;
  return Nearest(in, width, height);
}

}  // namespace glyph::icon
