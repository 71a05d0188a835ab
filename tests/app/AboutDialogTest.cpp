// The about box, and the program's start with the flat look on: both run
// modally and are closed from inside their loops.
#include "app/AboutDialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/MainApp.h"
#include "app/MainDialog.h"
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
