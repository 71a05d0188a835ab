// The colour tables of the icon writer's palette images, and the choice of
// a table entry for a colour. Colours are 0x00RRGGBB.
//
// - 1 bit: black and white.
// - 4 bits: the 16 standard Windows colours, in their usual order.
// - 8 bits: a palette made for the picture. When the picture's opaque
//   colours (with black added when it has transparent pixels, since a
//   masked pixel's colour must be black) number at most the table's size,
//   they are the palette, exactly, sorted by value. Otherwise a median cut
//   in integer arithmetic over the opaque colours weighted by their pixel
//   counts: the box with the widest channel range is split at its weighted
//   median until there are enough boxes; each box gives its rounded mean
//   colour. Ties always go to the lower channel, box or colour, so the
//   palette depends on the pixels alone and is the same in every build.
// A colour maps to the nearest entry by squared distance in RGB, the lower
// index on a tie; a palette that holds the colour maps it to itself.
// Portable code.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "icon/RgbaImage.h"

namespace glyph::icon {

// A pixel with alpha below this is transparent in an image without alpha
// of its own (and masked in every image): the mask then matches what a
// reader that rounds alpha to on/off would show.
constexpr std::uint8_t kMaskAlphaThreshold = 128;

constexpr std::uint32_t kBlack = 0x000000;

extern const std::array<std::uint32_t, 16> kStandardColours;
extern const std::array<std::uint32_t, 2> kMonochromeColours;

// A palette of at most maxColours (2 to 256) entries for the opaque pixels
// of `image`, holding black when any pixel is transparent.
std::vector<std::uint32_t> AdaptivePalette(const RgbaImage& image, int maxColours);

// The index of the entry nearest `rgb`; the palette is not empty.
int NearestColour(const std::uint32_t* palette, int count, std::uint32_t rgb);

}  // namespace glyph::icon
