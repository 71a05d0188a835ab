// The cells a stroke passes through between two pointer positions: an
// 8-connected run of integer points from the first to the last, both
// included (Bresenham's walk). A fast drag reports positions cells apart;
// the pen and the blur brush visit every cell of this run so the stroke
// shows no gaps. Portable: built and tested natively.
#pragma once

#include <vector>

namespace glyph {

struct GridPoint {
  int x = 0;
  int y = 0;
  constexpr bool operator==(const GridPoint&) const = default;
};

// max(|dx|, |dy|) + 1 points, starting at `from` and ending at `to`.
std::vector<GridPoint> LinePoints(GridPoint from, GridPoint to);

}  // namespace glyph
