// Icon files written by the editor, built in memory from a 32 x 32 image.
//
// Both icon kinds carry a colour plane and a 1-bit mask plane; a masked
// pixel (see IsMasked) gets mask bit 1 and black colour bytes. The
// true-colour file holds a 24-bit image, the 16-colour file a 4-bit image
// over the standard 16-colour palette.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Pixels.h"

namespace glyph {

constexpr int kIconSide = 32;
constexpr size_t kIconColorPlaneBytes = kIconSide * kIconSide * 3;  // 3072
constexpr size_t kIconMaskPlaneBytes = kIconSide * kIconSide / 8;   // 128
constexpr size_t kIconDirectoryBytes = 6;
constexpr size_t kIconEntryBytes = 16;
constexpr size_t kIconHeaderBytes = 40;
constexpr size_t kTrueColorIconBytes = kIconDirectoryBytes + kIconEntryBytes + kIconHeaderBytes +
                                       kIconColorPlaneBytes + kIconMaskPlaneBytes;  // 3262
constexpr size_t kIconPaletteColors = 16;
constexpr size_t kIcon4BitPlaneBytes = kIconSide * kIconSide / 2;  // 512
constexpr size_t kSixteenColorIconBytes = kIconDirectoryBytes + kIconEntryBytes + kIconHeaderBytes +
                                          4 * kIconPaletteColors + kIcon4BitPlaneBytes +
                                          kIconMaskPlaneBytes;  // 766

// Formats with only a mask take a pixel as transparent when it is mostly
// so, or when it has the transparent colour (low 24 bits), as the editor's
// images before alpha marked transparency.
constexpr int kMaskedBelowAlpha = 128;
constexpr bool IsMasked(Pixel p, Pixel transparent) {
  return AlphaOf(p) < kMaskedBelowAlpha || SameColor(p, transparent);
}

struct IconPlanes {
  std::vector<uint8_t> color;  // 3 bytes per pixel: blue, green, red
  std::vector<uint8_t> mask;   // 1 bit per pixel, leftmost pixel in the high bit
};

// The two planes of the image's top-left 32 x 32 pixels, rows top first
// (as CreateIcon takes them) or bottom first (as icon files store them).
// The image must be at least 32 x 32.
IconPlanes BuildIconPlanes(const PixelView& image, Pixel transparent, bool bottomUp);

// The 3262-byte true-colour icon file.
std::vector<uint8_t> BuildTrueColorIcon(const PixelView& image, Pixel transparent);

// The 766-byte 16-colour icon file: each pixel takes the nearest colour of
// the standard 16-colour palette (index 0 is black, as masked pixels are).
std::vector<uint8_t> BuildSixteenColorIcon(const PixelView& image, Pixel transparent);

// The standard 16-colour palette as pixel values, and the nearest entry.
const std::array<Pixel, kIconPaletteColors>& SixteenColorPalette();
int NearestPaletteIndex(Pixel p);

}  // namespace glyph
