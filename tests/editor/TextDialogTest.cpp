// The "Enter text" dialog from its template, driven without blocking, and
// the tool cursors from the program's resources.
#include "editor/TextDialog.h"

#include <gtest/gtest.h>

#include "editor/BitmapView.h"
#include "framework/ResourceIds.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

class FakeChooser final : public FontChooser {
 public:
  int calls = 0;
  LOGFONTW seen{};
  bool Choose(HWND, LOGFONTW& font) override {
    ++calls;
    seen = font;
    font.lfHeight = -20;
    lstrcpyW(font.lfFaceName, L"Arial");
    return true;
  }
};

LOGFONTW Font(const wchar_t* face, int height) {
  LOGFONTW f{};
  f.lfHeight = height;
  lstrcpyW(f.lfFaceName, face);
  return f;
}

TEST(TextDialog, ShowsTheTextAndKeepsTheChosenFont) {
  FakeChooser chooser;
  CTextDialog dialog(L"Hello", Font(L"Tahoma", -11), &chooser);
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  char caption[64] = {};
  ::GetWindowTextA(dialog, caption, sizeof caption);
  EXPECT_STREQ(caption, "Enter text");
  char text[64] = {};
  ::GetDlgItemTextA(dialog, IDC_TEXT, text, sizeof text);
  EXPECT_STREQ(text, "Hello");
  ::GetDlgItemTextA(dialog, IDC_SELECT_FONT, text, sizeof text);
  EXPECT_STREQ(text, "Select font ...");
  ASSERT_TRUE(dialog.GetItem(IDOK));
  ASSERT_TRUE(dialog.GetItem(IDCANCEL));
  // The three push buttons are image buttons with the program's icons.
  for (const CImageButton* b : {&dialog.GetFontButton(), &dialog.GetOkButton(), &dialog.GetCancelButton()}) {
    ASSERT_TRUE(b->GetHwnd());
    EXPECT_TRUE(b->GetLitIcon());
  }
  EXPECT_EQ(dialog.GetOkButton().GetHwnd(), dialog.GetItem(IDOK));
  EXPECT_EQ(dialog.GetFontButton().GetHwnd(), dialog.GetItem(IDC_SELECT_FONT));
  // The icons are the 16 x 16 ones of the resources.
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(dialog.GetOkButton().GetLitIcon(), &info));
  UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
  BITMAP bm{};
  ::GetObjectA(info.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 16);

  ::SendMessageA(dialog.GetItem(IDC_SELECT_FONT), BM_CLICK, 0, 0);
  EXPECT_EQ(chooser.calls, 1);
  EXPECT_STREQ(chooser.seen.lfFaceName, L"Tahoma");
  ::SetDlgItemTextA(dialog, IDC_TEXT, "Glyph");
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(dialog.GetItem(IDOK)));
  EXPECT_EQ(dialog.GetHwnd(), nullptr);  // modeless: ended by destruction
  EXPECT_EQ(dialog.GetText(), L"Glyph");
  EXPECT_EQ(dialog.GetFont().lfHeight, -20);
  EXPECT_STREQ(dialog.GetFont().lfFaceName, L"Arial");
}

TEST(TextDialog, ModalRunHandsTextBackOnlyOnOK) {
  CBitmapView view;
  view.SetText(L"abc", Font(L"Tahoma", -9));
  {
    test::AutoAnswer answer(IDCANCEL);
    EXPECT_FALSE(EditCanvasText(nullptr, view));
    // Under load Wine may activate the closing dialog a second time (a late
    // X focus event), when its caption can no longer be read: at least one.
    EXPECT_GE(answer.Count(), 1);
  }
  {
    test::AutoAnswer answer(IDOK);
    EXPECT_TRUE(EditCanvasText(nullptr, view));
  }
  EXPECT_EQ(view.GetText(), L"abc");
  EXPECT_STREQ(view.GetTextFont().lfFaceName, L"Tahoma");
}

TEST(ToolCursors, EachToolShowsItsFamilyCursor) {
  HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_POPUP | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 64, 64,
                                  nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(button);
  CBitmapView view;
  ASSERT_TRUE(view.Subclass(button));
  view.LoadToolCursors(IDC_CURSOR_PEN, IDC_CURSOR_FILL, IDC_CURSOR_LINE, IDC_CURSOR_RECT, IDC_CURSOR_ELLIPSE,
                       IDC_CURSOR_PICK);
  struct HotSpot {
    int slot;
    DWORD x, y;
  } spots[] = {
      {kSlotPen, 1, 30}, {kSlotFill, 2, 30}, {kSlotPick, 1, 30}, {kSlotLine, 8, 8}, {kSlotRect, 8, 8}};
  for (const HotSpot& s : spots) {
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(view.GetToolCursor(s.slot), &info)) << s.slot;
    UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, s.x) << s.slot;
    EXPECT_EQ(info.yHotspot, s.y) << s.slot;
  }
  const int slots[] = {kSlotPen,  kSlotLine,    kSlotRect, kSlotEllipse,
                       kSlotRect, kSlotEllipse, kSlotFill, kSlotPick};
  for (int tool = TOOL_PEN; tool <= TOOL_BLUR; ++tool) {
    view.SetTool(tool);
    ::SetCursor(nullptr);
    ::SendMessageA(button, WM_SETCURSOR, reinterpret_cast<WPARAM>(button),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    if (tool < TOOL_TEXT) {
      EXPECT_EQ(::GetCursor(), view.GetToolCursor(slots[tool])) << tool;
    } else {
      EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW)) << tool;  // the window's own cursor
    }
  }
  view.Unsubclass();
  ::DestroyWindow(button);
}

}  // namespace
}  // namespace glyph
