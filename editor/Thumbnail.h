// Small pictures of an icon's images: an image drawn into a square box of
// another image, over an opaque ground, as the size strip and the preview
// show them. Portable pixel arithmetic.
//
// An image that fits the box is drawn at its real size, centred; a larger
// one is shrunk to fit, keeping its shape, each box pixel the average of
// the image pixels it covers weighted by their alpha (so transparent
// pixels lend no colour). Straight alpha is mixed over the ground.
#pragma once

#include "core/Pixels.h"

namespace glyph {

// Draws `source` into the box of side `box` at (x, y) of `target`, over
// `ground` (0x00RRGGBB); parts of the box outside the target are skipped.
void DrawThumbnail(const PixelView& target, int x, int y, int box, const PixelView& source, Pixel ground);

// One straight-alpha pixel mixed over an opaque ground, rounded to nearest.
Pixel OverGround(Pixel pixel, Pixel ground);

}  // namespace glyph
