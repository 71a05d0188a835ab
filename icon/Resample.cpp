#include "icon/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
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

// alpha / 255 for every alpha, computed once: the same floats as dividing
// each time, without a division a pixel.
struct AlphaScale {
  float of[256];
  AlphaScale() {
    for (int a = 0; a < 256; ++a) of[a] = static_cast<float>(a) / kMaxByte;
  }
};

void PremultiplyRow(const std::uint8_t* row, int width, float* out) {
  static const AlphaScale scale;
  for (int x = 0; x < width; ++x, row += kChannels, out += kChannels) {
    const float k = scale.of[row[kAlpha]];
    out[0] = row[0] * k;
    out[1] = row[1] * k;
    out[2] = row[2] * k;
    out[kAlpha] = row[kAlpha];
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

// The rows of a picture being resampled, produced one after another, top
// to bottom, each rowFloats premultiplied floats long. Rows are made on
// demand and kept only while a later row still needs them, so a large
// picture never lives in memory as floats (on a fresh process every page
// of such a plane costs a fault).
class RowStream {
 public:
  virtual ~RowStream() = default;
  virtual void Next(float* out) = 0;
};

// The input's rows, each premultiplied (or taken from a plane of floats
// already premultiplied) and taken through every horizontal step while it
// is in cache.
class AcrossStream final : public RowStream {
 public:
  AcrossStream(const RgbaImage& in, const std::vector<WeightTable>& across)
      : bytes_(&in), width_(in.width), across_(across) {
    Size();
  }
  AcrossStream(const Plane& plane, int width, const std::vector<WeightTable>& across)
      : plane_(&plane), width_(width), across_(across) {
    Size();
  }
  void Next(float* out) override {
    const std::size_t rowFloats = static_cast<std::size_t>(width_) * kChannels;
    if (bytes_) {
      PremultiplyRow(bytes_->pixels.data() + row_++ * rowFloats, width_, a_.data());
    } else {
      const float* from = plane_->data() + row_++ * rowFloats;
      std::copy(from, from + rowFloats, a_.begin());
    }
    for (std::size_t s = 0; s < across_.size(); ++s) {
      const bool last = s + 1 == across_.size();
      FilterRow(a_.data(), across_[s], last ? out : b_.data());
      if (!last) std::swap(a_, b_);
    }
  }

 private:
  void Size() {
    std::size_t widest = static_cast<std::size_t>(width_) * kChannels;
    for (const WeightTable& t : across_) widest = std::max(widest, t.size() * kChannels);
    a_.resize(widest);
    b_.resize(widest);
  }

  const RgbaImage* bytes_ = nullptr;
  const Plane* plane_ = nullptr;
  int width_;
  const std::vector<WeightTable>& across_;
  Plane a_, b_;
  std::size_t row_ = 0;
};

// One vertical step: output row i mixes whole source rows. The source
// rows it reads are kept in a ring just large enough for the windows of
// the weight table, which move down the picture.
class DownStream final : public RowStream {
 public:
  DownStream(RowStream& source, const WeightTable& table, std::size_t rowFloats)
      : source_(source), table_(table), rowFloats_(rowFloats) {
    int reach = 0;  // the rows pulled so far, when row i is made
    for (const Contribution& c : table) {
      reach = std::max(reach, c.first + static_cast<int>(c.weights.size()));
      capacity_ = std::max(capacity_, reach - c.first);
    }
    ring_.resize(static_cast<std::size_t>(capacity_) * rowFloats);
  }
  void Next(float* out) override {
    const Contribution& c = table_[next_++];
    for (const int need = c.first + static_cast<int>(c.weights.size()); pulled_ < need; ++pulled_) {
      source_.Next(Slot(pulled_));
    }
    std::fill(out, out + rowFloats_, 0.0f);
    int row = c.first;
    for (float w : c.weights) {
      const float* src = Slot(row++);
      // A pixel at a time, so that the compiler mixes its channels as one
      // vector.
      for (std::size_t i = 0; i < rowFloats_; i += kChannels) {
        for (int k = 0; k < kChannels; ++k) out[i + k] += w * src[i + k];
      }
    }
  }

 private:
  float* Slot(int row) { return ring_.data() + static_cast<std::size_t>(row % capacity_) * rowFloats_; }

  RowStream& source_;
  const WeightTable& table_;
  std::size_t rowFloats_;
  int capacity_ = 1;
  Plane ring_;
  std::size_t next_ = 0;
  int pulled_ = 0;
};

// Divides by the unrounded alpha: colours stay exact where the filter kept
// colour and alpha in proportion, and the overshoot of the kernel's negative
// lobes is clamped away here, once.
void UnpremultiplyRow(const float* p, int width, std::uint8_t* q) {
  for (int x = 0; x < width; ++x, p += kChannels, q += kChannels) {
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

// Takes `rows` through each vertical step and hands every output row, top
// to bottom, to `take(y, row)`.
template <typename Take>
void FilterDown(RowStream& rows, const std::vector<WeightTable>& down, Take take, int width, int height) {
  const std::size_t rowFloats = static_cast<std::size_t>(width) * kChannels;
  std::vector<std::unique_ptr<DownStream>> steps;
  RowStream* last = &rows;
  for (const WeightTable& t : down) {
    steps.push_back(std::make_unique<DownStream>(*last, t, rowFloats));
    last = steps.back().get();
  }
  Plane row(rowFloats);
  for (int y = 0; y < height; ++y) {
    last->Next(row.data());
    take(y, row.data());
  }
}

// The picture `rows` make after the vertical steps, un-premultiplied.
RgbaImage Picture(RowStream& rows, const std::vector<WeightTable>& down, int width, int height) {
  RgbaImage out{width, height,
                std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * kChannels)};
  FilterDown(
      rows, down,
      [&](int y, const float* row) {
        UnpremultiplyRow(row, width, out.pixels.data() + static_cast<std::size_t>(y) * width * kChannels);
      },
      width, height);
  return out;
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
  AcrossStream rows(in, across);
  return Picture(rows, down, width, height);
}

bool SharesReduction(const RgbaImage& in, int width, int height) {
  return width * kSharedShrink <= in.width && height * kSharedShrink <= in.height;
}

std::vector<std::optional<RgbaImage>> ResampleShrinks(const RgbaImage& in,
                                                      const std::vector<PictureSize>& sizes) {
  std::vector<std::optional<RgbaImage>> out(sizes.size());
  int wide = 0, high = 0;
  for (const PictureSize& size : sizes) {
    if (!Acceptable(in, size.width, size.height) || !SharesReduction(in, size.width, size.height)) return out;
    wide = std::max(wide, size.width);
    high = std::max(high, size.height);
  }
  if (sizes.empty()) return out;
  // The shared reduction: a box to three times the largest size, as the
  // pre-pass of each would have been, kept as premultiplied floats.
  const QualityFilter filter;
  const int reducedWidth = static_cast<int>(std::lround(wide * filter.prePassRatio));
  const int reducedHeight = static_cast<int>(std::lround(high * filter.prePassRatio));
  const std::vector<WeightTable> boxAcross{BoxWeights(in.width, reducedWidth)};
  const std::vector<WeightTable> boxDown{BoxWeights(in.height, reducedHeight)};
  const std::size_t reducedRow = static_cast<std::size_t>(reducedWidth) * kChannels;
  Plane reduced(reducedRow * reducedHeight);
  AcrossStream source(in, boxAcross);
  FilterDown(
      source, boxDown,
      [&](int y, const float* row) {
        std::copy(row, row + reducedRow, reduced.begin() + static_cast<std::ptrdiff_t>(y * reducedRow));
      },
      reducedWidth, reducedHeight);
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const int width = sizes[i].width, height = sizes[i].height;
    const std::vector<WeightTable> across = AxisSteps(reducedWidth, width, filter);
    const std::vector<WeightTable> down = AxisSteps(reducedHeight, height, filter);
    AcrossStream rows(reduced, reducedWidth, across);
    out[i] = Picture(rows, down, width, height);
  }
  return out;
}

std::optional<RgbaImage> Resample(const RgbaImage& in, int width, int height, ResampleMode mode) {
  if (mode == ResampleMode::kQuality) return ResampleQuality(in, width, height, QualityFilter{});
  if (!Acceptable(in, width, height)) return std::nullopt;
  return Nearest(in, width, height);
}

}  // namespace glyph::icon
