#include "editor/LinePoints.h"

#include <cstdlib>

namespace glyph {

std::vector<GridPoint> LinePoints(GridPoint from, GridPoint to) {
  const int dx = std::abs(to.x - from.x), dy = -std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
  std::vector<GridPoint> points;
  points.reserve(static_cast<size_t>(dx > -dy ? dx : -dy) + 1);
  int error = dx + dy;
  GridPoint p = from;
  for (;;) {
    points.push_back(p);
    if (p == to) break;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      p.x += sx;
    }
    if (twice <= dx) {
      error += dx;
      p.y += sy;
    }
  }
  return points;
}

}  // namespace glyph
