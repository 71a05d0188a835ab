// Resizes an RGBA picture to an icon size, 1 to 256 pixels a side, from any
// picture up to kMaxResampleInputSide pixels a side; anything else (an empty
// or oversized picture, pixels that do not match the size, a size out of
// range) is refused with nullopt.
//
// kQuality filters in premultiplied alpha, so transparent pixels lend no
// colour to their neighbours (no dark fringe round a shape on a transparent
// ground): a box pre-pass brings a large shrink to 3 times the target
// (when that still halves the picture or more), then a separable Lanczos-3
// kernel makes the final size; enlarging uses the kernel alone. Lanczos-3
// was measured closer to Pillow's LANCZOS than Catmull-Rom on photos, alpha
// shapes and line art (bench/resample_pillow.py). The result is
// un-premultiplied with rounding to nearest, and a flat colour comes out as
// exactly that colour at every size. An output pixel whose alpha rounds to 0
// is transparent black.
//
// kSharp is nearest neighbour for pixel art: each output pixel is a copy of
// the input pixel under its centre, so an integer enlargement repeats every
// pixel exactly and nothing is blended.
#pragma once

#include <optional>
#include <vector>

#include "icon/ResampleWeights.h"
#include "icon/RgbaImage.h"

namespace glyph::icon {

enum class ResampleMode { kQuality, kSharp };

constexpr int kMaxResampleInputSide = 16384;
constexpr int kMaxResampleOutputSide = 256;

std::optional<RgbaImage> Resample(const RgbaImage& in, int width, int height, ResampleMode mode);

// The quality filter's choices, open so that the measurements behind the
// defaults can be repeated (bench/). A prePassRatio of 0 turns the box pre-pass off.
struct QualityFilter {
  ResampleKernel kernel = ResampleKernel::kLanczos3;
  double prePassRatio = 3.0;
};

std::optional<RgbaImage> ResampleQuality(const RgbaImage& in, int width, int height,
                                         const QualityFilter& filter);

// Several sizes from one picture in quality mode, for sizes that each
// shrink the picture at least kSharedShrink times along both axes: the
// picture is box-filtered once, to three times the largest of them (kept
// as premultiplied floats), and every size is made from that as
// ResampleQuality would make it from a picture of that size. One pass over
// a large picture instead of one per size; the results differ from
// Resample's only by the box steps being taken in two. Every result is
// nullopt when any size does not qualify (see SharesReduction).
constexpr int kSharedShrink = 6;

struct PictureSize {
  int width = 0;
  int height = 0;
};

bool SharesReduction(const RgbaImage& in, int width, int height);
std::vector<std::optional<RgbaImage>> ResampleShrinks(const RgbaImage& in,
                                                      const std::vector<PictureSize>& sizes);

}  // namespace glyph::icon
