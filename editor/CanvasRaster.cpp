#include "editor/CanvasRaster.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace glyph {
namespace {

constexpr Pixel kRgbMask = 0x00FFFFFF;
constexpr int kAlphaShift = 24;

// What one screen column of the image part shows.
struct Column {
  int pixel = 0;      // image column, counted from the first visible one
  bool dark = false;  // the checkerboard's dark square, on an even square row
  bool grid = false;  // a grid line
};

void FillRect(const PixelView& out, int left, int top, int right, int bottom, Pixel colour) {
  left = std::max(left, 0), top = std::max(top, 0);
  right = std::min(right, out.width), bottom = std::min(bottom, out.height);
  for (int y = top; y < bottom; ++y) std::fill_n(&out.At(left, y), std::max(0, right - left), colour);
}

void DrawIndicators(const CanvasGeometry& geometry, const CanvasLook& look, const PixelView& out) {
  const EdgeBar across = geometry.HorizontalIndicator(kIndicatorThickness);
  if (across.shown) {
    FillRect(out, across.start, geometry.clientHeight - kIndicatorThickness, across.start + across.length,
             geometry.clientHeight, look.indicator);
  }
  const EdgeBar down = geometry.VerticalIndicator(kIndicatorThickness);
  if (down.shown) {
    FillRect(out, geometry.clientWidth - kIndicatorThickness, down.start, geometry.clientWidth,
             down.start + down.length, look.indicator);
  }
}

}  // namespace

Pixel OverBacking(Pixel pixel, Pixel backing) {
  const unsigned alpha = pixel >> kAlphaShift;
  if (alpha == 255) return pixel & kRgbMask;
  if (alpha == 0) return backing & kRgbMask;
  Pixel out = 0;
  for (int shift = 0; shift < kAlphaShift; shift += 8) {
    const unsigned mixed = ((pixel >> shift) & 0xFF) * alpha + ((backing >> shift) & 0xFF) * (255 - alpha);
    out |= ((mixed + 127) / 255) << shift;
  }
  return out;
}

void RenderCanvas(const PixelView& image, const CanvasGeometry& geometry, const CanvasLook& look,
                  const PixelView& out) {
  FillRect(out, 0, 0, out.width, out.height, look.ground);
  if (geometry.Empty() || !image.bits || image.width < geometry.imageWidth ||
      image.height < geometry.imageHeight) {
    return;
  }
  const int zoom = geometry.zoom;
  const int ox = geometry.OriginX(), oy = geometry.OriginY();
  // The image's part of the client area, in client pixels.
  const int x0 = std::max(0, ox), x1 = std::min(out.width, ox + geometry.ContentWidth());
  const int y0 = std::max(0, oy), y1 = std::min(out.height, oy + geometry.ContentHeight());
  if (x0 < x1 && y0 < y1) {
    const bool grid = zoom >= kGridMinZoom;
    const int firstPixel = (x0 - ox) / zoom;
    const int pixels = (x1 - 1 - ox) / zoom - firstPixel + 1;
    const int width = x1 - x0;
    std::vector<Column> columns(static_cast<size_t>(width));
    for (int x = x0; x < x1; ++x) {
      const int cx = x - ox;
      columns[x - x0] =
          Column{cx / zoom - firstPixel, (cx / kCheckerSquare) % 2 == 1, grid && cx > 0 && cx % zoom == 0};
    }
    // Each image row: its pixels over the light and over the dark squares,
    // then the screen row on an even and on an odd row of squares.
    std::vector<Pixel> overLight(static_cast<size_t>(pixels)), overDark(static_cast<size_t>(pixels));
    std::vector<Pixel> evenRow(static_cast<size_t>(width)), oddRow(static_cast<size_t>(width));
    const Pixel light = look.plainBacking ? look.backing : look.checkerLight;
    const Pixel dark = look.plainBacking ? look.backing : look.checkerDark;
    for (int py = (y0 - oy) / zoom; oy + py * zoom < y1; ++py) {
      const Pixel* source = &image.At(firstPixel, py);
      for (int i = 0; i < pixels; ++i) {
        overLight[i] = OverBacking(source[i], light);
        overDark[i] = OverBacking(source[i], dark);
      }
      for (int i = 0; i < width; ++i) {
        const Column& c = columns[i];
        evenRow[i] = c.grid ? look.grid : (c.dark ? overDark : overLight)[c.pixel];
        oddRow[i] = c.grid ? look.grid : (c.dark ? overLight : overDark)[c.pixel];
      }
      const int top = std::max(y0, oy + py * zoom), bottom = std::min(y1, oy + (py + 1) * zoom);
      for (int y = top; y < bottom; ++y) {
        const int cy = y - oy;
        Pixel* row = &out.At(x0, y);
        if (grid && cy > 0 && cy % zoom == 0) {
          std::fill_n(row, width, look.grid);
        } else {
          std::memcpy(row, ((cy / kCheckerSquare) % 2 ? oddRow : evenRow).data(), width * sizeof(Pixel));
        }
      }
    }
  }
  DrawIndicators(geometry, look, out);
}

}  // namespace glyph
