// Skinned buttons, sliders, progress bars and text fields on a plain parent
// window under Wine: real messages, pictures read back from the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "SkinTestUtil.h"
#include "skin/SkinButton.h"
#include "skin/SkinProgress.h"
#include "skin/SkinText.h"
#include "skin/SkinTrackbar.h"
#include "tests/common/GuiTest.h"

namespace glyph::skin {
namespace {

using glyph::test::PumpFor;
using glyph::test::PumpUntil;
using test::At;
using test::ScreenPixel;
using test::TestParent;

constexpr COLORREF kNormal = RGB(10, 20, 30);
constexpr COLORREF kOver = RGB(40, 200, 60);
constexpr COLORREF kDown = RGB(220, 60, 20);
constexpr COLORREF kDisabled = RGB(120, 120, 120);

// Four screens of one colour each, as a skin's Main, Over, Down, Disabled.
struct Screens {
  UniqueBitmap normal = test::SolidBitmap(200, 100, kNormal);
  UniqueBitmap over = test::SolidBitmap(200, 100, kOver);
  UniqueBitmap down = test::SolidBitmap(200, 100, kDown);
  UniqueBitmap disabled = test::SolidBitmap(200, 100, kDisabled);
};

class SkinButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = std::make_unique<TestParent>(RECT{40, 40, 240, 140});
    left = MakeButton(0, RECT{10, 10, 50, 40});
    right = MakeButton(1, RECT{50, 10, 90, 40});
    PumpFor(20);
  }
  std::unique_ptr<CSkinButton> MakeButton(int index, const RECT& r) {
    auto b = std::make_unique<CSkinButton>(context, "B" + std::to_string(index), index);
    EXPECT_TRUE(b->Create(parent->GetHwnd(), r));
    b->SetPictures(r.left, r.top, r.right, r.bottom, screens.normal.Get(), screens.over.Get(),
                   screens.down.Get(), screens.disabled.Get());
    b->SetTooltip("tip", true);
    return b;
  }
  COLORREF Shown(CSkinButton& b) { return ScreenPixel(b.GetHwnd(), 20, 15); }

  SkinContext context;
  Screens screens;
  std::unique_ptr<TestParent> parent;
  std::unique_ptr<CSkinButton> left, right;
};

TEST_F(SkinButtonTest, CreatedOwnerDrawnWithAToolTip) {
  HWND h = left->GetHwnd();
  EXPECT_EQ(::GetWindowLongPtrA(h, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(::GetWindowLongPtrA(h, GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(::GetDlgCtrlID(h), 0);
  ASSERT_TRUE(left->GetTooltip());
  EXPECT_EQ(::SendMessageA(left->GetTooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
  left->SetTooltip("other", false);
  EXPECT_EQ(::SendMessageA(left->GetTooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);  // text replaced, no new tool
  EXPECT_EQ(glyph::test::TooltipText(left->GetTooltip(), h), "other");
  EXPECT_EQ(Shown(*left), kNormal);
}

TEST_F(SkinButtonTest, PictureRulesOfBothStyles) {
  using P = CHoverButton::Picture;
  struct Case {
    bool toggle, latched, hot, selected, disabled;
    P expect;
  } cases[] = {
      {false, false, false, false, false, P::Normal},  {false, true, false, false, false, P::Down},
      {false, true, true, false, false, P::Over},      {false, true, true, true, false, P::Down},
      {false, false, true, false, false, P::Over},     {false, false, false, true, false, P::Down},
      {false, false, false, false, true, P::Disabled}, {false, true, false, false, true, P::Down},
      {true, true, false, true, false, P::Normal},     {true, false, false, true, false, P::Down},
      {true, true, true, false, false, P::Over},       {true, true, false, false, false, P::Down},
      {true, false, false, false, true, P::Disabled},  {true, true, true, true, true, P::Disabled},
      {true, false, false, false, false, P::Normal},
  };
  struct Probe : CHoverButton {
    using CHoverButton::CHoverButton;
    void Set(bool toggle, bool latched, bool hot) {
      toggle_ = toggle;
      latched_ = latched;
      hot_ = hot;
    }
  } probe(context);
  for (const Case& c : cases) {
    probe.Set(c.toggle, c.latched, c.hot);
    EXPECT_EQ(probe.PictureFor(c.selected, c.disabled), c.expect)
        << c.toggle << c.latched << c.hot << c.selected << c.disabled;
  }
}

TEST_F(SkinButtonTest, HoverPressAndLatchShowTheirPictures) {
  HWND h = left->GetHwnd();
  left->SetLatched(true);
  EXPECT_EQ(Shown(*left), kDown);
  test::Activate(parent->GetHwnd());
  ::SendMessageA(h, WM_MOUSEMOVE, 0, At(5, 5));
  EXPECT_TRUE(left->IsHot());
  EXPECT_EQ(::GetCapture(), h);
  EXPECT_EQ(Shown(*left), kOver);
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(Shown(*left), kDown);
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(parent->events, std::vector<std::string>{"click 0"});

  // The toggle style shows its normal picture while a latched button is pressed.
  right->SetToggleStyle(true);
  right->SetLatched(true);
  ::SendMessageA(right->GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(Shown(*right), kNormal);
  ::SendMessageA(right->GetHwnd(), WM_LBUTTONUP, 0, At(5, 5));
  ::EnableWindow(right->GetHwnd(), FALSE);
  EXPECT_EQ(Shown(*right), kDisabled);
}

TEST_F(SkinButtonTest, MovingToTheNeighbourMovesTheHover) {
  test::Activate(parent->GetHwnd());
  ::SendMessageA(left->GetHwnd(), WM_MOUSEMOVE, 0, At(5, 5));
  ASSERT_TRUE(left->IsHot());
  // The pointer is now over the right button (left's client x = 45).
  ::SendMessageA(left->GetHwnd(), WM_MOUSEMOVE, 0, At(45, 5));
  EXPECT_FALSE(left->IsHot());
  EXPECT_NE(::GetCapture(), left->GetHwnd());
  ::SendMessageA(right->GetHwnd(), WM_MOUSEMOVE, 0, At(5, 5));
  EXPECT_TRUE(right->IsHot());
  EXPECT_EQ(Shown(*left), kNormal);
  EXPECT_EQ(Shown(*right), kOver);
  EXPECT_EQ(parent->moves, (std::vector<std::string>{"B0", "B0", "B1"}));
}

TEST_F(SkinButtonTest, NoHoverWhileAnotherWindowIsActive) {
  ::SetActiveWindow(nullptr);
  ::SetForegroundWindow(::GetDesktopWindow());
  PumpFor(20);
  if (::GetActiveWindow() != nullptr) GTEST_SKIP() << "this display keeps the window active";
  ::SendMessageA(left->GetHwnd(), WM_MOUSEMOVE, 0, At(5, 5));
  EXPECT_FALSE(left->IsHot());
}

TEST_F(SkinButtonTest, PlainAndPressAndReleaseReporting) {
  HWND h = left->GetHwnd();
  // Plain: pressing inside and releasing outside reports nothing.
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(-30, -30));
  EXPECT_TRUE(parent->events.empty());
  // Press-and-release: on press, and on release wherever it happens.
  left->SetPressAndRelease(true);
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(parent->events.size(), 1u);
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(-30, -30));
  EXPECT_EQ(parent->events, (std::vector<std::string>{"click 0", "click 0"}));
  ::SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(parent->events.size(), 3u);
  // A plain double-click reports only by its release.
  ::SendMessageA(right->GetHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(parent->events.size(), 3u);
  ::SendMessageA(right->GetHwnd(), WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(parent->events.back(), "click 1");
  // New pictures clear the reporting flag.
  left->SetPictures(0, 0, 40, 30, screens.normal.Get(), nullptr, nullptr, nullptr);
  EXPECT_FALSE(left->PressAndRelease());
}

// Sliders: 100 x 12 client area, a 10 x 12 thumb, range 0..100.
class SkinTrackbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archive.items["thumb.bmp"] = test::SolidBmp(10, 12, RGB(250, 250, 0));
    archive.items["hot.bmp"] = test::SolidBmp(10, 12, RGB(0, 250, 250));
    parent = std::make_unique<TestParent>(RECT{40, 200, 240, 260});
    slider = std::make_unique<CSkinTrackbar>(context, "T", 2);
    ASSERT_TRUE(slider->Create(parent->GetHwnd(), RECT{10, 10, 110, 22}, false));
    {
      ScopedSkinArchive current(context, &archive);
      slider->SetPictures(RECT{10, 10, 110, 22}, screens.normal.Get(), "thumb.bmp", "hot.bmp");
    }
    slider->SetRangeAndPosition(0, 100, 0);
    PumpFor(20);
  }
  void Send(UINT msg, WPARAM wp, int x, int y) { ::SendMessageA(slider->GetHwnd(), msg, wp, At(x, y)); }

  SkinContext context;
  test::MemoryArchive archive;
  Screens screens;
  std::unique_ptr<TestParent> parent;
  std::unique_ptr<CSkinTrackbar> slider;
};

TEST_F(SkinTrackbarTest, ThumbIsDrawnWhereThePositionSays) {
  slider->SetRangeAndPosition(0, 100, 50);
  EXPECT_EQ(slider->ThumbRectNow(), (SkinRect{45, 0, 55, 12}));
  EXPECT_EQ(ScreenPixel(slider->GetHwnd(), 46, 6), RGB(250, 250, 0));
  EXPECT_EQ(ScreenPixel(slider->GetHwnd(), 44, 6), kNormal);
  EXPECT_EQ(ScreenPixel(slider->GetHwnd(), 55, 6), kNormal);
  Send(WM_MOUSEMOVE, 0, 50, 6);  // over the thumb: the hot picture
  EXPECT_TRUE(slider->IsHot());
  EXPECT_EQ(ScreenPixel(slider->GetHwnd(), 46, 6), RGB(0, 250, 250));
  Send(WM_MOUSEMOVE, 0, 80, 6);
  EXPECT_FALSE(slider->IsHot());
}

TEST_F(SkinTrackbarTest, DraggingPastTheEndsPins) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 6);
  EXPECT_TRUE(slider->IsGrabbed());
  EXPECT_TRUE(slider->IsPressed());
  Send(WM_MOUSEMOVE, MK_LBUTTON, 500, 6);
  EXPECT_EQ(slider->GetPosition(), 100);
  Send(WM_MOUSEMOVE, MK_LBUTTON, -80, 6);
  EXPECT_EQ(slider->GetPosition(), 0);
  Send(WM_MOUSEMOVE, MK_LBUTTON, 55, 6);
  EXPECT_EQ(slider->GetPosition(), 55);
  Send(WM_LBUTTONUP, 0, 55, 6);
  EXPECT_FALSE(slider->IsGrabbed());
  ASSERT_GE(parent->events.size(), 4u);
  EXPECT_EQ(parent->events[0], "track 2 4 100");
  EXPECT_EQ(parent->events[1], "track 2 4 0");
  EXPECT_EQ(parent->events[2], "track 2 4 55");
  EXPECT_EQ(parent->events[3], "track 2 8 55");
}

TEST_F(SkinTrackbarTest, ClickBesideTheThumbIsTheControlsOwn) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 80, 6);
  EXPECT_FALSE(slider->IsGrabbed());
  EXPECT_TRUE(slider->IsPressed());
  EXPECT_GT(slider->GetPosition(), 0);  // the trackbar paged toward the click
  // Each move while pressed reports (index, 4, position) last; the
  // control's own scroll messages come back through the parent as well.
  for (int x : {81, 82}) {
    Send(WM_MOUSEMOVE, MK_LBUTTON, x, 6);
    ASSERT_FALSE(parent->events.empty());
    EXPECT_EQ(parent->events.back(), "track 2 4 " + std::to_string(slider->GetPosition()));
  }
  parent->events.clear();
  Send(WM_LBUTTONUP, 0, 82, 6);
  const std::string pos = std::to_string(slider->GetPosition());
  ASSERT_FALSE(parent->events.empty());
  EXPECT_EQ(parent->events.front(), "track 2 8 " + pos);
  // The control's own end of tracking reports where the slider is, never 0.
  for (const std::string& e : parent->events) EXPECT_EQ(e.substr(e.rfind(' ') + 1), pos) << e;
  EXPECT_TRUE(parent->moves.empty());
  Send(WM_MOUSEMOVE, 0, 90, 6);
  EXPECT_EQ(parent->moves, std::vector<std::string>{"T"});
}

TEST_F(SkinTrackbarTest, PositionIsKeptWhileGrabbed) {
  Send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 6);
  ASSERT_TRUE(slider->IsGrabbed());
  slider->SetRangeAndPosition(0, 200, 50);
  EXPECT_EQ(slider->GetPosition(), 0);
  EXPECT_EQ(::SendMessageA(slider->GetHwnd(), TBM_GETRANGEMAX, 0, 0), 200);
  Send(WM_LBUTTONUP, 0, 5, 6);
  slider->SetRangeAndPosition(0, 200, 50);
  EXPECT_EQ(slider->GetPosition(), 50);
}

TEST_F(SkinTrackbarTest, KeysMoveItAsTheTrackbarDoes) {
  slider->SetRangeAndPosition(0, 100, 50);
  const struct {
    UINT key;
    int code, position;
  } keys[] = {{VK_RIGHT, TB_LINEDOWN, 51}, {VK_UP, TB_LINEUP, 50},   {VK_NEXT, TB_PAGEDOWN, 70},
              {VK_PRIOR, TB_PAGEUP, 50},   {VK_END, TB_BOTTOM, 100}, {VK_HOME, TB_TOP, 0},
              {VK_LEFT, TB_LINEUP, 0}};
  for (const auto& k : keys) {
    parent->events.clear();
    ::SendMessageA(slider->GetHwnd(), WM_KEYDOWN, k.key, 1);
    ::SendMessageA(slider->GetHwnd(), WM_KEYUP, k.key, static_cast<LPARAM>(0xC0000001u));
    EXPECT_EQ(slider->GetPosition(), k.position) << k.key;
    // A key that moves nothing (at an end) reports only the end of the movement.
    std::vector<std::string> expected{"track 2 8 " + std::to_string(k.position)};
    if (k.key != VK_LEFT)
      expected.insert(expected.begin(),
                      "track 2 " + std::to_string(k.code) + " " + std::to_string(k.position));
    EXPECT_EQ(parent->events, expected) << k.key;
  }
  EXPECT_EQ(::SendMessageA(slider->GetHwnd(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  // A notch of the wheel forward moves towards the minimum by the lines the
  // system scrolls (3 unless set otherwise).
  UINT lines = 3;
  ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  slider->SetRangeAndPosition(0, 100, 50);
  parent->events.clear();
  ::SendMessageA(slider->GetHwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  const std::string at = std::to_string(50 - static_cast<int>(lines));
  EXPECT_EQ(parent->events, (std::vector<std::string>{"track 2 0 " + at, "track 2 8 " + at}));
}

TEST_F(SkinTrackbarTest, TooltipAndMissingThumb) {
  slider->SetTooltip("50 %", true);
  ASSERT_TRUE(slider->GetTooltip());
  EXPECT_EQ(::SendMessageA(slider->GetTooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
  // A thumb that cannot be read counts as 0 x 0: nothing to grab, no fault.
  CSkinTrackbar bare(context, "U", 0);
  ASSERT_TRUE(bare.Create(parent->GetHwnd(), RECT{10, 30, 110, 42}, true));
  {
    ScopedSkinArchive current(context, &archive);
    bare.SetPictures(RECT{10, 30, 110, 42}, screens.normal.Get(), "none.bmp", "none.bmp");
  }
  EXPECT_NE(::GetWindowLongPtrA(bare.GetHwnd(), GWL_STYLE) & TBS_VERT, 0);
  bare.SetRangeAndPosition(0, 0, 0);
  ::SendMessageA(bare.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SendMessageA(bare.GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, At(7, 9));
  ::SendMessageA(bare.GetHwnd(), WM_LBUTTONUP, 0, At(7, 9));
  PumpFor(10);
}

class SkinProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = std::make_unique<TestParent>(RECT{40, 300, 300, 360});
    bar = std::make_unique<CSkinProgress>(context, "P", 1);
    ASSERT_TRUE(bar->Create(parent->GetHwnd(), RECT{0, 0, 200, 20}));
    bar->SetPictures(RECT{0, 0, 200, 20}, screens.normal.Get(), screens.down.Get());
    PumpFor(20);
  }
  SkinContext context;
  Screens screens;
  std::unique_ptr<TestParent> parent;
  std::unique_ptr<CSkinProgress> bar;
};

TEST_F(SkinProgressTest, ClickAtAQuarterFillsAQuarter) {
  HWND h = bar->GetHwnd();
  EXPECT_EQ(ScreenPixel(h, 0, 5), kNormal);
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 10));
  EXPECT_EQ(bar->GetPercent(), 25);
  EXPECT_EQ(::GetCapture(), h);
  EXPECT_EQ(ScreenPixel(h, 49, 5), kDown);
  EXPECT_EQ(ScreenPixel(h, 50, 5), kNormal);
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(50, 10));
  EXPECT_EQ(parent->events, std::vector<std::string>{"progress 1"});
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(250, 10));  // released outside: no report
  EXPECT_EQ(parent->events.size(), 1u);
}

TEST_F(SkinProgressTest, DraggingWhileHotAndAlongHeight) {
  HWND h = bar->GetHwnd();
  test::Activate(parent->GetHwnd());
  ::SendMessageA(h, WM_MOUSEMOVE, 0, At(20, 10));  // hover first
  ASSERT_TRUE(bar->IsHot());
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
  ::SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(150, 10));
  EXPECT_EQ(bar->GetPercent(), 75);
  ::SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(260, 10));  // outside: not hot, no change
  EXPECT_EQ(bar->GetPercent(), 75);
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(260, 10));
  EXPECT_EQ(parent->moves, (std::vector<std::string>{"P", "P", "P"}));

  bar->SetAlongHeight(true);
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 5));
  EXPECT_EQ(bar->GetPercent(), 25);
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(150, 5));
  EXPECT_EQ(ScreenPixel(h, 150, 4), kDown);
  EXPECT_EQ(ScreenPixel(h, 150, 5), kNormal);
}

class SkinTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The window class keeps the brush for the whole process.
    static UniqueBrush parentBrush(::CreateSolidBrush(RGB(0, 0, 255)));
    parent = std::make_unique<TestParent>(RECT{40, 400, 300, 460}, parentBrush.Get());
    label = std::make_unique<CSkinText>(context, "X", 3);
    ASSERT_TRUE(label->Create(parent->GetHwnd(), RECT{0, 0, 120, 30}, ""));
    background = test::SolidBitmap(200, 100, RGB(0, 0, 0));
    label->SetBackground(RECT{0, 0, 120, 30}, background.Get());
    UniqueFont font(::CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    label->SetFont(font.Get());
    PumpFor(20);
  }
  int Width(const std::string& s) {
    WindowDC dc(label->GetHwnd());
    ScopedSelect sel(dc.Get(), label->Font());
    SIZE size{};
    ::GetTextExtentPoint32A(dc.Get(), s.c_str(), static_cast<int>(s.size()), &size);
    return size.cx;
  }
  // How many pixels of each colour the label shows.
  int Count(COLORREF c) {
    const glyph::test::ClientPixels px = glyph::test::CaptureClient(label->GetHwnd());
    const DWORD want = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    int n = 0;
    for (DWORD p : px.bits) n += (p & 0xFFFFFF) == want;
    return n;
  }
  SkinContext context;
  std::unique_ptr<TestParent> parent;
  std::unique_ptr<CSkinText> label;
  UniqueBitmap background;
};

TEST_F(SkinTextTest, EmptyTextShowsNothingAtAll) {
  EXPECT_EQ(ScreenPixel(parent->GetHwnd(), 200, 40), RGB(0, 0, 255));
  EXPECT_EQ(ScreenPixel(label->GetHwnd(), 60, 15), RGB(0, 0, 255));  // the parent, not the picture
  label->SetText("Hi");
  EXPECT_EQ(ScreenPixel(label->GetHwnd(), 2, 2), RGB(0, 0, 0));
}

TEST_F(SkinTextTest, OneOrTwoColours) {
  label->SetColors(RGB(255, 0, 0), CScrollLabel::kNoColor);
  label->SetText("Hi");
  EXPECT_FALSE(label->IsScrolling());
  EXPECT_GT(Count(RGB(255, 0, 0)), 20);
  EXPECT_EQ(Count(RGB(0, 255, 0)), 0);
  label->SetColors(RGB(255, 0, 0), RGB(0, 255, 0));
  ::InvalidateRect(label->GetHwnd(), nullptr, FALSE);
  EXPECT_GT(Count(RGB(0, 255, 0)), 20);
  EXPECT_GT(Count(RGB(255, 0, 0)), 0);  // the shadow peeks out below and right
}

TEST_F(SkinTextTest, LongTextScrollsAndWraps) {
  label->SetText("Hi");
  EXPECT_FALSE(label->IsScrolling());
  const std::string longText = "A text much wider than the field";
  label->SetText(longText);
  EXPECT_TRUE(label->IsScrolling());
  EXPECT_EQ(label->ScrollOffset(), 0);
  EXPECT_TRUE(PumpUntil([&] { return label->ScrollOffset() >= 2; }));  // the 40 ms timer runs
  label->SetText(longText);                                            // laying out again starts from 0
  EXPECT_EQ(label->ScrollOffset(), 0);
  const int cycle = Width(longText + CScrollLabel::kSeparator);
  for (int i = 1; i < cycle; ++i) ::SendMessageA(label->GetHwnd(), WM_TIMER, CScrollLabel::kScrollTimer, 0);
  EXPECT_EQ(label->ScrollOffset(), cycle - 1);
  ::SendMessageA(label->GetHwnd(), WM_TIMER, CScrollLabel::kScrollTimer, 0);
  EXPECT_EQ(label->ScrollOffset(), 0);
  label->SetText("Hi");
  EXPECT_FALSE(label->IsScrolling());
}

TEST_F(SkinTextTest, ClicksAndMovesAreReported) {
  HWND h = label->GetHwnd();
  ::SendMessageA(h, WM_MOUSEMOVE, 0, At(3, 3));
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(300, 300));  // released elsewhere: no click
  EXPECT_TRUE(parent->events.empty());
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(3, 3));
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(5, 5));
  EXPECT_EQ(parent->events, std::vector<std::string>{"text 3"});
  EXPECT_EQ(parent->moves, std::vector<std::string>{"X"});
  EXPECT_FALSE(label->IsHot());  // text fields do no hover tracking
}

// A release acts only on the control that had the press. A release may
// reach a control that never saw the press: the slider lets its capture go
// once the pointer leaves its thumb, while the button is still held down
// paging towards the pointer, and the release then goes to the control
// under the pointer (the brush colour field, which opened the colour box).
TEST(SkinReleaseTest, OnlyThePressedControlActsOnTheRelease) {
  SkinContext context;
  Screens screens;
  test::MemoryArchive archive;
  archive.items["thumb.bmp"] = test::SolidBmp(10, 12, RGB(250, 250, 0));
  TestParent parent(RECT{40, 480, 340, 560});
  CSkinButton button(context, "B", 0);
  ASSERT_TRUE(button.Create(parent.GetHwnd(), RECT{0, 0, 40, 30}));
  button.SetPictures(0, 0, 40, 30, screens.normal.Get(), screens.over.Get(), screens.down.Get(),
                     screens.disabled.Get());
  CSkinText text(context, "X", 3);
  ASSERT_TRUE(text.Create(parent.GetHwnd(), RECT{50, 0, 170, 30}, ""));
  CSkinProgress bar(context, "P", 1);
  ASSERT_TRUE(bar.Create(parent.GetHwnd(), RECT{0, 40, 200, 60}));
  bar.SetPictures(RECT{0, 40, 200, 60}, screens.normal.Get(), screens.down.Get());
  CSkinTrackbar slider(context, "T", 2);
  ASSERT_TRUE(slider.Create(parent.GetHwnd(), RECT{180, 0, 280, 12}, false));
  {
    ScopedSkinArchive current(context, &archive);
    slider.SetPictures(RECT{180, 0, 280, 12}, screens.normal.Get(), "thumb.bmp", "thumb.bmp");
  }
  slider.SetRangeAndPosition(0, 100, 0);
  PumpFor(20);

  const struct {
    HWND control;
    LPARAM at;
    const char* report;  // what its own press and release report, first word
  } controls[] = {{button.GetHwnd(), At(5, 5), "click"},
                  {text.GetHwnd(), At(5, 5), "text"},
                  {bar.GetHwnd(), At(50, 10), "progress"},
                  {slider.GetHwnd(), At(60, 6), "track"}};
  for (const auto& c : controls) {
    parent.events.clear();
    ::SendMessageA(c.control, WM_LBUTTONUP, 0, c.at);
    EXPECT_TRUE(parent.events.empty()) << c.report << " acted on a release without its press";
    ::SendMessageA(c.control, WM_LBUTTONDOWN, MK_LBUTTON, c.at);
    ::SendMessageA(c.control, WM_LBUTTONUP, 0, c.at);
    ASSERT_FALSE(parent.events.empty()) << c.report;
    EXPECT_EQ(parent.events.back().rfind(c.report, 0), 0u) << parent.events.back();
  }

  // Held down on the slider's track, passing over the thumb and off it:
  // the slider keeps the capture, so the release stays its own.
  HWND h = slider.GetHwnd();
  slider.SetRangeAndPosition(0, 100, 0);
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 6));
  const SkinRect thumb = slider.ThumbRectNow();
  ::SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(thumb.left + 2, 6));
  ASSERT_TRUE(slider.IsHot());
  ::SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(thumb.right < 90 ? 95 : 2, 6));
  EXPECT_EQ(::GetCapture(), h);
  ::SendMessageA(h, WM_LBUTTONUP, 0, At(95, 6));
  EXPECT_NE(::GetCapture(), h);
}

}  // namespace
}  // namespace glyph::skin
