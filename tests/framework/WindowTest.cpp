#include <gtest/gtest.h>

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/Window.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

class ClickCounter : public Window {
 public:
  int downs = 0;
  int destroyed = 0;

 protected:
  void OnLButtonDown(UINT, POINT p) override {
    ++downs;
    last = p;
  }
  void OnDestroy() override { ++destroyed; }

 public:
  POINT last{};
};

TEST(Window, DispatchesMessagesAndDetachesOnDestroy) {
  ASSERT_TRUE(Window::RegisterClass("GlyphTestWindow", 0, nullptr, nullptr));
  ClickCounter w;
  ASSERT_TRUE(w.Create("GlyphTestWindow", "t", WS_POPUP, 0, RECT{0, 0, 50, 50}, nullptr, 0));
  HWND hwnd = w.GetHwnd();
  EXPECT_EQ(Window::FromHandle(hwnd), &w);
  ::SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
  EXPECT_EQ(w.downs, 1);
  EXPECT_EQ(w.last.x, 7);
  EXPECT_EQ(w.last.y, 9);
  ::DestroyWindow(hwnd);
  EXPECT_EQ(w.destroyed, 1);
  EXPECT_EQ(w.GetHwnd(), nullptr);
  EXPECT_EQ(Window::FromHandle(hwnd), nullptr);
}

TEST(Window, SubclassRestoresTheOriginalProcedure) {
  HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 40, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(edit);
  const LONG_PTR before = ::GetWindowLongPtrA(edit, GWLP_WNDPROC);
  {
    ClickCounter w;
    ASSERT_TRUE(w.Subclass(edit));
    EXPECT_NE(::GetWindowLongPtrA(edit, GWLP_WNDPROC), before);
    ::SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
    EXPECT_EQ(w.downs, 1);
  }
  EXPECT_EQ(::GetWindowLongPtrA(edit, GWLP_WNDPROC), before);
  EXPECT_TRUE(::IsWindow(edit));
  ::DestroyWindow(edit);
}

TEST(Handles, OwnersAreMoveOnlyAndFreeOnce) {
  UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
  ASSERT_TRUE(pen);
  HPEN raw = pen.Get();
  UniquePen moved(std::move(pen));
  EXPECT_FALSE(pen);
  EXPECT_EQ(moved.Get(), raw);
  EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_PEN));
  moved.Reset();
  EXPECT_EQ(::GetObjectType(raw), 0u);
}

}  // namespace
}  // namespace glyph
