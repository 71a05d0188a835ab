// Makes an icon document of chosen sizes from pictures: for each size an
// input of exactly that size when one is given (a hand-drawn 16 x 16 wins
// over a shrunk one), else the largest input resampled.
//
// A picture that is not square is fitted: resampled so that its longer
// side is the icon's side, and centred on transparent ground, so nothing is
// squashed. The largest input is the one with the longest side (the
// greater area among equals, the first among those). Sizes are kept in the
// order asked for, each once; a size outside 1 to kMaxIconSide, an empty
// list or no input is refused with a sentence in `why`.
//
// Storage: sizes from `pngFrom` up are PNG images, the rest BMP images of
// `bits` bits (1, 4, 8, 24 or 32).
#pragma once

#include <string>
#include <vector>

#include "icon/IconDocument.h"
#include "icon/Resample.h"

namespace glyph::icon {

// The sizes Windows asks for at every display scale, small to large.
inline const std::vector<int> kStandardIconSizes = {16, 20, 24, 32, 40, 48, 64, 256};

struct MakeOptions {
  std::vector<int> sizes = kStandardIconSizes;
  int pngFrom = kMaxIconSide;
  int bits = 32;
  ResampleMode mode = ResampleMode::kQuality;
};

bool MakeDocument(const std::vector<RgbaImage>& inputs, const MakeOptions& options, IconDocument& out,
                  std::string& why);

}  // namespace glyph::icon
