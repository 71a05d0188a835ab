#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "WidgetsTest.h"
#include "framework/Dialog.h"
#include "tests/common/GuiTest.h"
#include "widgets/ImageButton.h"
#include "widgets/Shade.h"

namespace glyph {
namespace {

using test::CaptureClient;
using test::ClientPixels;
using test::PumpUntil;

constexpr COLORREF kLitIcon = RGB(10, 200, 30);
constexpr COLORREF kRestingIcon = RGB(200, 20, 180);
constexpr int kIconSize = 16;

// A COLORREF as the 0x00RRGGBB value that CaptureClient reads back.
DWORD Px(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A solid, fully opaque 16 x 16 icon of one colour.
HICON MakeIcon(COLORREF colour) {
  std::array<BYTE, kIconSize * 2> mask{};  // rows of 16 bits, all opaque
  std::vector<BYTE> colours;
  for (int i = 0; i < kIconSize * kIconSize; ++i) {
    colours.push_back(GetBValue(colour));
    colours.push_back(GetGValue(colour));
    colours.push_back(GetRValue(colour));
  }
  return ::CreateIcon(::GetModuleHandleA(nullptr), kIconSize, kIconSize, 1, 24, mask.data(), colours.data());
}

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  bool Empty() const { return right < 0; }
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};

// Bounding box of the pixels that satisfy pred, within [x0, x1) columns.
template <class Pred>
Box Find(const ClientPixels& px, Pred pred, int x0 = 0, int x1 = -1) {
  if (x1 < 0) x1 = px.width;
  Box b;
  for (int y = 0; y < px.height; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (!pred(px.At(x, y))) continue;
      b.left = std::min(b.left, x);
      b.top = std::min(b.top, y);
      b.right = std::max(b.right, x);
      b.bottom = std::max(b.bottom, y);
    }
  }
  return b;
}

Box FindColour(const ClientPixels& px, COLORREF c, int x0 = 0, int x1 = -1) {
  const DWORD want = Px(c);
  return Find(
      px, [want](DWORD p) { return p == want; }, x0, x1);
}

class ButtonDialog : public Dialog {
 public:
  ButtonDialog() : Dialog(IDD_IMAGE_BUTTONS) {}
  CImageButton iconOnly, withCaption, disabled, leftAligned;

 protected:
  BOOL OnInitDialog() override {
    for (auto [button, id] : {std::pair{&iconOnly, IDC_ICON_ONLY},
                              {&withCaption, IDC_WITH_CAPTION},
                              {&disabled, IDC_DISABLED},
                              {&leftAligned, IDC_LEFT_ALIGNED}}) {
      button->Subclass(GetItem(id));
      button->SetIconHandles(MakeIcon(kLitIcon), MakeIcon(kRestingIcon), kIconSize, kIconSize);
    }
    ::SetFocus(GetItem(IDC_EDIT));
    return FALSE;
  }
};

class ImageButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetCursorPos(1200, 1000);  // far from the dialog
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    test::PumpFor(30);
    face = ::GetSysColor(COLOR_BTNFACE);
    lit = ShadeColour(face, 25);
  }
  void TearDown() override { dialog.DestroyWindow(); }

  static SIZE SizeOf(HWND hwnd) {
    RECT r;
    ::GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
  }
  static POINT CentreOnScreen(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  ButtonDialog dialog;
  COLORREF face = 0, lit = 0;
};

TEST_F(ImageButtonTest, SubclassingMakesTheButtonOwnerDrawnAndKeepsItsAlignment) {
  for (HWND button : {dialog.iconOnly.GetHwnd(), dialog.leftAligned.GetHwnd()}) {
    const auto style = ::GetWindowLongPtrA(button, GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_OWNERDRAW);
  }
  EXPECT_EQ(::GetWindowLongPtrA(dialog.leftAligned, GWL_STYLE) & BS_CENTER, BS_LEFT);
}

TEST_F(ImageButtonTest, IconWithoutCaptionIsCentredInTheRestingLook) {
  const SIZE size = SizeOf(dialog.iconOnly);
  const ClientPixels px = CaptureClient(dialog.iconOnly);
  const Box icon = FindColour(px, kRestingIcon);
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.left, (size.cx - kIconSize) / 2);
  EXPECT_EQ(icon.top, (size.cy - kIconSize) / 2);
  EXPECT_EQ(icon.Width(), kIconSize);
  EXPECT_EQ(icon.Height(), kIconSize);
  EXPECT_TRUE(FindColour(px, kLitIcon).Empty());
  // Soft single border around the resting face colour.
  EXPECT_EQ(px.At(0, 0), Px(ShadeColour(face, 32)));
  EXPECT_EQ(px.At(size.cx - 1, size.cy - 1), Px(ShadeColour(face, -64)));
  EXPECT_EQ(px.At(1, 1), Px(face));
}

TEST_F(ImageButtonTest, IconSitsLeftAndCaptionIsCentredInTheRest) {
  const SIZE size = SizeOf(dialog.withCaption);
  const ClientPixels px = CaptureClient(dialog.withCaption);
  const Box icon = FindColour(px, kRestingIcon);
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.left, 3);
  EXPECT_EQ(icon.top, (size.cy - kIconSize) / 2);
  const int textLeft = 3 + kIconSize;
  const Box text = FindColour(px, ::GetSysColor(COLOR_BTNTEXT), textLeft, size.cx - 2);
  ASSERT_FALSE(text.Empty());
  const int centre = (text.left + text.right + 1) / 2;
  EXPECT_NEAR(centre, (textLeft + size.cx) / 2, 2);
  EXPECT_NEAR((text.top + text.bottom + 1) / 2, size.cy / 2, 2);
}

TEST_F(ImageButtonTest, LeftAlignedCaptionStartsThreePixelsAfterTheIcon) {
  const SIZE size = SizeOf(dialog.leftAligned);
  const ClientPixels px = CaptureClient(dialog.leftAligned);
  const Box text = FindColour(px, ::GetSysColor(COLOR_BTNTEXT), 3 + kIconSize, size.cx - 2);
  ASSERT_FALSE(text.Empty());
  // The ink of "O" starts at the text origin or one pixel after it.
  EXPECT_GE(text.left, 3 + kIconSize + 3);
  EXPECT_LE(text.left, 3 + kIconSize + 4);
}

TEST_F(ImageButtonTest, PressingShiftsIconAndCaptionAndDrawsADarkFrame) {
  HWND button = dialog.withCaption;
  const SIZE size = SizeOf(button);
  const ClientPixels up = CaptureClient(button);
  ::SendMessageA(button, BM_SETSTATE, TRUE, 0);
  const ClientPixels down = CaptureClient(button);
  ::SendMessageA(button, BM_SETSTATE, FALSE, 0);

  const Box iconUp = FindColour(up, kRestingIcon);
  const Box iconDown = FindColour(down, kLitIcon);  // pressed counts as lit
  ASSERT_FALSE(iconDown.Empty());
  EXPECT_EQ(iconDown.left, iconUp.left + 1);
  EXPECT_EQ(iconDown.top, iconUp.top + 1);

  const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
  const Box textUp = FindColour(up, text, 3 + kIconSize, size.cx - 2);
  const Box textDown = FindColour(down, text, 3 + kIconSize, size.cx - 2);
  ASSERT_FALSE(textDown.Empty());
  EXPECT_EQ(textDown.left, textUp.left + 1);
  EXPECT_EQ(textDown.top, textUp.top + 1);

  const DWORD frame = Px(ShadeColour(lit, -64));
  for (POINT p : {POINT{0, 0}, POINT{size.cx - 1, 0}, POINT{0, size.cy - 1}, POINT{size.cx - 1, size.cy - 1},
                  POINT{size.cx / 2, 0}, POINT{0, size.cy / 2}}) {
    EXPECT_EQ(down.At(p.x, p.y), frame) << p.x << "," << p.y;
  }
  EXPECT_EQ(down.At(1, 1), Px(lit));
}

TEST_F(ImageButtonTest, HoverLightsTheButtonUntilThePointerLeaves) {
  CImageButton& button = dialog.iconOnly;
  const SIZE size = SizeOf(button);
  // A real pointer move over the button: Wine sends it WM_MOUSEMOVE.
  const POINT centre = CentreOnScreen(button);
  ::SetCursorPos(centre.x, centre.y);
  ASSERT_TRUE(PumpUntil([&] { return button.IsMouseOver(); }));

  const ClientPixels px = CaptureClient(button);
  // Lit background: the face colour plus 25, each channel capped at 255.
  EXPECT_EQ(px.At(size.cx / 2, 3), Px(lit));
  if (GetRValue(face) > 230) {
    EXPECT_EQ(GetRValue(lit), 255);
  }
  // Raised double border.
  EXPECT_EQ(px.At(0, 0), Px(ShadeColour(lit, 64)));
  EXPECT_EQ(px.At(1, 1), Px(ShadeColour(lit, 32)));
  EXPECT_EQ(px.At(size.cx - 1, size.cy - 1), Px(ShadeColour(lit, -192)));
  EXPECT_EQ(px.At(size.cx - 1, 0), Px(ShadeColour(lit, -192)));
  EXPECT_EQ(px.At(size.cx - 2, size.cy - 2), Px(ShadeColour(lit, -64)));
  const Box icon = FindColour(px, kLitIcon);
  EXPECT_EQ(icon.Width(), kIconSize);
  EXPECT_TRUE(FindColour(px, kRestingIcon).Empty());

  // The pointer leaves: the hover timer notices and stops itself.
  ::SetCursorPos(1200, 1000);
  ASSERT_TRUE(PumpUntil([&] { return !button.IsMouseOver(); }));
  EXPECT_FALSE(::KillTimer(button, CImageButton::kHoverTimer));
  const ClientPixels after = CaptureClient(button);
  EXPECT_EQ(after.At(size.cx / 2, 3), Px(face));
  EXPECT_FALSE(FindColour(after, kRestingIcon).Empty());
}

TEST_F(ImageButtonTest, MouseMoveMessagesDriveTheHoverState) {
  CImageButton& button = dialog.withCaption;
  const SIZE size = SizeOf(button);
  // A move with the left button held does not start hovering.
  ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(button.IsMouseOver());
  ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(button.IsMouseOver());
  // A move reported outside (the button holds the capture while pressed).
  ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(size.cx + 4, 5));
  EXPECT_FALSE(button.IsMouseOver());
  // Losing the focus ends the hover too.
  ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ::SetFocus(button);
  ::SetFocus(dialog.GetItem(IDC_EDIT));
  EXPECT_FALSE(button.IsMouseOver());
}

TEST_F(ImageButtonTest, DisabledButtonIsGreyed) {
  const SIZE size = SizeOf(dialog.disabled);
  const ClientPixels px = CaptureClient(dialog.disabled);
  EXPECT_TRUE(FindColour(px, kRestingIcon).Empty());
  EXPECT_TRUE(FindColour(px, kLitIcon).Empty());
  EXPECT_TRUE(FindColour(px, ::GetSysColor(COLOR_BTNTEXT), 2, size.cx - 2).Empty());
  // Something is drawn where the icon and the caption go: the embossed shapes.
  const DWORD back = Px(face);
  const int iconTop = (size.cy - kIconSize) / 2;
  const Box iconInk = Find(
      px, [back](DWORD p) { return p != back; }, 3, 3 + kIconSize);
  EXPECT_LE(iconInk.top, iconTop + 1);
  EXPECT_GE(iconInk.bottom, iconTop + kIconSize - 2);
  const Box textInk = Find(
      px, [back](DWORD p) { return p != back; }, 3 + kIconSize + 1, size.cx - 2);
  EXPECT_FALSE(textInk.Empty());
}

TEST_F(ImageButtonTest, FocusDrawsTheBlackFrameAndTheFocusRectangle) {
  HWND button = dialog.withCaption;
  const SIZE size = SizeOf(button);
  ::SetFocus(button);
  ASSERT_EQ(::GetFocus(), button);
  const ClientPixels px = CaptureClient(button);
  const DWORD black = 0;
  for (POINT p :
       {POINT{0, 0}, POINT{size.cx - 1, size.cy - 1}, POINT{size.cx / 2, 0}, POINT{0, size.cy / 2}}) {
    EXPECT_EQ(px.At(p.x, p.y), black) << p.x << "," << p.y;
  }
  // Inside the frame: the soft border, then the face, then the dotted
  // focus rectangle 3 pixels inside the item's edge.
  EXPECT_EQ(px.At(1, 1), Px(ShadeColour(face, 32)));
  EXPECT_EQ(px.At(size.cx / 2, 2), Px(face));
  int dotted = 0;
  for (int x = 3; x < size.cx - 3; ++x) dotted += px.At(x, 3) != Px(face);
  EXPECT_GE(dotted, (size.cx - 6) / 3);
  int left = 0;
  for (int y = 3; y < size.cy - 3; ++y) left += px.At(3, y) != Px(face);
  EXPECT_GE(left, (size.cy - 6) / 3);
}

TEST(ImageButtonIcons, OwnsItsIconsAndFreesReplacedOnes) {
  HWND hwnd = ::CreateWindowExA(0, "BUTTON", "", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(hwnd);
  auto alive = [](HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    return true;
  };
  HICON a = MakeIcon(kLitIcon), b = MakeIcon(kRestingIcon), c = MakeIcon(kLitIcon);
  {
    CImageButton button;
    ASSERT_TRUE(button.Subclass(hwnd));
    button.SetIconHandles(a, nullptr, 16, 16);
    EXPECT_EQ(button.GetRestingIcon(), a);
    button.SetIconHandles(a, b, 16, 16);  // the same lit icon again survives
    EXPECT_TRUE(alive(a));
    EXPECT_EQ(button.GetRestingIcon(), b);
    button.SetIconHandles(c, c, 16, 16);  // both replaced, one handle for both states
    EXPECT_FALSE(alive(a));
    EXPECT_FALSE(alive(b));
    EXPECT_EQ(button.GetRestingIcon(), c);
  }
  EXPECT_FALSE(alive(c));
  ::DestroyWindow(hwnd);
}

TEST(ImageButtonIcons, MissingIconResourceLeavesNoIcon) {
  CImageButton button;
  button.SetIcon(4242, 0, 16, 16);
  EXPECT_EQ(button.GetLitIcon(), nullptr);
  EXPECT_EQ(button.GetRestingIcon(), nullptr);
}

}  // namespace
}  // namespace glyph

namespace glyph {
namespace {

// Not a check: keeps the dialog on screen with one button hovered so a
// screenshot can be taken (run with --gtest_also_run_disabled_tests).
TEST_F(ImageButtonTest, DISABLED_ShowWithOneButtonHovered) {
  const POINT centre = CentreOnScreen(dialog.withCaption);
  ::SetCursorPos(centre.x, centre.y);
  PumpUntil([&] { return dialog.withCaption.IsMouseOver(); });
  test::PumpFor(4000);
}

}  // namespace
}  // namespace glyph
