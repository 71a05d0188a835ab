// Where the image lies on the canvas: fit and centring, the mouse mapping
// at any zoom and scroll, zooming about a point, the scroll indicators.
#include "editor/CanvasGeometry.h"

#include <gtest/gtest.h>

namespace glyph {
namespace {

CanvasGeometry Fitted(int iw, int ih, int cw, int ch) {
  CanvasGeometry g{iw, ih, cw, ch};
  g.zoom = FitZoom(iw, ih, cw, ch);
  return g;
}

TEST(CanvasGeometryTest, FitsSquareCellsCentred) {
  const struct {
    int iw, ih, cw, ch;
    int zoom, ox, oy;
  } cases[] = {
      {32, 32, 384, 360, 11, 16, 4}, {256, 256, 384, 360, 1, 64, 52}, {256, 256, 200, 100, 1, 0, 0},
      {48, 20, 384, 360, 8, 0, 100}, {1, 1, 384, 360, 64, 160, 148},  {16, 16, 288, 287, 17, 8, 7},
      {0, 0, 384, 360, 0, 0, 0},     {32, 32, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    const CanvasGeometry g = Fitted(c.iw, c.ih, c.cw, c.ch);
    EXPECT_EQ(g.zoom, c.zoom) << c.iw << "x" << c.ih;
    if (g.Empty()) continue;
    EXPECT_EQ(g.OriginX(), c.ox) << c.iw << "x" << c.ih;
    EXPECT_EQ(g.OriginY(), c.oy) << c.iw << "x" << c.ih;
  }
}

// Points beside the image map beside it, at any scroll; every corner cell
// of a large image is reachable; a cell's centre maps back to its pixel.
TEST(CanvasGeometryTest, MapsClientPointsToPixels) {
  CanvasGeometry small = Fitted(32, 32, 384, 360);  // zoom 11 at (16, 4)
  const struct {
    CanvasGeometry g;
    GridPoint client, pixel;
  } cases[] = {
      {small, {16, 4}, {0, 0}},
      {small, {15, 4}, {-1, 0}},
      {small, {16, 3}, {0, -1}},
      {small, {367, 355}, {31, 31}},
      {small, {368, 100}, {32, 8}},
      {small, {-30, 5}, {-5, 0}},
      {{256, 256, 384, 360, 4, 0, 0}, {0, 0}, {0, 0}},
      {{256, 256, 384, 360, 4, 640, 664}, {383, 359}, {255, 255}},
      {{256, 256, 384, 360, 4, 101, 50}, {2, 1}, {25, 12}},
      {{256, 256, 384, 360, 4, 101, 50}, {-2, 0}, {24, 12}},
  };
  for (const auto& c : cases) {
    const GridPoint p = c.g.PixelAt(c.client);
    EXPECT_EQ(p, c.pixel) << c.client.x << "," << c.client.y << " at scroll " << c.g.scrollX;
    EXPECT_EQ(c.g.PixelAt(c.g.CellCentre(c.pixel)), c.pixel);
  }
}

TEST(CanvasGeometryTest, ZoomStepsAndZoomAboutKeepThePixelUnderTheAnchor) {
  EXPECT_EQ(ZoomLevelAbove(11), 12);
  EXPECT_EQ(ZoomLevelBelow(11), 10);
  EXPECT_EQ(ZoomLevelAbove(kMaxZoom), kMaxZoom);
  EXPECT_EQ(ZoomLevelBelow(kMinZoom), kMinZoom);

  // The anchor starts over the image's middle, so no zoom here has to
  // clamp the scroll.
  for (int from : {2, 4, 11}) {
    for (int to : {2, 3, 8, 16, 64}) {
      for (GridPoint anchor : {GridPoint{190, 180}, GridPoint{150, 120}, GridPoint{230, 250}}) {
        CanvasGeometry g{256, 256, 384, 360, from, 128 * from - anchor.x + 3, 128 * from - anchor.y + 1};
        const GridPoint before = g.PixelAt(anchor);
        g.ZoomAbout(to, anchor);
        EXPECT_EQ(g.zoom, to);
        EXPECT_EQ(g.PixelAt(anchor), before) << from << " to " << to << " at " << anchor.x << "," << anchor.y;
      }
    }
  }
  // Out of range: clamped; an image that fits is centred again.
  CanvasGeometry g{32, 32, 384, 360, 11, 0, 0};
  g.ZoomAbout(1000, {0, 0});
  EXPECT_EQ(g.zoom, kMaxZoom);
  g.ZoomAbout(2, {300, 300});
  EXPECT_EQ(g.scrollX, 0);
  EXPECT_EQ(g.OriginX(), 160);
}

TEST(CanvasGeometryTest, IndicatorsShowTheVisiblePartAndStayOnTheirEdge) {
  EXPECT_FALSE(Fitted(32, 32, 384, 360).HorizontalIndicator(3).shown);
  EXPECT_FALSE(Fitted(32, 32, 384, 360).VerticalIndicator(3).shown);
  // Scrolls across only: the bar runs the whole bottom edge.
  CanvasGeometry wide{256, 32, 384, 360, 4, 0, 0};
  for (int scroll : {0, 300, 640}) {
    wide.scrollX = scroll;
    const EdgeBar bar = wide.HorizontalIndicator(3);
    ASSERT_TRUE(bar.shown);
    EXPECT_FALSE(wide.VerticalIndicator(3).shown);
    EXPECT_EQ(bar.length, 384 * 384 / 1024);
    EXPECT_GE(bar.start, 0);
    if (scroll == 0) {
      EXPECT_EQ(bar.start, 0);
    }
    if (scroll == 640) {
      EXPECT_EQ(bar.start + bar.length, 384);
    }
  }
  // Both: each bar ends before the corner the other one takes.
  CanvasGeometry big{256, 256, 384, 360, 64, 16384, 16384};
  big.ClampScroll();
  const EdgeBar across = big.HorizontalIndicator(3), down = big.VerticalIndicator(3);
  EXPECT_EQ(across.start + across.length, 381);
  EXPECT_EQ(down.start + down.length, 357);
  EXPECT_EQ(across.length, 8);  // never thinner than a few pixels
}

}  // namespace
}  // namespace glyph
