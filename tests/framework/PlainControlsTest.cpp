// The program's own owner-drawn button and static pane, on a parent that
// records what they send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/PlainControls.h"
#include "framework/Window.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

class RecordingParent : public Window {
 public:
  std::vector<std::string> commands, draws;

 protected:
  bool OnCommand(UINT id, UINT code, HWND) override {
    commands.push_back((code == BN_CLICKED ? "click " : "double ") + std::to_string(id));
    return true;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_DRAWITEM) {
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      std::string state = "draw";
      if (dis->itemState & ODS_SELECTED) state += " selected";
      if (dis->itemState & ODS_FOCUS) state += " focus";
      if (dis->itemState & ODS_DISABLED) state += " disabled";
      draws.push_back(state);
      return TRUE;
    }
    return Window::WindowProc(msg, wp, lp);
  }
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

TEST(PlainControls, TheButtonPushesClicksAndHasItsParentDrawIt) {
  ASSERT_TRUE(RegisterPlainControls());
  ASSERT_TRUE(Window::RegisterClass("GlyphPlainParent", 0, nullptr, nullptr));
  RecordingParent parent;
  ASSERT_TRUE(
      parent.Create("GlyphPlainParent", "p", WS_POPUP | WS_VISIBLE, 0, RECT{40, 40, 200, 120}, nullptr, 0));
  HWND button = ::CreateWindowExA(0, kOwnerDrawButtonClass, "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10,
                                  40, 30, parent.GetHwnd(), reinterpret_cast<HMENU>(7), nullptr, nullptr);
  ASSERT_TRUE(button);
  auto drawn = [&] {
    parent.draws.clear();
    ::InvalidateRect(button, nullptr, FALSE);
    ::UpdateWindow(button);
    return parent.draws;
  };

  // Pushed while held inside, not while the pointer is outside; a release
  // outside is no click, one inside is.
  ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(::GetCapture(), button);
  EXPECT_EQ(::GetFocus(), button);
  EXPECT_EQ(::SendMessageA(button, BM_GETSTATE, 0, 0), BST_PUSHED | BST_FOCUS);
  EXPECT_EQ(drawn(), std::vector<std::string>{"draw selected focus"});
  ::SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, At(-5, 5));
  EXPECT_EQ(drawn(), std::vector<std::string>{"draw focus"});
  ::SendMessageA(button, WM_LBUTTONUP, 0, At(-5, 5));
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_TRUE(parent.commands.empty());
  ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SendMessageA(button, WM_LBUTTONUP, 0, At(6, 6));
  EXPECT_EQ(parent.commands, std::vector<std::string>{"click 7"});

  // A press that loses the capture is over; Space, BM_CLICK and a double
  // click report; disabled, it is drawn so.
  parent.commands.clear();
  ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
  ::SetCapture(parent.GetHwnd());
  ::ReleaseCapture();
  ::SendMessageA(button, WM_LBUTTONUP, 0, At(5, 5));
  ::SendMessageA(button, WM_KEYDOWN, VK_SPACE, 1);
  ::SendMessageA(button, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
  ::SendMessageA(button, BM_CLICK, 0, 0);
  ::SendMessageA(button, WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
  EXPECT_EQ(parent.commands, (std::vector<std::string>{"click 7", "click 7", "double 7"}));
  ::EnableWindow(button, FALSE);
  EXPECT_EQ(drawn(), std::vector<std::string>{"draw disabled"});

  // The pane lets the mouse through to its parent unless it asks for it.
  HWND pane = ::CreateWindowExA(0, kStaticPaneClass, "", WS_CHILD | WS_VISIBLE, 60, 10, 40, 30,
                                parent.GetHwnd(), nullptr, nullptr, nullptr);
  ASSERT_TRUE(pane);
  EXPECT_EQ(::SendMessageA(pane, WM_NCHITTEST, 0, MAKELPARAM(120, 60)), HTTRANSPARENT);
  ::SetWindowLongPtrA(pane, GWL_STYLE, ::GetWindowLongPtrA(pane, GWL_STYLE) | SS_NOTIFY);
  EXPECT_EQ(::SendMessageA(pane, WM_NCHITTEST, 0, MAKELPARAM(120, 60)), HTCLIENT);
  parent.DestroyWindow();
}

}  // namespace
}  // namespace glyph
