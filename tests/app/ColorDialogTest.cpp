// The real colour dialog under Wine, answered from a hook: the alpha field
// is there only when an alpha is asked for, starts at the alpha given, and
// what is typed into it comes back on OK, kept within 0..255.
#include "app/ColorDialog.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

TEST(ColorDialogTest, AlphaFieldStartsAtTheAlphaAndReturnsWhatIsTyped) {
  struct Case {
    bool askAlpha;
    int command;
    const wchar_t* typed;  // null: left as it starts
    int expectedAlpha;
  };
  const Case cases[] = {
      {true, IDOK, nullptr, 200},  {true, IDOK, L"64", 64},     {true, IDOK, L"999", 255},
      {true, IDCANCEL, L"7", 200}, {false, IDOK, nullptr, 200},
  };
  for (const Case& c : cases) {
    std::wstring shown = L"(none)";
    bool fieldFound = false;
    test::AutoAnswer answer(c.command, [&](HWND dialog) {
      HWND field = ::GetDlgItem(dialog, kColorAlphaField);
      fieldFound = field != nullptr;
      if (!field) return;
      wchar_t text[8] = {};
      ::GetWindowTextW(field, text, 8);
      shown = text;
      if (c.typed) ::SetWindowTextW(field, c.typed);
    });
    COLORREF custom[16] = {};
    ColorValue color = RGB(1, 2, 3);
    int alpha = 200;
    const bool ok = ChooseColorWithAlpha(nullptr, color, c.askAlpha ? &alpha : nullptr, custom);
    EXPECT_EQ(answer.Count(), 1);
    EXPECT_EQ(ok, c.command == IDOK);
    EXPECT_EQ(fieldFound, c.askAlpha);
    if (c.askAlpha) {
      EXPECT_EQ(shown, L"200");
    }
    EXPECT_EQ(color, RGB(1, 2, 3));
    EXPECT_EQ(alpha, c.expectedAlpha) << (c.typed ? "typed" : "untouched");
  }
}

}  // namespace
}  // namespace glyph
