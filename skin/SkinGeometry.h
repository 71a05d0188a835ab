// Pixel arithmetic of the skin engine, apart from the platform: the opaque
// runs a window shape is built from, the slider thumb's place, the
// progress bar's percentage, the order Tab visits the controls in, and the
// display scale a skin is laid out at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "skin/SkinDescription.h"

namespace glyph::skin {

// Calls emit(left, y, right) for every run of opaque pixels in each row,
// rows from the top. pixels are 0x00RRGGBB, rows top-down, stride in
// pixels. A pixel is transparent when each of its components c lies in
// [t, min(255, t + tol)] for the matching components of transparent and
// tolerance, both in the platform colour layout 0x00BBGGRR.
void ScanOpaqueRuns(const std::uint32_t* pixels, int width, int height, std::size_t stride,
                    std::uint32_t transparent, std::uint32_t tolerance,
                    const std::function<void(int left, int y, int right)>& emit);

struct SliderGeometry {
  bool horizontal = true;
  int thumbWidth = 0, thumbHeight = 0;
  int clientWidth = 0, clientHeight = 0;
  int minimum = 0, maximum = 0;
};

// The thumb's rectangle in client coordinates for position p. An empty
// range puts the thumb at the start.
SkinRect ThumbRect(const SliderGeometry& g, int position);
// The position under a pointer dragging the thumb (horizontal: clamped to
// the track; vertical: left for the control to clamp).
int PositionFromPointer(const SliderGeometry& g, int x, int y);

// The percentage a progress bar shows for a pointer at offset along a
// side of the given length.
int PercentAt(int offset, int length);

// Reading order of control rectangles, as indices into `rects`: rows from
// the top, left to right in a row. A row starts at the highest control
// left and holds every control whose vertical middle lies above that
// control's bottom, so controls side by side stay together even when their
// sizes differ; within a row, equal lefts go top first.
std::vector<std::size_t> ReadingOrder(const std::vector<SkinRect>& rects);

// Which entries of `values` form a longest strictly increasing subsequence
// (one of them, when several are as long): the controls already in order,
// which need not be moved to put the others in order around them.
std::vector<bool> LongestIncreasing(const std::vector<int>& values);

// Display scale, in percent: a skin description is written in pixels at
// 100 % (96 dots per inch), and a window shown at another scale multiplies
// every length by it. A dpi of 0 or less (unknown) is taken as 96.
int ScaleForDpi(int dpi);
// v at the scale, halves rounded away from zero (as the skin's art is).
int ScaleLength(int v, int scale);
// A rectangle scaled edge by edge, so neighbours stay neighbours.
SkinRect ScaleRect(const SkinRect& r, int scale);

// A skin may carry its pictures drawn at 150 % and 200 % as well as 100 %.
// The art for a scale is the nearest drawn one at or above it (a picture
// shrunk stays sharper than one enlarged), 200 % above that.
inline constexpr int kArtScales[] = {100, 150, 200};
int ArtScaleFor(int scale);
// The name of a picture's art at a scale: "@1.5x" or "@2x" before the
// extension ("main.jpg" -> "main@2x.jpg"); the name itself at 100 %.
std::string ScaledPictureName(const std::string& name, int artScale);

}  // namespace glyph::skin
