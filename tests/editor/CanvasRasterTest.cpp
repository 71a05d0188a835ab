// The canvas's picture: straight alpha over the backing, and the fast
// row-by-row composition against a plain per-screen-pixel drawing of the
// same rules, at many sizes, zooms and scroll positions.
#include "editor/CanvasRaster.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/common/Xorshift.h"

namespace glyph {
namespace {

TEST(CanvasRasterTest, OverBackingMixesByStraightAlpha) {
  const struct {
    Pixel pixel, backing, expected;
  } cases[] = {
      {0xFF123456, 0xFFFFFF, 0x123456},  // opaque: the colour, alpha dropped
      {0x00123456, 0xCDCDCD, 0xCDCDCD},  // transparent: the backing
      {0x80FF0000, 0xFFFFFF, 0xFF7F7F},  // half red over white
      {0x80FF0000, 0x000000, 0x800000}, {0x01FFFFFF, 0x000000, 0x010101},
  };
  for (const auto& c : cases) EXPECT_EQ(OverBacking(c.pixel, c.backing), c.expected) << std::hex << c.pixel;
}

// What one client pixel shows, from the rules alone.
Pixel Expected(const PixelView& image, const CanvasGeometry& g, const CanvasLook& look, int x, int y) {
  const int cx = x - g.OriginX(), cy = y - g.OriginY();
  if (cx < 0 || cy < 0 || cx >= g.ContentWidth() || cy >= g.ContentHeight()) return look.ground;
  const bool grid = g.zoom >= kGridMinZoom;
  if (grid && ((cx > 0 && cx % g.zoom == 0) || (cy > 0 && cy % g.zoom == 0))) return look.grid;
  const bool dark = (cx / kCheckerSquare + cy / kCheckerSquare) % 2 == 1;
  const Pixel backing = look.plainBacking ? look.backing : dark ? look.checkerDark : look.checkerLight;
  return OverBacking(image.At(cx / g.zoom, cy / g.zoom), backing);
}

TEST(CanvasRasterTest, MatchesThePlainDrawingAtAnyZoomAndScroll) {
  CanvasLook look;
  look.ground = 0xF0F0F0, look.grid = 0x808080, look.indicator = 0x202020;
  look.checkerLight = 0xFCFCFC, look.checkerDark = 0xCDCDCD, look.backing = 0xC0C0C0;
  test::Xorshift rng{0xC0FFEE};
  auto below = [&](int n) { return static_cast<int>(rng.Next() % static_cast<unsigned>(n)); };
  for (int run = 0; run < 300; ++run) {
    const int iw = 1 + below(40), ih = 1 + below(40), cw = 1 + below(120), ch = 1 + below(120);
    std::vector<Pixel> pixels(static_cast<size_t>(iw) * ih);
    for (Pixel& p : pixels) p = rng.Next();
    const PixelView image{pixels.data(), iw, ih, iw};
    CanvasGeometry g{iw, ih, cw, ch, 1 + below(20), below(900), below(900)};
    g.ClampScroll();
    look.plainBacking = run % 5 == 0;
    std::vector<Pixel> frame(static_cast<size_t>(cw) * ch, 0xDEADBEEF);
    const PixelView out{frame.data(), cw, ch, cw};
    RenderCanvas(image, g, look, out);
    const EdgeBar across = g.HorizontalIndicator(kIndicatorThickness);
    const EdgeBar down = g.VerticalIndicator(kIndicatorThickness);
    int wrong = 0;
    for (int y = 0; y < ch; ++y) {
      for (int x = 0; x < cw; ++x) {
        const bool onAcross = across.shown && y >= ch - kIndicatorThickness && x >= across.start &&
                              x < across.start + across.length;
        const bool onDown =
            down.shown && x >= cw - kIndicatorThickness && y >= down.start && y < down.start + down.length;
        const Pixel want = onAcross || onDown ? look.indicator : Expected(image, g, look, x, y);
        if (out.At(x, y) != want && wrong++ == 0) {
          ADD_FAILURE() << "run " << run << ": " << iw << "x" << ih << " zoom " << g.zoom << " scroll "
                        << g.scrollX << "," << g.scrollY << " in " << cw << "x" << ch << ": pixel " << x
                        << "," << y << " is " << std::hex << out.At(x, y) << ", not " << want;
        }
      }
    }
  }
}

}  // namespace
}  // namespace glyph
