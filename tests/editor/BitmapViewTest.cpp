// The canvas driven with real mouse messages on a real owner-drawn button,
// the image and the painted grid read back.
#include "editor/BitmapView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <utility>

#include "editor/TextDialog.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

constexpr ColorValue kSilver = RGB(192, 192, 192);
constexpr Pixel kSilverPixel = 0xC0C0C0;
constexpr Pixel kBlackPixel = 0x000000;
// A 32 x 32 image fits in cells of 11 x 11, centred: 16 pixels of ground
// left and right, 4 above and below.
constexpr int kClientWidth = 384, kClientHeight = 360;
constexpr int kCell = 11, kLeft = 16, kTop = 4;
constexpr Pixel kOpaque = 0xFF000000;

using Cells = std::set<std::pair<int, int>>;

// The dialog stand-in: reflects WM_DRAWITEM to the canvas and records the
// pick notification.
class Host : public Window {
 public:
  int picks = 0;

 protected:
  bool OnCommand(UINT id, UINT, HWND lp) override {
    if (id == kPickCommandId && reinterpret_cast<LPARAM>(lp) == kPickNotifyParam) ++picks;
    return true;
  }
};

// Counts its paints: a window of the canvas's refresh list.
class PaintCounter : public Window {
 public:
  int paints = 0;

 protected:
  void OnPaint() override {
    PaintDC dc(GetHwnd());
    ++paints;
  }
};

class BitmapViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Window::RegisterClass("GlyphCanvasHost", 0, nullptr, ::GetSysColorBrush(COLOR_BTNFACE)));
    ASSERT_TRUE(host.Create("GlyphCanvasHost", "host", WS_POPUP | WS_VISIBLE, 0,
                            RECT{20, 20, 20 + kClientWidth + 40, 20 + kClientHeight + 40}, nullptr, 0));
    HWND button =
        ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, kClientWidth,
                          kClientHeight, host.GetHwnd(), reinterpret_cast<HMENU>(1000), nullptr, nullptr);
    ASSERT_TRUE(button);
    ASSERT_TRUE(view.Subclass(button));
    ASSERT_EQ(image.Create(32, 32), 1);
    image.Fill(192, 192, 192);
    view.SetImage(&image);
    ASSERT_TRUE(Window::RegisterClass("GlyphPaintCounter", 0, nullptr, nullptr));
    ASSERT_TRUE(counter.Create("GlyphPaintCounter", "", WS_CHILD | WS_VISIBLE, 0, RECT{390, 0, 400, 10},
                               host.GetHwnd(), 0));
    const HWND list[] = {counter.GetHwnd(), nullptr};
    view.SetRefreshList(list);
    PumpMessages();
  }
  void TearDown() override {
    view.Unsubclass();
    host.DestroyWindow();
  }

  static LPARAM CellPoint(int x, int y) {
    return MAKELPARAM(kLeft + x * kCell + kCell / 2, kTop + y * kCell + kCell / 2);
  }
  // The wheel's point is on the screen.
  void Wheel(WORD keys, int delta, POINT client) {
    ::ClientToScreen(view, &client);
    ::SendMessageA(view, WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)),
                   MAKELPARAM(client.x, client.y));
  }
  void Down(int x, int y) { ::SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(x, y)); }
  void Drag(int x, int y) { ::SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, CellPoint(x, y)); }
  void Up(int x, int y) { ::SendMessageA(view, WM_LBUTTONUP, 0, CellPoint(x, y)); }
  void Stroke(std::initializer_list<std::pair<int, int>> cells) {
    auto it = cells.begin();
    Down(it->first, it->second);
    for (++it; it != cells.end(); ++it) Drag(it->first, it->second);
    Up((cells.end() - 1)->first, (cells.end() - 1)->second);
  }
  Pixel At(int x, int y) const { return image.View().At(x, y) & 0xFFFFFF; }
  Cells Changed(Pixel background = kSilverPixel) const {
    Cells cells;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (At(x, y) != background) cells.insert({x, y});
    return cells;
  }

  Host host;
  PaintCounter counter;
  CBitmapView view;
  CDib image;
  CDib other;  // an image of another size
};

TEST_F(BitmapViewTest, CellsAreSquareAndFitTheClientArea) {
  EXPECT_EQ(view.GetCellWidth(), kCell);
  EXPECT_EQ(view.GetCellHeight(), kCell);
  EXPECT_EQ(view.GetUndoCount(), 1);
  EXPECT_EQ(view.GetTool(), TOOL_PEN);
  EXPECT_EQ(view.GetBrushSize(), 1);
  EXPECT_EQ(view.GetOpacity(), 256);
  EXPECT_EQ(view.GetTransparentColor(), kSilver);
}

// A fast drag reports cells far apart: the stroke joins them, at the
// brush size, and is mixed into the image once where it crosses itself.
TEST_F(BitmapViewTest, PenStrokeJoinsFastMovesAtTheBrushSize) {
  Stroke({{2, 3}, {8, 3}, {8, 9}, {2, 15}});
  Cells path;
  for (int x = 2; x <= 8; ++x) path.insert({x, 3});
  for (int y = 4; y <= 9; ++y) path.insert({8, y});
  for (int i = 1; i <= 6; ++i) path.insert({8 - i, 9 + i});
  EXPECT_EQ(Changed(), path);
  EXPECT_EQ(At(5, 3), kBlackPixel);
  EXPECT_EQ(view.GetUndoCount(), 2);
  view.Undo();
  EXPECT_TRUE(Changed().empty());

  // Size 3: every cell of the path carries the whole dot, nothing strays.
  view.SetBrushSize(3);
  Stroke({{2, 3}, {8, 3}, {8, 9}, {2, 15}});
  const Cells wide = Changed();
  for (const auto& [x, y] : path)
    for (const auto& cell : Cells{{x, y}, {x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}})
      EXPECT_TRUE(wide.count(cell)) << cell.first << "," << cell.second;
  for (const auto& [x, y] : wide) {
    bool onPath = false;
    for (const auto& [px, py] : path) onPath = onPath || (std::abs(px - x) <= 1 && std::abs(py - y) <= 1);
    EXPECT_TRUE(onPath) << x << "," << y;
  }

  // White at opacity 128 over black, crossing itself: 127 everywhere.
  image.Fill(0, 0, 0, 255);
  view.SetBrushSize(1);
  view.SetBrushColor(RGB(255, 255, 255));
  view.SetOpacity(128);
  Stroke({{2, 5}, {8, 5}, {5, 2}, {5, 8}});
  EXPECT_EQ(Changed(0).size(), 7u + 3u + 5u);
  for (const auto& [x, y] : Changed(0)) EXPECT_EQ(At(x, y), 0x7F7F7Fu) << x << "," << y;
}

TEST_F(BitmapViewTest, PenDotFollowsBrushSizeAndOpacity) {
  struct Case {
    int size;
    Cells box;  // the cells the dot may touch
    Cells must;
  } cases[] = {
      {1, {{10, 10}}, {{10, 10}}},
      {3, {}, {{10, 10}, {9, 10}, {11, 10}, {10, 9}, {10, 11}}},
      {4, {}, {{10, 10}, {11, 11}, {9, 10}, {12, 10}, {10, 9}, {10, 12}}},
  };
  for (auto& c : cases) {
    if (c.box.empty()) {
      const int lo = 10 - (c.size - 1) / 2, hi = 10 + c.size / 2;
      for (int y = lo; y <= hi; ++y)
        for (int x = lo; x <= hi; ++x) c.box.insert({x, y});
    }
    image.Fill(192, 192, 192);
    view.SetBrushSize(c.size);
    Stroke({{10, 10}});
    const Cells changed = Changed();
    for (const auto& cell : c.must) EXPECT_TRUE(changed.count(cell)) << c.size;
    for (const auto& cell : changed)
      EXPECT_TRUE(c.box.count(cell)) << c.size << " " << cell.first << "," << cell.second;
  }
  // At the corner the dot is clipped to the image.
  image.Fill(192, 192, 192);
  view.SetBrushSize(5);
  Stroke({{0, 0}});
  const Cells corner = Changed();
  EXPECT_TRUE(corner.count({0, 0}));
  for (const auto& cell : corner) EXPECT_TRUE(cell.first <= 2 && cell.second <= 2);
  // White at opacity 128 over black gives 127.
  image.Fill(0, 0, 0, 255);
  view.SetBrushSize(1);
  view.SetBrushColor(RGB(255, 255, 255));
  view.SetOpacity(128);
  Stroke({{4, 4}});
  EXPECT_EQ(At(4, 4), 0x7F7F7Fu);
  EXPECT_EQ(At(5, 4), 0u);
}

// The pixels move with their alpha; what the move uncovers is the
// transparent colour, fully transparent.
TEST_F(BitmapViewTest, ControlMoveShiftsTheImageByWholeCells) {
  image.View().At(0, 0) = kOpaque | 0xFF0000;
  image.View().At(31, 31) = 0x80000000 | 0x00FF00;
  const int x0 = 100, y0 = 100;
  ::SendMessageA(view, WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(x0, y0));
  EXPECT_EQ(view.GetUndoCount(), 2);
  ::SendMessageA(view, WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(x0 + 2 * kCell + 3, y0 + kCell + 2));
  EXPECT_EQ(image.View().At(2, 1), kOpaque | 0xFF0000u);
  EXPECT_EQ(image.View().At(0, 0), kSilverPixel);
  EXPECT_EQ(Changed(), (Cells{{2, 1}}));  // what moved out is lost
  // Further moves compute from the start, not from the last step.
  ::SendMessageA(view, WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(x0 - kCell, y0));
  EXPECT_EQ(Changed(), (Cells{{30, 31}}));  // (0,0) left the image, (31,31) went to (30,31)
  EXPECT_EQ(image.View().At(30, 31), 0x80000000 | 0x00FF00u);
  // A move without Control ends the gesture; one undo brings all back.
  ::SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(x0, y0));
  EXPECT_EQ(view.GetUndoCount(), 2);
  view.Undo();
  EXPECT_EQ(Changed(), (Cells{{0, 0}, {31, 31}}));
  // A new gesture starts again from offset 0: the same offset applies.
  ::SendMessageA(view, WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(x0, y0));
  ::SendMessageA(view, WM_MOUSEMOVE, MK_CONTROL, MAKELPARAM(x0 - kCell, y0));
  EXPECT_EQ(Changed(), (Cells{{30, 31}}));
}

TEST_F(BitmapViewTest, RectClickWithoutMoveAddsAnUndoStateOnly) {
  view.SetTool(TOOL_RECT);
  Stroke({{5, 5}});
  EXPECT_TRUE(Changed().empty());
  EXPECT_EQ(view.GetUndoCount(), 2);
}

TEST_F(BitmapViewTest, LineDragLeavesOnlyTheLastLine) {
  view.SetTool(TOOL_LINE);
  Stroke({{1, 1}, {6, 1}, {6, 6}, {1, 6}, {5, 5}});
  EXPECT_EQ(Changed(), (Cells{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}}));
  EXPECT_EQ(view.GetUndoCount(), 2);
}

// Every shape covers the press cell and the cell under the pointer, in
// every drag direction; the drag shows what the release leaves, and a
// release away from the last move still ends the shape under it.
TEST_F(BitmapViewTest, ShapesCoverBothEndCellsInEveryDirection) {
  const struct {
    int ax, ay, bx, by;
  } drags[] = {{2, 14, 10, 20}, {10, 20, 2, 14}, {12, 3, 25, 12}, {25, 3, 12, 12}, {4, 9, 4, 15}};
  for (int tool : {TOOL_LINE, TOOL_RECT, TOOL_ELLIPSE, TOOL_FILL_RECT, TOOL_FILL_ELLIPSE}) {
    view.SetTool(tool);
    for (const auto& d : drags) {
      for (bool releaseElsewhere : {false, true}) {
        image.Fill(192, 192, 192);
        const int mx = (d.ax + d.bx) / 2, my = (d.ay + d.by) / 2;
        Down(d.ax, d.ay);
        Drag(mx, my);
        if (!releaseElsewhere) Drag(d.bx, d.by);
        const Cells shown = Changed();
        Up(d.bx, d.by);
        const Cells left = Changed();
        const std::string where = std::to_string(tool) + ": " + std::to_string(d.ax) + "," +
                                  std::to_string(d.ay) + " to " + std::to_string(d.bx) + "," +
                                  std::to_string(d.by) + (releaseElsewhere ? " released elsewhere" : "");
        if (!releaseElsewhere) {
          EXPECT_EQ(shown, left) << where;
        }
        ASSERT_FALSE(left.empty()) << where;
        int l = 99, t = 99, r = -1, b = -1;
        for (const auto& [x, y] : left)
          l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
        EXPECT_EQ(l, std::min(d.ax, d.bx)) << where;
        EXPECT_EQ(r, std::max(d.ax, d.bx)) << where;
        EXPECT_EQ(t, std::min(d.ay, d.by)) << where;
        EXPECT_EQ(b, std::max(d.ay, d.by)) << where;
        if (tool == TOOL_LINE) {
          EXPECT_TRUE(left.count({d.ax, d.ay}) && left.count({d.bx, d.by})) << where;
        }
        const size_t w = static_cast<size_t>(r - l + 1), h = static_cast<size_t>(b - t + 1);
        if (tool == TOOL_FILL_RECT) {
          EXPECT_EQ(left.size(), w * h) << where;
        } else if (tool == TOOL_RECT) {
          EXPECT_EQ(left.size(), w == 1 ? h : 2 * (w + h) - 4) << where;
        }
      }
    }
  }
}

TEST_F(BitmapViewTest, ShapeToolsDrawFromTheDragStart) {
  struct Case {
    int tool;
    Cells expected;
  } cases[] = {
      {TOOL_FILL_RECT, {}},
      {TOOL_RECT, {}},
  };
  for (int y = 2; y <= 4; ++y)
    for (int x = 3; x <= 6; ++x) cases[0].expected.insert({x, y});
  cases[1].expected = cases[0].expected;
  for (auto& c : cases) {
    image.Fill(192, 192, 192);
    view.SetTool(c.tool);
    // Dragged from bottom right to top left: the corners are normalised.
    Stroke({{6, 4}, {5, 3}, {3, 2}});
    const Cells changed = Changed();
    if (c.tool == TOOL_FILL_RECT) {
      EXPECT_EQ(changed, c.expected);
    } else {
      // An outline never fills the inside and never leaves the box.
      for (const auto& cell : changed) EXPECT_TRUE(c.expected.count(cell));
      EXPECT_FALSE(changed.empty());
    }
  }
}

TEST_F(BitmapViewTest, EllipsesStayInTheirBoxAndOnlyTheFilledOneCoversTheCentre) {
  Cells box;
  for (int y = 2; y <= 8; ++y)
    for (int x = 3; x <= 9; ++x) box.insert({x, y});
  for (int tool : {TOOL_ELLIPSE, TOOL_FILL_ELLIPSE}) {
    image.Fill(192, 192, 192);
    view.SetTool(tool);
    view.SetBrushSize(1);
    Stroke({{9, 8}, {5, 5}, {3, 2}});
    const Cells changed = Changed();
    for (const auto& cell : changed)
      EXPECT_TRUE(box.count(cell)) << tool << ": " << cell.first << "," << cell.second;
    EXPECT_TRUE(changed.count({6, 2})) << tool;  // top of the ellipse
    EXPECT_TRUE(changed.count({3, 5})) << tool;  // left
    EXPECT_EQ(changed.count({6, 5}), tool == TOOL_FILL_ELLIPSE ? 1u : 0u) << tool;
    EXPECT_FALSE(changed.count({3, 2})) << tool;  // corners stay
  }
}

TEST_F(BitmapViewTest, ShapeOpacityMixesOnceIntoTheImageAtThePress) {
  image.Fill(0, 0, 0, 255);
  view.SetTool(TOOL_FILL_RECT);
  view.SetBrushColor(RGB(255, 255, 255));
  view.SetOpacity(128);
  // Several moves over the same cells: each redraw starts from the press.
  Stroke({{1, 1}, {4, 4}, {5, 5}, {4, 4}});
  EXPECT_EQ(At(2, 2), 0x7F7F7Fu);
  EXPECT_EQ(At(5, 5), 0u);
  EXPECT_EQ(Changed(0).size(), 16u);
}

TEST_F(BitmapViewTest, MovingWithinOneCellDoesNotRedraw) {
  Down(4, 4);
  const int before = counter.paints;
  ::SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kLeft + 4 * kCell + 1, kTop + 4 * kCell + 1));
  ::SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kLeft + 4 * kCell + 10, kTop + 4 * kCell + 9));
  const int afterFirst = counter.paints;
  EXPECT_EQ(afterFirst, before + 1);  // the first move into the cell is processed
  ::SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kLeft + 4 * kCell + 5, kTop + 4 * kCell + 5));
  EXPECT_EQ(counter.paints, afterFirst);
  Drag(5, 4);
  Drag(4, 4);
  EXPECT_EQ(counter.paints, afterFirst + 2);
  Up(4, 4);
}

// Any image size: square cells as big as fit, the image centred on the
// ground, grid lines between cells only where the cells are big enough.
TEST_F(BitmapViewTest, PaintsSquareCellsCentredForEveryImageSize) {
  const DWORD face = ColorFromPixel(::GetSysColor(COLOR_BTNFACE)) & 0xFFFFFF;
  const DWORD shadow = ColorFromPixel(::GetSysColor(COLOR_BTNSHADOW)) & 0xFFFFFF;
  ASSERT_NE(face, shadow);
  const struct {
    int width, height, cell, left, top;
  } cases[] = {
      {32, 32, 11, 16, 4},  {256, 256, 1, 64, 52}, {48, 20, 8, 0, 100},
      {2, 1, 64, 128, 148}, {16, 16, 22, 16, 4},
  };
  for (const auto& c : cases) {
    const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height);
    ASSERT_EQ(other.Create(c.width, c.height), 1);
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) other.View().At(x, y) = kOpaque | 0xFF0000;
    other.View().At(0, 0) = kOpaque | 0x0000FF;
    other.View().At(c.width - 1, c.height - 1) = kOpaque | 0x00FF00;
    view.SetImage(&other);
    EXPECT_EQ(view.GetCellWidth(), c.cell) << what;
    EXPECT_EQ(view.GetCellHeight(), c.cell) << what;
    const test::ClientPixels px = test::CaptureClient(view);
    ASSERT_EQ(px.width, kClientWidth);
    ASSERT_EQ(px.height, kClientHeight);
    const int right = c.left + c.width * c.cell, bottom = c.top + c.height * c.cell;
    EXPECT_EQ(px.At(c.left, c.top), 0x0000FFu) << what;
    EXPECT_EQ(px.At(right - 1, bottom - 1), 0x00FF00u) << what;
    // The ground around, where there is room for it.
    EXPECT_EQ(px.At(std::max(c.left - 1, 0), c.top), c.left > 0 ? face : 0x0000FFu) << what;
    EXPECT_EQ(px.At(c.left, std::max(c.top - 1, 0)), c.top > 0 ? face : 0x0000FFu) << what;
    EXPECT_EQ(px.At(std::min(right, kClientWidth - 1), bottom - 1), right < kClientWidth ? face : 0x00FF00u)
        << what;
    EXPECT_EQ(px.At(right - 1, std::min(bottom, kClientHeight - 1)),
              bottom < kClientHeight ? face : 0x00FF00u)
        << what;
    // The second cell, after the grid line.
    const DWORD second = other.View().At(1, 0) & 0xFFFFFF;
    EXPECT_EQ(px.At(c.left + c.cell, c.top + c.cell / 2), c.cell >= 4 ? shadow : second) << what;
    EXPECT_EQ(px.At(c.left + c.cell + 1, c.top + c.cell / 2), second) << what;
  }
  EXPECT_GT(counter.paints, 0);  // the refresh list was painted too
  // Created again at another size while attached: fitted again.
  ASSERT_EQ(other.Create(48, 48), 1);
  view.Repaint();
  EXPECT_EQ(view.GetZoom(), 7);
  view.SetImage(&image);
}

// A 256 x 256 image zoomed past the canvas: the wheel scrolls, Shift+wheel
// across, and every corner pixel can be drawn; a middle-button drag pulls
// the image along; Ctrl+wheel zooms about the pointer; zooming stops at
// both ends of its range.
TEST_F(BitmapViewTest, ZoomedAndScrolledEveryPixelOfTheLargestImageIsReachable) {
  ASSERT_EQ(other.Create(256, 256), 1);
  other.Fill(192, 192, 192);
  view.SetImage(&other);
  ASSERT_EQ(view.GetZoom(), 1);
  while (view.GetZoom() < 4) view.ZoomIn();
  const int zoom = view.GetZoom();
  auto dot = [&](POINT p) {
    ::SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    ::SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  };
  const POINT middle{kClientWidth / 2, kClientHeight / 2};
  Wheel(0, 100 * WHEEL_DELTA, middle);
  Wheel(MK_SHIFT, 100 * WHEEL_DELTA, middle);
  EXPECT_EQ(view.GetScroll().x, 0);
  EXPECT_EQ(view.GetScroll().y, 0);
  dot(POINT{0, 0});
  Wheel(0, -100 * WHEEL_DELTA, middle);
  Wheel(MK_SHIFT, -100 * WHEEL_DELTA, middle);
  dot(POINT{kClientWidth - 1, kClientHeight - 1});
  const POINT scroll = view.GetScroll();
  EXPECT_GT(scroll.x, 0);
  dot(POINT{100, 90});
  Cells black;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x)
      if ((other.View().At(x, y) & 0xFFFFFF) == 0) black.insert({x, y});
  EXPECT_EQ(black, (Cells{{0, 0}, {255, 255}, {(100 + scroll.x) / zoom, (90 + scroll.y) / zoom}}));

  // The pixel under the pressed middle button stays under the pointer.
  const POINT press{200, 150}, moved{240, 170};
  const POINT held = view.PixelAt(press);
  ::SendMessageA(view, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(press.x, press.y));
  ::SendMessageA(view, WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(moved.x, moved.y));
  ::SendMessageA(view, WM_MBUTTONUP, 0, MAKELPARAM(moved.x, moved.y));
  EXPECT_EQ(view.PixelAt(moved).x, held.x);
  EXPECT_EQ(view.PixelAt(moved).y, held.y);
  EXPECT_EQ(view.GetScroll().x, scroll.x - 40);
  ::SendMessageA(view, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));  // released: no more panning
  EXPECT_EQ(view.GetScroll().x, scroll.x - 40);

  const POINT anchor{100, 80};
  const POINT under = view.PixelAt(anchor);
  Wheel(MK_CONTROL, WHEEL_DELTA, anchor);
  EXPECT_GT(view.GetZoom(), zoom);
  EXPECT_EQ(view.PixelAt(anchor).x, under.x);
  EXPECT_EQ(view.PixelAt(anchor).y, under.y);

  for (int i = 0; i < 30; ++i) view.ZoomIn();
  EXPECT_EQ(view.GetZoom(), 64);
  for (int i = 0; i < 30; ++i) view.ZoomOut();
  EXPECT_EQ(view.GetZoom(), 1);
  view.ZoomIn();
  view.ZoomToFit();
  EXPECT_EQ(view.GetZoom(), 1);
  view.SetImage(&image);
}

// Byte 3 is straight alpha: a transparent pixel shows the checkerboard (two
// light greys), a half transparent one is mixed with it; shown over the
// transparent colour instead, both are mixed with that colour.
TEST_F(BitmapViewTest, TransparentPixelsShowOverTheCheckerboardOrTheTransparentColour) {
  image.View().At(3, 2) = 0x00FF0000;  // red, transparent
  const test::ClientPixels board = test::CaptureClient(view);
  std::set<DWORD> greys;
  for (int y = kTop; y < kTop + 32 * kCell; ++y)
    for (int x = kLeft; x < kLeft + 32 * kCell; ++x)
      if ((x - kLeft) % kCell && (y - kTop) % kCell) greys.insert(board.At(x, y));
  ASSERT_EQ(greys.size(), 2u);
  for (DWORD g : greys) {
    EXPECT_TRUE((g & 0xFF) == (g >> 16) && (g & 0xFF) == ((g >> 8) & 0xFF) && (g & 0xFF) >= 0xC0)
        << std::hex << g;
  }

  image.View().At(3, 2) = 0x80FF0000;  // red, alpha 128
  const test::ClientPixels half = test::CaptureClient(view);
  for (int y = kTop + 2 * kCell + 1; y < kTop + 3 * kCell; ++y) {
    for (int x = kLeft + 3 * kCell + 1; x < kLeft + 4 * kCell; ++x) {
      const DWORD grey = board.At(x, y) & 0xFF;
      const DWORD red = (255 * 128 + grey * 127 + 127) / 255, rest = (grey * 127 + 127) / 255;
      EXPECT_EQ(half.At(x, y), red << 16 | rest << 8 | rest) << x << "," << y;
    }
  }

  view.SetTransparentColor(RGB(0, 0, 255));
  view.SetShowTransparentColor(true);
  const test::ClientPixels plain = test::CaptureClient(view);
  EXPECT_EQ(plain.At(kLeft + 5 * kCell + 5, kTop + 5 * kCell + 5), 0x0000FFu);
  EXPECT_EQ(plain.At(kLeft + 3 * kCell + 5, kTop + 2 * kCell + 5), 0x80007Fu);
}

TEST_F(BitmapViewTest, PickSetsAColourReturnsToThePreviousToolAndNotifies) {
  image.View().At(3, 3) = 0xFF123456;
  image.View().At(4, 4) = 0xABCDEF;
  view.SetPreviousTool(TOOL_RECT);
  view.SetTool(TOOL_PICK);
  Stroke({{3, 3}});
  EXPECT_EQ(view.GetBrushColor(), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(view.GetTool(), TOOL_RECT);
  EXPECT_EQ(view.GetUndoCount(), 1);  // a pick pushes no undo state
  EXPECT_TRUE(test::PumpUntil([&] { return host.picks == 1; }));

  view.SetTool(TOOL_PICK);
  ::SendMessageA(view, WM_RBUTTONUP, 0, CellPoint(4, 4));
  EXPECT_EQ(view.GetTransparentColor(), RGB(0xAB, 0xCD, 0xEF));
  EXPECT_TRUE(test::PumpUntil([&] { return host.picks == 2; }));

  // Outside the image (captured mouse): colours kept, the pick finishes.
  view.SetTool(TOOL_PICK);
  Down(1, 1);
  ::SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-30), 5));
  ::SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, CellPoint(1, 1));
  ::SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(kClientWidth - 1, kClientHeight - 2));
  EXPECT_EQ(view.GetBrushColor(), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(view.GetTool(), TOOL_RECT);
}

TEST_F(BitmapViewTest, PickChosenTwiceStillReturnsToTheToolBefore) {
  view.SelectTool(TOOL_RECT);
  view.SelectTool(TOOL_PICK);
  view.SelectTool(TOOL_PICK);
  Stroke({{3, 3}});
  EXPECT_EQ(view.GetTool(), TOOL_RECT);
}

// A double-click arrives as press, release, double-click, release: the
// second half must not act as a second press with the tool the pick
// returned to.
TEST_F(BitmapViewTest, DoubleClickActsAsOneClick) {
  image.View().At(3, 3) = 0x123456;
  view.SetPreviousTool(TOOL_PEN);
  view.SetTool(TOOL_PICK);
  Stroke({{3, 3}});
  ::SendMessageA(view, WM_LBUTTONDBLCLK, MK_LBUTTON, CellPoint(5, 5));
  Up(5, 5);
  EXPECT_EQ(view.GetTool(), TOOL_PEN);
  EXPECT_EQ(view.GetUndoCount(), 1);
  EXPECT_EQ(At(5, 5), kSilverPixel);
}

TEST_F(BitmapViewTest, UndoKeepsAHundredStates) {
  view.Undo();  // nothing to undo yet
  EXPECT_EQ(view.GetUndoCount(), 1);
  EXPECT_TRUE(Changed().empty());
  for (int i = 0; i < 101; ++i) Stroke({{i % 32, i / 32}});
  EXPECT_EQ(view.GetUndoCount(), 101);
  for (int i = 0; i < 100; ++i) view.Undo();
  EXPECT_EQ(Changed(), (Cells{{0, 0}}));  // as before the second stroke
  view.Undo();
  EXPECT_EQ(Changed(), (Cells{{0, 0}}));
  EXPECT_EQ(view.GetUndoCount(), 1);
}

TEST_F(BitmapViewTest, RedoBringsBackWhatUndoTookUntilTheNextChange) {
  Stroke({{1, 1}});
  Stroke({{2, 2}});
  view.Undo();
  view.Undo();
  EXPECT_TRUE(Changed().empty());
  view.Redo();
  EXPECT_EQ(Changed(), (Cells{{1, 1}}));
  EXPECT_EQ(view.GetRedoCount(), 1);
  Stroke({{3, 3}});
  EXPECT_EQ(view.GetRedoCount(), 0);
  view.Redo();
  EXPECT_EQ(Changed(), (Cells{{1, 1}, {3, 3}}));
}

TEST_F(BitmapViewTest, ClearAndBlurImageAreUndoable) {
  image.View().At(5, 5) = 0xFF000000;
  view.ClearImage(RGB(10, 20, 30));
  EXPECT_EQ(Changed(0x0A141E).size(), 0u);
  view.Undo();
  EXPECT_EQ(Changed(), (Cells{{5, 5}}));
  view.BlurImage();
  // The transparent pixels around the black one stay; the black one fades.
  EXPECT_EQ(Changed(), (Cells{{5, 5}}));
  EXPECT_LT(AlphaOf(image.View().At(5, 5)), 255);
  view.Undo();
  EXPECT_EQ(At(5, 5), 0u);
}

// Every change through the canvas tells its owner (the window's unsaved
// mark hangs on it); a pick and an undo with nothing to undo do not.
TEST_F(BitmapViewTest, EachChangeCallsTheChangedCallback) {
  int changes = 0;
  view.SetChangedCallback([&] { ++changes; });
  const struct {
    const char* what;
    std::function<void()> act;
    bool changes;
  } cases[] = {
      {"undo of nothing", [&] { view.Undo(); }, false},
      {"pen",
       [&] {
         Stroke({{1, 1}, {2, 1}});
       },
       true},
      {"fill",
       [&] {
         view.SetTool(TOOL_FILL), Stroke({{9, 9}});
       },
       true},
      {"rectangle",
       [&] {
         view.SetTool(TOOL_RECT), Stroke({{3, 3}, {6, 6}});
       },
       true},
      {"pick",
       [&] {
         view.SetTool(TOOL_PICK), Stroke({{1, 1}});
       },
       false},
      {"undo", [&] { view.Undo(); }, true},
      {"redo", [&] { view.Redo(); }, true},
      {"redo of nothing", [&] { view.Redo(); }, false},
      {"blur", [&] { view.BlurImage(); }, true},
      {"clear", [&] { view.ClearImage(kSilver); }, true},
      {"camera", [&] { view.ToggleScreenCapture(), view.ToggleScreenCapture(); }, true},
  };
  for (const auto& c : cases) {
    changes = 0;
    c.act();
    EXPECT_EQ(changes > 0, c.changes) << c.what;
  }
}

TEST_F(BitmapViewTest, FloodFillPaintsTheConnectedAreaAtButtonUp) {
  // A black square outline from (2,2) to (6,6); fill inside it with red.
  for (int i = 2; i <= 6; ++i) {
    image.View().At(i, 2) = image.View().At(i, 6) = 0;
    image.View().At(2, i) = image.View().At(6, i) = 0;
  }
  view.SetTool(TOOL_FILL);
  view.SetBrushColor(RGB(255, 0, 0));
  view.SetOpacity(10);  // ignored by the fill
  Down(4, 4);
  EXPECT_EQ(At(4, 4), kSilverPixel);
  Up(4, 4);
  for (int y = 3; y <= 5; ++y)
    for (int x = 3; x <= 5; ++x) EXPECT_EQ(At(x, y), 0xFF0000u);
  EXPECT_EQ(At(1, 1), kSilverPixel);
  EXPECT_EQ(At(2, 2), 0u);
  // Filling the transparent area outside the outline, then picking, leaves
  // one undo state for the fill and none for the pick.
  view.SetTool(TOOL_FILL);
  view.SetBrushColor(RGB(0, 0, 255));
  Stroke({{0, 0}});
  EXPECT_EQ(At(31, 31), 0x0000FFu);
  EXPECT_EQ(At(4, 4), 0xFF0000u);
  const int undo = view.GetUndoCount();
  view.SetPreviousTool(TOOL_FILL);
  view.SetTool(TOOL_PICK);
  Stroke({{4, 4}});
  EXPECT_EQ(view.GetUndoCount(), undo);
  view.Undo();
  EXPECT_EQ(At(31, 31), kSilverPixel);
}

TEST_F(BitmapViewTest, BlurSquareReachesOneRowUpAndSkipsTransparentPixels) {
  for (int x = 0; x < 32; ++x)
    image.View().At(x, 0) = image.View().At(x, 1) = (x % 2) ? 0xFFFFFFFF : 0xFF000000;
  view.SetTool(TOOL_BLUR);
  const Pixel before10 = At(10, 1);
  Stroke({{11, 0}});  // size 1 at row 0: only pixel (11, 0)
  Cells changed;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (At(x, y) != ((y < 2) ? ((x % 2) ? 0xFFFFFFu : 0u) : kSilverPixel)) changed.insert({x, y});
  EXPECT_EQ(changed, (Cells{{11, 0}}));
  EXPECT_EQ(At(10, 1), before10);
  // A fast move blurs every cell between the two positions.
  for (int x = 0; x < 32; ++x) image.View().At(x, 10) = (x % 2) ? 0xFFFFFFFF : 0xFF000000;
  Stroke({{2, 10}, {12, 10}});
  for (int x = 2; x <= 12; ++x) EXPECT_NE(At(x, 10), (x % 2) ? 0xFFFFFFu : 0u) << x;
}

TEST_F(BitmapViewTest, TextFollowsTheMouseAndStaysWhereReleased) {
  LOGFONTW font{};
  font.lfHeight = -10;
  font.lfWeight = FW_BOLD;
  lstrcpyW(font.lfFaceName, L"Tahoma");
  view.SetText(L"H", font);
  view.SetTool(TOOL_TEXT);
  view.SetBrushColor(RGB(0, 0, 0));
  auto inBox = [&](int x0, int y0) {
    int n = 0;
    for (int y = y0; y < y0 + 12 && y < 32; ++y)
      for (int x = x0; x < x0 + 10 && x < 32; ++x) n += At(x, y) == 0;
    return n;
  };
  Down(2, 2);
  EXPECT_GT(inBox(2, 2), 5);
  Drag(18, 16);
  EXPECT_EQ(inBox(2, 2), 0);
  const int drawn = inBox(18, 16);
  EXPECT_GT(drawn, 5);
  Up(18, 16);
  EXPECT_EQ(inBox(18, 16), drawn);
  EXPECT_EQ(view.GetUndoCount(), 2);
  // An empty text draws nothing.
  view.SetText(L"", font);
  image.Fill(192, 192, 192);
  Stroke({{1, 1}, {3, 3}});
  EXPECT_TRUE(Changed().empty());
}

// Text typed in the "Enter text" dialog reaches the image in its own
// script: Cyrillic letters draw differently from the question marks a
// narrow conversion would leave.
TEST_F(BitmapViewTest, TextInAnyScriptReachesTheImage) {
  struct Typer {
    static const wchar_t*& Text() {
      static const wchar_t* text = nullptr;
      return text;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      HWND box = ::FindWindowA(nullptr, "Enter text");
      if (!box) return;
      ::KillTimer(nullptr, id);
      ::SetDlgItemTextW(box, 1010, Text());
      ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  };
  view.SetTool(TOOL_TEXT);
  Cells drawn[2];
  const wchar_t* texts[2] = {L"\x0416\x0436", L"??"};
  for (int i = 0; i < 2; ++i) {
    Typer::Text() = texts[i];
    ::SetTimer(nullptr, 0, 20, &Typer::Tick);
    ASSERT_TRUE(EditCanvasText(host.GetHwnd(), view)) << i;
    image.Fill(192, 192, 192);
    Stroke({{2, 2}});
    drawn[i] = Changed();
    EXPECT_FALSE(drawn[i].empty()) << i;
  }
  EXPECT_NE(drawn[0], drawn[1]);
}

// A window of a known colour on the screen ends up in the image.
class SolidWindow : public Window {
 public:
  COLORREF color = RGB(0, 200, 0);

 protected:
  void OnPaint() override {
    PaintDC dc(GetHwnd());
    UniqueBrush brush(::CreateSolidBrush(color));
    ::FillRect(dc.Get(), &dc.Info().rcPaint, brush.Get());
  }
};

TEST_F(BitmapViewTest, ScreenCaptureCopiesTheSquareAroundThePointer) {
  ASSERT_TRUE(Window::RegisterClass("GlyphSolid", 0, nullptr, nullptr));
  SolidWindow green;
  ASSERT_TRUE(green.Create("GlyphSolid", "", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST, RECT{600, 500, 700, 600},
                           nullptr, 0));
  SolidWindow corner;
  corner.color = RGB(0, 0, 210);
  const int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
  ASSERT_TRUE(corner.Create("GlyphSolid", "", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST,
                            RECT{sw - 32, sh - 32, sw, sh}, nullptr, 0));
  ::UpdateWindow(green);
  ::UpdateWindow(corner);
  PumpMessages();

  ASSERT_TRUE(::SetCursorPos(650, 550));
  view.ToggleScreenCapture();
  EXPECT_TRUE(view.IsCapturing());
  EXPECT_EQ(view.GetUndoCount(), 2);
  EXPECT_TRUE(test::PumpUntil([&] { return At(0, 0) == 0x00C800 && At(31, 31) == 0x00C800; }));
  view.ToggleScreenCapture();
  EXPECT_FALSE(view.IsCapturing());
  EXPECT_EQ(image.View().At(0, 0), kOpaque | 0x00C800);  // the screen is opaque

  // In the corner the square is clamped onto the screen.
  view.CaptureScreenAt(POINT{sw - 1, sh - 1});
  EXPECT_EQ(Changed(0x0000D2).size(), 0u);
  view.Undo();
  EXPECT_TRUE(Changed().empty());

  // The square is the image's size.
  ASSERT_EQ(other.Create(48, 48), 1);
  view.SetImage(&other);
  view.CaptureScreenAt(POINT{650, 550});
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) ASSERT_EQ(other.View().At(x, y), kOpaque | 0x00C800) << x << "," << y;
  view.SetImage(&image);
}

TEST_F(BitmapViewTest, DetachedCanvasIgnoresInput) {
  view.SetImage(nullptr);
  Stroke({{1, 1}, {2, 2}});
  view.Undo();
  view.ClearImage(0);
  EXPECT_TRUE(Changed().empty());
  EXPECT_EQ(view.GetUndoCount(), 1);
  const test::ClientPixels px = test::CaptureClient(view);
  EXPECT_EQ(px.At(6, 5), ColorFromPixel(::GetSysColor(COLOR_BTNFACE)) & 0xFFFFFF);
}

}  // namespace
}  // namespace glyph
