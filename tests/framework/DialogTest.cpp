#include <gtest/gtest.h>

#include "framework/Dialog.h"

namespace glyph {
namespace {

constexpr UINT kTemplate = 300;
constexpr int kButton = 301;
constexpr int kEdit = 302;
constexpr UINT kMenuItem = 500;

// Counts what reaches the handlers; declines every command.
class CountingDialog : public Dialog {
 public:
  CountingDialog() : Dialog(kTemplate) {}
  int commands = 0, oks = 0, cancels = 0;
  HWND lastControl = nullptr;

 protected:
  bool OnCommand(UINT, UINT, HWND control) override {
    ++commands;
    lastControl = control;
    return false;
  }
  void OnOK() override { ++oks; }
  void OnCancel() override { ++cancels; }
};

TEST(Dialog, RoutesEachCommandToItsHandlersOnce) {
  CountingDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  HWND button = dialog.GetItem(kButton);
  HWND edit = dialog.GetItem(kEdit);
  struct Case {
    const char* what;
    UINT id, code;
    HWND control;
    int commands, oks, cancels;
  };
  const Case cases[] = {
      {"menu item", kMenuItem, 0, nullptr, 1, 0, 0},
      {"accelerator", kMenuItem, 1, nullptr, 1, 0, 0},
      {"Enter", IDOK, 0, nullptr, 1, 1, 0},
      {"Escape", IDCANCEL, 0, nullptr, 1, 0, 1},
      {"button click", static_cast<UINT>(kButton), BN_CLICKED, button, 1, 0, 0},
      {"edit notification", static_cast<UINT>(kEdit), EN_CHANGE, edit, 1, 0, 0},
      {"OK button click", IDOK, BN_CLICKED, button, 1, 1, 0},
      {"Cancel button click", IDCANCEL, BN_CLICKED, button, 1, 0, 1},
      {"OK notification other than a click", IDOK, BN_SETFOCUS, button, 1, 0, 0},
  };
  for (const Case& c : cases) {
    dialog.commands = dialog.oks = dialog.cancels = 0;
    dialog.lastControl = reinterpret_cast<HWND>(-1);
    ::SendMessageA(dialog.GetHwnd(), WM_COMMAND, MAKEWPARAM(c.id, c.code),
                   reinterpret_cast<LPARAM>(c.control));
    EXPECT_EQ(dialog.commands, c.commands) << c.what;
    EXPECT_EQ(dialog.oks, c.oks) << c.what;
    EXPECT_EQ(dialog.cancels, c.cancels) << c.what;
    if (c.commands) {
      EXPECT_EQ(dialog.lastControl, c.control) << c.what;
    }
  }
  dialog.DestroyWindow();
}

}  // namespace
}  // namespace glyph
