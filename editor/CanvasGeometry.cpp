#include "editor/CanvasGeometry.h"

#include <algorithm>

namespace glyph {
namespace {

// A thumb never shrinks below this, so it stays visible on a long image.
constexpr int kMinThumb = 8;

// Rounds toward minus infinity: a point one pixel left of the image lies
// in the cell left of column 0, not in column 0.
long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The origin on one axis: centred when the content fits, else scrolled.
int AxisOrigin(int content, int client, int scroll) {
  return content <= client ? (client - content) / 2 : -scroll;
}

int ClampAxis(int scroll, int content, int client) {
  if (content <= client) return 0;
  return std::clamp(scroll, 0, content - client);
}

EdgeBar Indicator(int content, int client, int scroll, int track) {
  EdgeBar bar;
  if (content <= client || track <= 0) return bar;
  bar.shown = true;
  bar.length = static_cast<int>(
      std::max<long long>(std::min(track, kMinThumb), static_cast<long long>(track) * client / content));
  bar.start = static_cast<int>(static_cast<long long>(track - bar.length) * scroll / (content - client));
  return bar;
}

}  // namespace

int FitZoom(int imageWidth, int imageHeight, int clientWidth, int clientHeight) {
  if (imageWidth <= 0 || imageHeight <= 0 || clientWidth <= 0 || clientHeight <= 0) return 0;
  return std::clamp(std::min(clientWidth / imageWidth, clientHeight / imageHeight), kMinZoom, kMaxZoom);
}

int ZoomLevelAbove(int zoom) {
  for (int level : kZoomLevels)
    if (level > zoom) return level;
  return std::max(zoom, kMinZoom);
}

int ZoomLevelBelow(int zoom) {
  int below = kMinZoom;
  for (int level : kZoomLevels)
    if (level < zoom) below = level;
  return std::min(below, std::max(zoom, kMinZoom));
}

int CanvasGeometry::OriginX() const { return AxisOrigin(ContentWidth(), clientWidth, scrollX); }
int CanvasGeometry::OriginY() const { return AxisOrigin(ContentHeight(), clientHeight, scrollY); }

GridPoint CanvasGeometry::PixelAt(GridPoint client) const {
  if (Empty()) return GridPoint{-1, -1};
  return GridPoint{static_cast<int>(FloorDiv(client.x - OriginX(), zoom)),
                   static_cast<int>(FloorDiv(client.y - OriginY(), zoom))};
}

GridPoint CanvasGeometry::CellCentre(GridPoint pixel) const {
  return GridPoint{OriginX() + pixel.x * zoom + zoom / 2, OriginY() + pixel.y * zoom + zoom / 2};
}

void CanvasGeometry::ClampScroll() {
  scrollX = ClampAxis(scrollX, ContentWidth(), clientWidth);
  scrollY = ClampAxis(scrollY, ContentHeight(), clientHeight);
}

void CanvasGeometry::ScrollBy(int dx, int dy) {
  scrollX += dx;
  scrollY += dy;
  ClampScroll();
}

void CanvasGeometry::ZoomAbout(int newZoom, GridPoint anchor) {
  const int old = zoom;
  const int oldX = OriginX(), oldY = OriginY();
  zoom = std::clamp(newZoom, kMinZoom, kMaxZoom);
  if (old > 0) {
    // The same pixel, and the same fraction of it, under the anchor.
    scrollX = static_cast<int>(FloorDiv(static_cast<long long>(anchor.x - oldX) * zoom, old)) - anchor.x;
    scrollY = static_cast<int>(FloorDiv(static_cast<long long>(anchor.y - oldY) * zoom, old)) - anchor.y;
  }
  ClampScroll();
}

EdgeBar CanvasGeometry::HorizontalIndicator(int thickness) const {
  const bool vertical = ContentHeight() > clientHeight;
  return Indicator(ContentWidth(), clientWidth, scrollX, clientWidth - (vertical ? thickness : 0));
}

EdgeBar CanvasGeometry::VerticalIndicator(int thickness) const {
  const bool horizontal = ContentWidth() > clientWidth;
  return Indicator(ContentHeight(), clientHeight, scrollY, clientHeight - (horizontal ? thickness : 0));
}

}  // namespace glyph
