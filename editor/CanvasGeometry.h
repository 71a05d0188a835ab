// CanvasGeometry: where an image lies on the canvas. The image is drawn as
// square cells of `zoom` screen pixels; along each axis the zoomed image
// is centred when it fits the client area, and otherwise shows the part
// that starts `scroll` screen pixels into it (0 .. zoomed size - client
// size). Turns client points into image pixels and back, fits, zooms about
// a point and places the scroll position indicators. Portable: built and
// tested natively.
#pragma once

#include "editor/LinePoints.h"

namespace glyph {

// The zoom levels, in screen pixels per image pixel. The fit zoom may lie
// between two of them; zooming in or out from it steps to the next level.
constexpr int kZoomLevels[] = {1, 2, 3, 4, 6, 8, 10, 12, 16, 20, 24, 32, 40, 48, 64};
constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 64;

// The largest whole cell size at which the image fits the client area,
// within kMinZoom .. kMaxZoom (0 for an empty image or client).
int FitZoom(int imageWidth, int imageHeight, int clientWidth, int clientHeight);
// The next level above / below `zoom`, or `zoom` itself at the end.
int ZoomLevelAbove(int zoom);
int ZoomLevelBelow(int zoom);

// A bar along one edge of the client area: [start, start + length) along
// the edge, `thickness` pixels deep at the edge.
struct EdgeBar {
  bool shown = false;
  int start = 0;
  int length = 0;
};

struct CanvasGeometry {
  int imageWidth = 0, imageHeight = 0;
  int clientWidth = 0, clientHeight = 0;
  int zoom = 0;
  int scrollX = 0, scrollY = 0;

  bool Empty() const { return zoom <= 0 || imageWidth <= 0 || imageHeight <= 0; }
  int ContentWidth() const { return imageWidth * zoom; }
  int ContentHeight() const { return imageHeight * zoom; }
  // The client point of the image's top left corner (negative when scrolled).
  int OriginX() const;
  int OriginY() const;
  // The image pixel whose cell holds the client point; points beside the
  // image map to pixels beside it (never into the edge cells).
  GridPoint PixelAt(GridPoint client) const;
  // The client point at the centre of a pixel's cell.
  GridPoint CellCentre(GridPoint pixel) const;

  // Keeps the scroll within the zoomed image (0 on an axis that fits).
  void ClampScroll();
  void ScrollBy(int dx, int dy);
  // Sets the zoom so that the image point under `anchor` (a client point)
  // stays under it on every axis that scrolls at the new zoom.
  void ZoomAbout(int newZoom, GridPoint anchor);

  // The scroll position indicators: the bottom edge for the horizontal
  // scroll, the right edge for the vertical one; shown only on an axis that
  // scrolls. The thumb's share of the edge is the share of the image shown.
  EdgeBar HorizontalIndicator(int thickness) const;
  EdgeBar VerticalIndicator(int thickness) const;
};

}  // namespace glyph
