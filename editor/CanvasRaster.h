// The canvas's picture, composed in memory: the visible part of the image
// scaled to its cells, each pixel mixed by its alpha (straight, byte 3)
// over a checkerboard or over a plain backing colour, grid lines between
// cells that are big enough, the ground around the image and the scroll
// position indicators. One pass over the client area, no platform calls,
// so a 256 x 256 image redraws in well under a frame. Portable: built and
// tested natively.
#pragma once

#include "core/Pixels.h"
#include "editor/CanvasGeometry.h"

namespace glyph {

// Checkerboard squares, in screen pixels, counted from the image's corner
// so the board scrolls with the image.
constexpr int kCheckerSquare = 8;
// The checkerboard's two light greys, 0x00RRGGBB.
constexpr Pixel kCheckerLight = 0xFCFCFC;
constexpr Pixel kCheckerDark = 0xCDCDCD;
// Cells smaller than this get no grid lines: the lines would hide them.
constexpr int kGridMinZoom = 4;
constexpr int kIndicatorThickness = 3;

// Colours as 0x00RRGGBB pixels.
struct CanvasLook {
  Pixel ground = 0;     // around the image
  Pixel grid = 0;       // the lines between cells
  Pixel indicator = 0;  // the scroll position thumbs
  Pixel checkerLight = 0;
  Pixel checkerDark = 0;
  // Transparent parts over `backing` instead of the checkerboard.
  bool plainBacking = false;
  Pixel backing = 0;
};

// `pixel` (straight alpha in byte 3) composited over an opaque backing;
// byte 3 of the result is 0.
Pixel OverBacking(Pixel pixel, Pixel backing);

// Writes every pixel of `out`, which covers the geometry's client area
// (out.width x out.height, at most the client size). An empty geometry
// or image leaves only the ground.
void RenderCanvas(const PixelView& image, const CanvasGeometry& geometry, const CanvasLook& look,
                  const PixelView& out);

}  // namespace glyph
