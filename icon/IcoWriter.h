// The bytes of an icon file (.ico) holding the images of an icon document,
// written the way every reader agrees on: the platform's loader, Pillow,
// ImageMagick, GIMP, icoutils and the browsers.
//
// Each image is written as its storage and bits say; the writer makes no
// choice of its own beyond the order of the entries:
// - A PNG image is EncodePng of its pixels (the codec's own bytes); its
//   directory entry says 32 bits, whatever the image's bits field holds.
// - A BMP image is a bitmap-info header (40 bytes, height doubled for the
//   two planes, 1 plane, no compression, the image size = colour plane +
//   mask bytes, every other field 0), a full colour table at 1, 4 and 8
//   bits (2, 16, 256 entries; see IconPalette.h for how each is chosen),
//   the colour plane bottom-up and the 1-bit AND mask bottom-up, every row
//   of both padded to 4 bytes. A pixel with alpha below
//   kMaskAlphaThreshold (128, IconPalette.h) is masked (bit 1). At 32
//   bits the colour plane is BGRA with the alpha as it is, so the mask is
//   the alpha cut at that threshold (the platform draws by the alpha and
//   ignores the mask; the mask serves readers that cannot blend); a pixel
//   of alpha 0 is written as 0 in all four bytes, its colour lost. Below
//   32 bits a masked pixel's colour is black (so that no pixel inverts the
//   screen behind it) and every other pixel is opaque with its colour, or
//   the palette entry nearest to it.
// The directory: reserved 0, type 1, the count; each entry with width and
// height (256 written as 0), the colour count (2 at 1 bit, 16 at 4 bits,
// 0 from 8 bits up and for PNG: the count of a table of fewer than 256
// entries, as the platform's own tools write it; Pillow and icoutils go by
// the bit count and the image's header), reserved 0, 1 plane, the bit
// count, the exact byte count and the offset. The images follow the
// directory in entry order, packed: no reader needs them aligned.
// Entries are ordered largest first (by width, then height), and at one
// size more bits first, otherwise in the document's order. The platform
// picks the entry closest in size and then in depth to what it needs, and
// the first of equals; this order also puts the best image first for
// readers that only take the first entry.
// Refused, with a sentence in `why` and `out` unspecified: a document
// without images or with more than kMaxIconFileImages, a side outside 1 to
// kMaxIconSide, pixels that do not match the size, BMP bits other than
// 1, 4, 8, 24 or 32, a file past 4 GiB, a picture the PNG codec refuses.
// Portable code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "icon/IconDocument.h"

namespace glyph::icon {

// The directory's count is 16 bits.
constexpr std::size_t kMaxIconFileImages = 65535;

bool WriteIcoFile(const IconDocument& document, std::vector<std::uint8_t>& out, std::string& why);

// The commonest storage: every image whose larger side is at least `side`
// becomes a PNG image (32 bits), every smaller one a BMP image at its bits.
void StoreAsPngFrom(IconDocument& document, int side);

}  // namespace glyph::icon
