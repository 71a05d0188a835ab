// Pictures in the packed-DIB form the clipboard holds (CF_DIB, CF_DIBV5):
// a bitmap-info header, the bit masks and colour table it calls for, then
// the rows, with no file header in front.
//
// - ReadClipboardDib reads 1-, 4- and 8-bit palette pictures, 16 bits
//   (5-5-5 or bit fields), 24 bits and 32 bits (plain or bit fields), top
//   row first or last, with a header of 40 bytes up to the 124 of
//   BITMAPV5HEADER. A 32-bit picture keeps its alpha: a plain one's fourth
//   byte, the alpha mask's bits of a V4/V5 header, and the top byte of a
//   40-byte header whose bit fields are the plain 8-8-8 layout (programs
//   put their alpha there). One whose alpha is 0 everywhere is opaque, as
//   the platform draws it; every other depth is opaque. The header is
//   checked against the byte count before anything else is read, and the
//   size limits are those of ReadPicture (DocumentReader.h), whose BMP
//   reader decodes the rows. False with a sentence in `why` otherwise.
// - WriteClipboardDibV5 gives a BITMAPV5HEADER picture: 32 bits, bit
//   fields with an alpha mask (0xFF000000), sRGB, rows bottom-up.
//   WriteClipboardDib gives the plain CF_DIB most programs read: a 40-byte
//   header, 32 bits uncompressed, alpha in the fourth byte, rows bottom-up.
//   Both keep straight alpha and every pixel's colour, so reading one back
//   gives the same pixels (a picture whose alpha is 0 everywhere comes back
//   opaque). Both are empty for an image whose pixels do not match its
//   size or whose side is outside 1 to kBmpMaxSide.
// Portable code.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "icon/RgbaImage.h"

namespace glyph::icon {

bool ReadClipboardDib(std::span<const std::uint8_t> dib, RgbaImage& out, std::string& why);

std::vector<std::uint8_t> WriteClipboardDibV5(const RgbaImage& image);
std::vector<std::uint8_t> WriteClipboardDib(const RgbaImage& image);

}  // namespace glyph::icon
