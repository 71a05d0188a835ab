// The about box, and the program's start with the flat look on: both run
// modally and are closed from inside their loops.
#include "app/AboutDialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "app/MainApp.h"
#include "app/MainDialog.h"
#include "browser/ChooseIconDlg.h"
#include "editor/TextDialog.h"
#include "framework/Profile.h"
#include "framework/ResourceIds.h"
#include "tests/common/GuiTest.h"
#include "widgets/FlatControlManager.h"

namespace glyph {
namespace {

std::string Text(HWND hwnd) {
  char text[128] = {};
  ::GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

struct AboutSeen {
  bool found = false;
  std::string caption, version, mail, site, mailTarget, siteTarget;
  bool okHasIcon = false;
  RECT client{};
};
AboutSeen g_about;
CAboutDialog* g_dialog = nullptr;

void CALLBACK InspectAbout(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = ::FindWindowA(nullptr, "About Glyphsmith");
  if (!box || !g_dialog) return;
  ::KillTimer(nullptr, id);
  g_about.found = true;
  g_about.caption = Text(box);
  g_about.mail = Text(::GetDlgItem(box, IDC_MAIL_LINK));
  g_about.site = Text(::GetDlgItem(box, IDC_SITE_LINK));
  g_about.mailTarget = g_dialog->GetMailLink().GetLink();
  g_about.siteTarget = g_dialog->GetSiteLink().GetLink();
  g_about.okHasIcon = g_dialog->GetOkButton().GetLitIcon() != nullptr;
  ::GetClientRect(box, &g_about.client);
  ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST(AboutDialogTest, ShowsTheProgramAndItsMakerAndClosesOnOk) {
  CAboutDialog about;
  g_dialog = &about;
  ::SetTimer(nullptr, 0, 20, &InspectAbout);
  EXPECT_EQ(about.DoModal(nullptr), IDOK);
  g_dialog = nullptr;
  ASSERT_TRUE(g_about.found);
  EXPECT_EQ(g_about.caption, "About Glyphsmith");
  EXPECT_EQ(g_about.mail, kMakerMail);
  EXPECT_EQ(g_about.mailTarget, std::string("mailto:") + kMakerMail);
  EXPECT_EQ(g_about.siteTarget, kMakerSite);
  EXPECT_TRUE(g_about.okHasIcon);
  // 187 x 85 dialog units: wider than tall, and more pixels than units.
  EXPECT_GT(g_about.client.right, 187);
  EXPECT_GT(g_about.client.bottom, 85);
  EXPECT_LT(g_about.client.bottom, g_about.client.right);
}

// The editor's dialogs open centred on the window they belong to, and
// stay wholly on its monitor when that window lies at the screen's edge.
TEST(DialogPlacementTest, DialogsOpenOverTheirOwner) {
  ScopedProfileKey profile{"Software\\Vorlane\\GlyphsmithTest\\Placement"};  // no saved placement
  const std::function<void(HWND)> dialogs[] = {
      [](HWND owner) { CAboutDialog().DoModal(owner); },
      [](HWND owner) { CTextDialog(L"", LOGFONTW{}).DoModal(owner); },
      [](HWND owner) { CChooseIconDlg(owner).DoModal(); },
  };
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor));
  const RECT work = monitor.rcWork;
  const RECT owners[] = {{work.left + 300, work.top + 150, work.left + 900, work.top + 750},
                         {work.right - 250, work.bottom - 150, work.right + 150, work.bottom + 250}};
  for (const RECT& o : owners) {
    HWND owner = ::CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, o.left, o.top,
                                   o.right - o.left, o.bottom - o.top, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    for (const auto& open : dialogs) {
      Profile::DeleteAll();  // "Choose Icon" keeps the placement it closed with
      test::AutoAnswer answer(IDCANCEL);
      open(owner);
      ASSERT_EQ(answer.Count(), 1);
      const RECT r = answer.LastRect();
      SCOPED_TRACE(answer.LastCaption());
      if (o.right <= work.right) {
        EXPECT_NEAR((r.left + r.right) / 2, (o.left + o.right) / 2, 1);
        EXPECT_NEAR((r.top + r.bottom) / 2, (o.top + o.bottom) / 2, 1);
      } else {
        EXPECT_EQ(r.right, work.right);
        EXPECT_EQ(r.bottom, work.bottom);
      }
    }
    ::DestroyWindow(owner);
  }
}

bool g_flatDuringRun = false;
bool g_mainUp = false;

void CALLBACK ExitMain(HWND, UINT, UINT_PTR id, DWORD) {
  HWND main = ::FindWindowW(nullptr, kTitleNoFile);
  if (!main) return;
  ::KillTimer(nullptr, id);
  g_mainUp = ::IsWindowVisible(main) != FALSE;
  g_flatDuringRun = CFlatControlManager::Current() != nullptr;
  if (auto* dialog = dynamic_cast<CMainDialog*>(Window::FromHandle(main)))
    dialog->ButtonClicked("BUTTON_EXIT");
}

// The program's own start: the main window comes up with the flat look
// installed, BUTTON_EXIT ends it with exit code 0, and the flat look is
// removed with it.
TEST(MainAppTest, RunShowsTheMainWindowWithTheFlatLookUntilExit) {
  ::SetTimer(nullptr, 0, 20, &ExitMain);
  CMainApp app;
  EXPECT_EQ(app.Run(L""), 0);
  EXPECT_TRUE(g_mainUp);
  EXPECT_TRUE(g_flatDuringRun);
  EXPECT_EQ(CFlatControlManager::Current(), nullptr);
}

}  // namespace
}  // namespace glyph
