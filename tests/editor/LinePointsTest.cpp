// The cells of a stroke: both ends, no gaps, no cell twice, in every
// direction.
#include "editor/LinePoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace glyph {
namespace {

TEST(LinePointsTest, RunsFromEndToEndWithoutGaps) {
  const struct {
    GridPoint from, to;
  } cases[] = {
      {{3, 3}, {3, 3}},    {{0, 0}, {9, 0}},    {{9, 0}, {0, 0}},  {{2, 1}, {2, 12}},
      {{12, 3}, {25, 12}}, {{25, 12}, {12, 3}}, {{5, 5}, {-3, 9}}, {{0, 0}, {7, -7}},
  };
  for (const auto& c : cases) {
    const auto points = LinePoints(c.from, c.to);
    const int steps = std::max(std::abs(c.to.x - c.from.x), std::abs(c.to.y - c.from.y));
    ASSERT_EQ(points.size(), static_cast<size_t>(steps) + 1) << c.from.x << "," << c.from.y;
    EXPECT_EQ(points.front(), c.from);
    EXPECT_EQ(points.back(), c.to);
    for (size_t i = 1; i < points.size(); ++i) {
      const int mx = std::abs(points[i].x - points[i - 1].x), my = std::abs(points[i].y - points[i - 1].y);
      EXPECT_TRUE(mx <= 1 && my <= 1 && mx + my > 0) << "gap before point " << i;
    }
  }
  // A diagonal is exact.
  EXPECT_EQ(LinePoints({1, 1}, {3, 3}), (std::vector<GridPoint>{{1, 1}, {2, 2}, {3, 3}}));
}

}  // namespace
}  // namespace glyph
