// The tools on images with alpha, driven through their gesture steps (the
// canvas's mouse handling is BitmapViewTest's): the brush goes over
// half-transparent pixels, the eraser and a brush of the transparent
// colour take alpha away, a pick takes alpha, the fill lays the brush.
#include "editor/CanvasTools.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <utility>

namespace glyph {
namespace {

constexpr Pixel kClear = 0x00C0C0C0u;  // transparent, in the transparent colour
constexpr ColorValue kRed = RGB(255, 0, 0);

using Cells = std::set<std::pair<int, int>>;

class CanvasToolsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(image.Create(32, 32), 1); }
  // Press, moves, release: the canvas's order of calls.
  void Stroke(std::initializer_list<POINT> points) {
    auto it = points.begin();
    tools.Press(image, *it);
    for (++it; it != points.end(); ++it) tools.Drag(image, *it);
    tools.Release(image, *(points.end() - 1));
  }
  Pixel At(int x, int y) const { return image.View().At(x, y); }
  Cells Differing(Pixel background) const {
    Cells cells;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (At(x, y) != background) cells.insert({x, y});
    return cells;
  }

  CCanvasTools tools;
  CDib image;
};

// Each stroke crosses itself: every cell it covers is laid over once.
TEST_F(CanvasToolsTest, StrokesLayTheBrushOverOrTakeAlphaAway) {
  const struct {
    const char* what;
    Pixel background;
    int tool;
    ColorValue brush;
    int brushAlpha;
    int opacity;
    Pixel expected;
  } cases[] = {
      // Alpha 128 + 128 * (1 - 1/2) = 192; red 255 * 0.5 / 0.75, blue 255 * 0.25 / 0.75.
      {"pen at half over half blue", 0x800000FFu, TOOL_PEN, kRed, 255, 128, 0xC0A90055u},
      {"pen over transparent", kClear, TOOL_PEN, kRed, 255, 128, 0x80FF0000u},
      {"brush alpha over opaque", 0xFF000000u, TOOL_PEN, RGB(255, 255, 255), 128, kOpaque, 0xFF808080u},
      {"eraser at half", 0xFF102030u, TOOL_ERASER, kRed, 255, 128, 0x7F102030u},
      {"eraser", 0xFF102030u, TOOL_ERASER, kRed, 255, kOpaque, kClear},
      {"transparent colour erases", 0xFF102030u, TOOL_PEN, RGB(192, 192, 192), 255, kOpaque, kClear},
      {"transparent colour at half", 0xFF102030u, TOOL_PEN, RGB(192, 192, 192), 255, 128, 0x7F102030u},
  };
  for (const auto& c : cases) {
    const PixelView view = image.View();
    for (int i = 0; i < view.Count(); ++i) view.bits[i] = c.background;
    tools.SetTool(c.tool);
    tools.SetBrushColor(c.brush);
    tools.SetBrushAlpha(c.brushAlpha);
    tools.SetOpacity(c.opacity);
    Stroke({{2, 5}, {8, 5}, {5, 2}, {5, 8}});
    const Cells changed = Differing(c.background);
    EXPECT_EQ(changed.size(), 7u + 3u + 5u) << c.what;
    for (const auto& [x, y] : changed) EXPECT_EQ(At(x, y), c.expected) << c.what << " at " << x << "," << y;
  }
}

// GDI draws text without alpha: on a transparent image every pixel it
// touched must carry the brush colour, fringes only less alpha.
TEST_F(CanvasToolsTest, TextLaysTheBrushColourByCoverage) {
  image.Fill(192, 192, 192);
  LOGFONTW font{};
  font.lfHeight = -12;
  font.lfWeight = FW_BOLD;
  lstrcpyW(font.lfFaceName, L"Tahoma");
  tools.SetText(L"Hg", font);
  tools.SetTool(TOOL_TEXT);
  tools.SetBrushColor(RGB(0, 0, 255));
  Stroke({{2, 2}, {4, 6}});
  const Cells changed = Differing(kClear);
  ASSERT_GT(changed.size(), 10u);
  int opaque = 0;
  for (const auto& [x, y] : changed) {
    EXPECT_EQ(At(x, y) & kColorBits, 0x0000FFu) << x << "," << y;
    EXPECT_GT(AlphaOf(At(x, y)), 0) << x << "," << y;
    opaque += AlphaOf(At(x, y)) == kAlphaOpaque;
    EXPECT_GE(y, 6) << "left where the press drew it";
  }
  EXPECT_GT(opaque, 5);
}

TEST_F(CanvasToolsTest, FillLaysTheBrushAndItsAlphaOrClears) {
  const struct {
    ColorValue brush;
    int alpha;
    Pixel expected;
  } cases[] = {{kRed, 255, 0xFFFF0000u}, {kRed, 100, 0x64FF0000u}, {RGB(192, 192, 192), 255, kClear}};
  for (const auto& c : cases) {
    image.Fill(0, 0, 0, 255);
    for (int i = 0; i < 32; ++i) image.View().At(i, 10) = 0xFFFFFFFFu;  // a wall across
    tools.SetTool(TOOL_FILL);
    tools.SetBrushColor(c.brush);
    tools.SetBrushAlpha(c.alpha);
    tools.SetOpacity(10);  // the fill ignores it
    Stroke({{3, 3}});
    EXPECT_EQ(At(31, 9), c.expected);
    EXPECT_EQ(At(0, 0), c.expected);
    EXPECT_EQ(At(3, 10), 0xFFFFFFFFu);
    EXPECT_EQ(At(3, 11), 0xFF000000u);
  }
}

TEST_F(CanvasToolsTest, PickTakesAlphaAndATransparentPixelGivesTheTransparentColour) {
  image.Fill(192, 192, 192);
  image.View().At(1, 1) = 0x80123456u;
  image.View().At(2, 2) = 0x00ABCDEFu;
  const struct {
    POINT at;
    bool right;
    ColorValue brush;
    int alpha;
    ColorValue transparent;
  } cases[] = {
      {{1, 1}, false, RGB(0x12, 0x34, 0x56), 0x80, RGB(192, 192, 192)},
      {{2, 2}, false, RGB(192, 192, 192), 255, RGB(192, 192, 192)},
      {{2, 2}, true, RGB(192, 192, 192), 255, RGB(0xAB, 0xCD, 0xEF)},
  };
  for (const auto& c : cases) {
    tools.SetTool(TOOL_PICK);
    tools.SetBrushColor(0);
    tools.SetBrushAlpha(7);
    if (c.right) {
      tools.SetBrushColor(c.brush);
      tools.SetBrushAlpha(c.alpha);
      EXPECT_TRUE(tools.ReleaseRight(image, c.at));
    } else {
      EXPECT_TRUE(tools.Release(image, c.at));
    }
    EXPECT_EQ(tools.GetBrushColor(), c.brush) << c.at.x;
    EXPECT_EQ(tools.GetBrushAlpha(), c.alpha) << c.at.x;
    EXPECT_EQ(tools.GetTransparentColor(), c.transparent) << c.at.x;
  }
}

}  // namespace
}  // namespace glyph
