// PNG pictures to and from straight 8-bit RGBA, through a well-kept codec:
// the platform's imaging component (WIC) in the Windows build, libpng in
// the native one. Both give the same pixels for the same file:
// - every colour type and bit depth, interlaced or not, palette and tRNS
//   transparency included, comes out as 8-bit RGBA;
// - a 16-bit sample becomes its high byte (what WIC's converter does);
// - gamma and colour profiles are ignored: the pixels as stored.
// Before any pixel memory is allocated the header and the chunk list are
// checked (PngHeader.h): sides over kMaxPngSide, more than kMaxPngPixels
// pixels, or more pixels than the compressed data could hold are refused.
// Encoding writes 8-bit RGBA, non-interlaced; the bytes differ between the
// two codecs, the pixels read back do not.
// Each call returns false with a sentence in `why` on failure, leaving
// `out` unspecified. The WIC build initialises COM on the calling thread
// when it is not yet (apartment-threaded) and balances it before returning;
// a thread already in either apartment keeps its own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "icon/RgbaImage.h"

namespace glyph::icon {

bool DecodePng(std::span<const std::uint8_t> bytes, RgbaImage& out, std::string& why);
bool EncodePng(const RgbaImage& image, std::vector<std::uint8_t>& out, std::string& why);

}  // namespace glyph::icon
