#include <gtest/gtest.h>
#include <windows.h>

// After windows.h.
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "WidgetsTest.h"
#include "framework/Dialog.h"
#include "tests/common/GuiTest.h"
#include "widgets/HyperLink.h"

namespace glyph {
namespace {

using test::CaptureClient;
using test::ClientPixels;
using test::PumpUntil;

DWORD Px(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

int CountColour(const ClientPixels& px, COLORREF c) {
  int n = 0;
  for (DWORD p : px.bits) n += (p & 0xFFFFFF) == Px(c);
  return n;
}

// Records what the link asks of the system and answers from a script.
class FakePlatform : public LinkPlatform {
 public:
  INT_PTR executeResult = 42;
  UINT runResult = 33;
  std::map<std::string, std::string> classesRoot;
  std::vector<std::string> executed, run, messages;
  int shows = -1, beeps = 0;

  INT_PTR ShellExecuteOpen(const std::string& target, int show) override {
    executed.push_back(target);
    shows = show;
    return executeResult;
  }
  bool ReadClassesRoot(const std::string& key, std::string& value) override {
    auto it = classesRoot.find(key);
    if (it == classesRoot.end()) return false;
    value = it->second;
    return true;
  }
  UINT RunCommand(const std::string& commandLine, int) override {
    run.push_back(commandLine);
    return runResult;
  }
  void Beep() override { ++beeps; }
  void ShowMessage(HWND, const std::string& text) override { messages.push_back(text); }
};

constexpr char kMail[] = "mailto:someone@example.org";

class LinkDialog : public Dialog {
 public:
  LinkDialog() : Dialog(IDD_LINKS) {}
  CHyperLink left, right, centre, empty;
  FakePlatform platform;
  RECT before[4] = {};

 protected:
  BOOL OnInitDialog() override {
    empty.SetLink(kMail);
    int i = 0;
    for (auto [link, id] : {std::pair{&left, IDC_LINK_LEFT},
                            {&right, IDC_LINK_RIGHT},
                            {&centre, IDC_LINK_CENTRE},
                            {&empty, IDC_LINK_EMPTY}}) {
      HWND hwnd = GetItem(id);
      ::GetWindowRect(hwnd, &before[i]);
      ::MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&before[i]), 2);
      ++i;
      link->SetPlatform(&platform);
      link->Subclass(hwnd);
    }
    ::SetFocus(GetItem(IDC_LINK_EDIT));
    return FALSE;
  }
};

class HyperLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetCursorPos(1200, 1000);
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    test::PumpFor(30);
  }
  void TearDown() override { dialog.DestroyWindow(); }

  RECT RectInDialog(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    ::MapWindowPoints(nullptr, dialog.GetHwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static SIZE TextSize(CHyperLink& link) {
    char text[256] = {};
    ::GetWindowTextA(link, text, sizeof text);
    WindowDC dc(link);
    ScopedSelect select(dc.Get(), link.GetLinkFont());
    SIZE size{};
    ::GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(strlen(text)), &size);
    return size;
  }
  static std::string ToolText(CHyperLink& link) {
    return test::TooltipText(link.GetToolTip(), link, CHyperLink::kToolId);
  }
  static POINT CentreOnScreen(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  LinkDialog dialog;
};

TEST_F(HyperLinkTest, TargetAndCaptionFillEachOther) {
  EXPECT_EQ(dialog.left.GetLink(), "Glyphsmith home page");  // never set: its caption
  char caption[256] = {};
  ::GetWindowTextA(dialog.empty, caption, sizeof caption);
  EXPECT_STREQ(caption, kMail);  // no caption: its target
  EXPECT_EQ(ToolText(dialog.left), "Glyphsmith home page");
  EXPECT_EQ(ToolText(dialog.empty), kMail);

  LOGFONTA lf{};
  ASSERT_EQ(::GetObjectA(dialog.left.GetLinkFont(), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_FALSE(lf.lfUnderline);
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(dialog.left, WM_GETFONT, 0, 0)),
            dialog.left.GetLinkFont());

  dialog.left.SetLink("http://example.org/");
  EXPECT_EQ(ToolText(dialog.left), "http://example.org/");
  EXPECT_TRUE(::IsWindowVisible(dialog.left));
}

TEST_F(HyperLinkTest, WindowShrinksToItsTextKeepingItsAlignment) {
  struct Case {
    CHyperLink* link;
    int index;
  } cases[] = {{&dialog.left, 0}, {&dialog.right, 1}, {&dialog.centre, 2}};
  for (const Case& c : cases) {
    const RECT was = dialog.before[c.index];
    const RECT now = RectInDialog(*c.link);
    const SIZE text = TextSize(*c.link);
    SCOPED_TRACE(c.index);
    EXPECT_EQ(now.top, was.top);
    EXPECT_EQ(now.bottom - now.top, text.cy);
    switch (c.index) {
      case 0:
        EXPECT_EQ(now.left, was.left);
        EXPECT_EQ(now.right - now.left, text.cx);
        break;
      case 1:
        EXPECT_EQ(now.right, was.right);
        EXPECT_EQ(now.right - now.left, text.cx);
        break;
      default: {
        const int shrink = (was.right - was.left - text.cx) / 2;
        EXPECT_EQ(now.left, was.left + shrink);
        EXPECT_EQ(now.right, was.right - shrink);
        break;
      }
    }
  }
}

TEST_F(HyperLinkTest, HoverLightensTheTextWhileThePointerIsOver) {
  CHyperLink& link = dialog.left;
  ClientPixels px = CaptureClient(link);
  EXPECT_GT(CountColour(px, CHyperLink::kLinkColour), 0);
  EXPECT_EQ(CountColour(px, CHyperLink::kHoverColour), 0);

  const POINT centre = CentreOnScreen(link);
  ::SetCursorPos(centre.x, centre.y);
  ASSERT_TRUE(PumpUntil([&] { return link.IsMouseOver(); }));
  EXPECT_EQ(::GetCapture(), link.GetHwnd());
  px = CaptureClient(link);
  EXPECT_GT(CountColour(px, CHyperLink::kHoverColour), 0);
  EXPECT_EQ(CountColour(px, CHyperLink::kLinkColour), 0);

  ::SetCursorPos(1200, 1000);
  ASSERT_TRUE(PumpUntil([&] { return !link.IsMouseOver(); }));
  EXPECT_EQ(::GetCapture(), nullptr);
  px = CaptureClient(link);
  EXPECT_GT(CountColour(px, CHyperLink::kLinkColour), 0);
  EXPECT_EQ(CountColour(px, CHyperLink::kHoverColour), 0);
}

TEST_F(HyperLinkTest, ShowsAHandCursorAndTakesMouseInput) {
  CHyperLink& link = dialog.left;
  ASSERT_NE(CHyperLink::GetHandCursor(), nullptr);
  EXPECT_EQ(::SendMessageA(link, WM_NCHITTEST, 0, 0), HTCLIENT);
  EXPECT_TRUE(::SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link.GetHwnd()),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(::GetCursor(), CHyperLink::GetHandCursor());
}

TEST_F(HyperLinkTest, ClickOpensTheTargetAndMarksTheLinkVisited) {
  CHyperLink& link = dialog.empty;
  ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  EXPECT_EQ(::GetFocus(), link.GetHwnd());
  EXPECT_TRUE(link.IsActive());
  ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  ASSERT_EQ(dialog.platform.executed, std::vector<std::string>{kMail});
  EXPECT_EQ(dialog.platform.shows, SW_SHOW);
  EXPECT_TRUE(link.IsVisited());
  EXPECT_TRUE(dialog.platform.messages.empty());
  // The visited colour is the link colour.
  ::SetFocus(dialog.GetItem(IDC_LINK_EDIT));
  EXPECT_FALSE(link.IsActive());
  EXPECT_EQ(link.TextColour(), RGB(48, 64, 149));
  EXPECT_GT(CountColour(CaptureClient(link), RGB(48, 64, 149)), 0);
}

TEST_F(HyperLinkTest, SpaceBarOpensOtherKeysDoNot) {
  CHyperLink& link = dialog.left;
  ::SetFocus(link);
  ::SendMessageA(link, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(dialog.platform.executed.empty());
  ::SendMessageA(link, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(dialog.platform.executed.size(), 1u);
}

TEST_F(HyperLinkTest, FailedOpenFallsBackToTheHtmlCommandThenExplains) {
  const std::string htmlCommand = "\"C:\\viewer.exe\" -nohome \"%1\" -x";
  struct Case {
    const char* name;
    INT_PTR executeResult;
    bool htmClass, htmCommand;
    UINT runResult;
    const char* ran;  // command line given to WinExec, or null
    bool visited;
    const char* message;  // explanation shown, or null
  } cases[] = {
      {"shell opens", 42, true, true, 33, nullptr, true, nullptr},
      {"fallback opens", 31, true, true, 33, "\"C:\\viewer.exe\" -nohome  Glyphsmith home page", true,
       nullptr},
      {"fallback fails", 31, true, true, 2, "\"C:\\viewer.exe\" -nohome  Glyphsmith home page", false,
       "Can't open link:\n\nThe specified file was not found."},
      {"no class", 31, false, true, 33, nullptr, false,
       "Can't open link:\n\nThere is no application associated\nwith the given filename extension."},
      {"no command", 27, true, false, 33, nullptr, false,
       "Can't open link:\n\nThe filename association is\nincomplete or invalid."},
      {"odd code", 4, false, false, 33, nullptr, false, "Can't open link:\n\nUnknown Error (4) occurred."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CHyperLink link;
    FakePlatform platform;
    platform.executeResult = c.executeResult;
    platform.runResult = c.runResult;
    if (c.htmClass) platform.classesRoot[".htm"] = "htmlfile";
    if (c.htmCommand) platform.classesRoot["htmlfile\\shell\\open\\command"] = htmlCommand;
    link.SetPlatform(&platform);
    link.SetLink("Glyphsmith home page");
    link.OpenLink();
    EXPECT_EQ(platform.run.empty(), c.ran == nullptr);
    if (c.ran && !platform.run.empty()) {
      EXPECT_EQ(platform.run[0], c.ran);
    }
    EXPECT_EQ(link.IsVisited(), c.visited);
    EXPECT_EQ(platform.beeps, c.message ? 1 : 0);
    ASSERT_EQ(platform.messages.size(), c.message ? 1u : 0u);
    if (c.message) {
      EXPECT_EQ(platform.messages[0], c.message);
    }
  }
}

// The real message box path, answered so it never blocks.
class FailingShell : public LinkPlatform {
 public:
  INT_PTR ShellExecuteOpen(const std::string&, int) override { return 2; }
  bool ReadClassesRoot(const std::string&, std::string&) override { return false; }
  void Beep() override {}
};

TEST(HyperLinkSystem, ExplainsAFailureInAMessageBox) {
  FailingShell platform;
  CHyperLink link;
  link.SetPlatform(&platform);
  link.SetLink("nowhere");
  test::AutoAnswer answer(IDOK);
  link.OpenLink();
  EXPECT_EQ(answer.Count(), 1);
  EXPECT_FALSE(link.IsVisited());
}

TEST(HyperLinkSystem, ReadsDefaultValuesUnderTheClassesRoot) {
  // A class of our own (Wine's classes root does not merge in the user's classes).
  const std::string name = ".glyphtest" + std::to_string(::GetCurrentProcessId());
  HKEY raw = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                              nullptr),
            ERROR_SUCCESS);
  {
    UniqueRegKey key(raw);
    const char value[] = "glyphtestfile";
    ASSERT_EQ(
        ::RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value),
        ERROR_SUCCESS);
  }
  std::string cls;
  const bool found = LinkPlatform::System().ReadClassesRoot(name, cls);
  ::RegDeleteKeyA(HKEY_CLASSES_ROOT, name.c_str());
  EXPECT_TRUE(found);
  EXPECT_EQ(cls, "glyphtestfile");
  EXPECT_FALSE(LinkPlatform::System().ReadClassesRoot(name, cls));
}

}  // namespace
}  // namespace glyph
