#include <gtest/gtest.h>
#include <windows.h>

// After windows.h.
#include <commctrl.h>

#include <cstring>
#include <memory>
#include <vector>

#include "WidgetsTest.h"
#include "framework/Dialog.h"
#include "tests/common/GuiTest.h"
#include "widgets/FlatControlManager.h"
#include "widgets/ImageButton.h"

namespace glyph {
namespace {

using test::CaptureWindow;
using test::ClientPixels;
using test::PumpUntil;

DWORD Sys(int index) {
  const COLORREF c = ::GetSysColor(index);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

POINT CentreOnScreen(HWND hwnd) {
  RECT r;
  ::GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The procedure a fresh window of the class has: what a given-back control must have.
LONG_PTR ClassProc(const char* cls) {
  HWND probe = ::CreateWindowExA(0, cls, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const LONG_PTR proc = ::GetWindowLongPtrA(probe, GWLP_WNDPROC);
  ::DestroyWindow(probe);
  return proc;
}

class FlatTestDialog : public Dialog {
 public:
  FlatTestDialog() : Dialog(IDD_FLAT) {}
  CImageButton image;
  int commands = 0;
  HWND nested = nullptr;
  bool withNested = false;
  CFlatControlManager* adoptedBy = nullptr;  // as a window adopts itself

 protected:
  BOOL OnInitDialog() override {
    if (adoptedBy) adoptedBy->Adopt(GetHwnd());
    image.Subclass(GetItem(IDC_FLAT_IMAGE));
    if (withNested) {
      nested = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FLAT_NESTED), GetHwnd(),
                                    &NestedProc, 0);
      ::SetWindowPos(nested, nullptr, 200, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    ::SetFocus(GetItem(IDC_FLAT_RADIO));  // radios never show focus frames
    return FALSE;
  }
  bool OnCommand(UINT id, UINT, HWND) override {
    if (id == IDC_FLAT_PUSH) ++commands;
    return id == IDC_FLAT_PUSH;
  }

 private:
  static INT_PTR CALLBACK NestedProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }
};

INT_PTR CALLBACK RawDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

HWND OpenRawDialog() {
  return ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FLAT), nullptr,
                              &RawDialogProc, 0);
}

class FlatControlManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetCursorPos(1200, 1000);
    manager = std::make_unique<CFlatControlManager>();
    ASSERT_TRUE(manager->Install());
  }
  void TearDown() override {
    manager.reset();
    test::PumpFor(20);
    EXPECT_EQ(CFlatControlManager::PassThroughCount(), 0u);
  }
  HWND Item(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }

  std::unique_ptr<CFlatControlManager> manager;
};

TEST_F(FlatControlManagerTest, TakesTheControlsOfAnInitialisingDialogByClass) {
  FlatTestDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  HWND d = dialog.GetHwnd();
  EXPECT_TRUE(manager->IsDialogTaken(d));
  struct Case {
    int id;
    bool taken;
  } cases[] = {
      {IDC_FLAT_EDIT, true},
      {IDC_FLAT_READONLY, true},
      {IDC_FLAT_LIST_EDGE, true},
      {IDC_FLAT_LIST_PLAIN, false},  // no client edge: left alone
      {IDOK, true},
      {IDC_FLAT_PUSH, true},
      {IDC_FLAT_GROUP, false},
      {IDC_FLAT_CHECK, true},
      {IDC_FLAT_RADIO, true},
      {IDC_FLAT_DROPDOWN, true},
      {IDC_FLAT_SIMPLE, false},  // its children are taken instead
  };
  for (const Case& c : cases) EXPECT_EQ(manager->Find(Item(d, c.id)) != nullptr, c.taken) << c.id;
  HWND simpleEdit = ::FindWindowExA(Item(d, IDC_FLAT_SIMPLE), nullptr, "Edit", nullptr);
  ASSERT_TRUE(simpleEdit);
  EXPECT_NE(manager->Find(simpleEdit), nullptr);
  EXPECT_TRUE(manager->TimerRunning());
  dialog.DestroyWindow();
  EXPECT_EQ(manager->ControlCount(), 0u);
  EXPECT_EQ(manager->DialogCount(), 0u);
  EXPECT_FALSE(manager->TimerRunning());
}

TEST_F(FlatControlManagerTest, IdleFramesAreFlatAndTheHotControlGetsTheSunkenFrame) {
  FlatTestDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  HWND edit = dialog.GetItem(IDC_FLAT_EDIT);
  HWND readOnly = dialog.GetItem(IDC_FLAT_READONLY);
  HWND list = dialog.GetItem(IDC_FLAT_LIST_EDGE);
  test::PumpFor(50);

  ClientPixels px = CaptureWindow(edit);
  EXPECT_EQ(px.At(0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(px.At(px.width - 1, px.height - 1), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(px.At(1, 1), Sys(COLOR_BTNHIGHLIGHT));  // small and calm: a light inner frame
  EXPECT_EQ(px.At(px.width - 2, px.height - 2), Sys(COLOR_3DLIGHT));
  px = CaptureWindow(readOnly);
  EXPECT_EQ(px.At(1, 1), Sys(COLOR_BTNFACE));  // read-only looks flat even when enabled
  px = CaptureWindow(list);
  EXPECT_EQ(px.At(1, 1), Sys(COLOR_3DLIGHT));  // 30 pixels or more: not small
  // The check box's 13 x 13 box, vertically centred at the left: a light
  // inner frame instead of the system's dark one.
  px = CaptureWindow(dialog.GetItem(IDC_FLAT_CHECK));
  const int boxTop = (px.height - 13) / 2;
  EXPECT_EQ(px.At(0, boxTop), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(px.At(1, boxTop + 1), Sys(COLOR_WINDOW));
  EXPECT_EQ(px.At(12, boxTop + 12), Sys(COLOR_BTNHIGHLIGHT));

  // The pointer over the edit makes it hot within a timer tick or two.
  POINT at = CentreOnScreen(edit);
  ::SetCursorPos(at.x, at.y);
  ASSERT_TRUE(PumpUntil([&] { return manager->HotWindow() == edit; }, 1000));
  px = CaptureWindow(edit);
  EXPECT_EQ(px.At(1, 1), Sys(COLOR_3DDKSHADOW));
  EXPECT_TRUE(manager->Find(edit)->GetState() & FlatControl::kHot);

  // Moving to the list: the edit calms down, the list turns hot.
  at = CentreOnScreen(list);
  ::SetCursorPos(at.x, at.y);
  ASSERT_TRUE(PumpUntil([&] { return manager->HotWindow() == list; }, 1000));
  EXPECT_FALSE(manager->Find(edit)->GetState() & FlatControl::kHot);
  EXPECT_EQ(CaptureWindow(edit).At(1, 1), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(CaptureWindow(list).At(1, 1), Sys(COLOR_3DDKSHADOW));

  // While a drag holds the capture nothing changes.
  ::SetCapture(dialog.GetHwnd());
  at = CentreOnScreen(edit);
  ::SetCursorPos(at.x, at.y);
  test::PumpFor(300);
  EXPECT_EQ(manager->HotWindow(), list);
  ::ReleaseCapture();
  ASSERT_TRUE(PumpUntil([&] { return manager->HotWindow() == edit; }, 1000));

  // Leaving every control clears the hot window.
  ::SetCursorPos(1200, 1000);
  ASSERT_TRUE(PumpUntil([&] { return manager->HotWindow() == nullptr; }, 1000));
  dialog.DestroyWindow();
}

TEST_F(FlatControlManagerTest, OwnerDrawnButtonsKeepTheirOwnLook) {
  FlatTestDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  test::PumpFor(50);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  const ClientPixels image = CaptureWindow(dialog.image);
  // The image button's own soft border, not a flat push-button frame.
  const COLORREF shadow = RGB(GetRValue(face) - 64, GetGValue(face) - 64, GetBValue(face) - 64);
  EXPECT_EQ(image.At(image.width - 1, image.height - 1),
            static_cast<DWORD>((GetRValue(shadow) << 16) | (GetGValue(shadow) << 8) | GetBValue(shadow)));
  // A plain push button next to it is drawn flat: a calm triple frame
  // whose inner rings are the face colour.
  const ClientPixels push = CaptureWindow(dialog.GetItem(IDC_FLAT_PUSH));
  EXPECT_EQ(push.At(0, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(push.At(push.width - 1, push.height - 1), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(push.At(push.width - 2, push.height - 2), Sys(COLOR_BTNFACE));
  dialog.DestroyWindow();
}

TEST_F(FlatControlManagerTest, ControlsCreatedAndDestroyedInATakenDialogComeAndGo) {
  FlatTestDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  const size_t before = manager->ControlCount();
  std::vector<HWND> made;
  for (int i = 0; i < 5; ++i) {
    made.push_back(::CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 200 + i * 2, 60,
                                     20, dialog.GetHwnd(), nullptr, nullptr, nullptr));
    EXPECT_NE(manager->Find(made.back()), nullptr);
  }
  EXPECT_EQ(manager->ControlCount(), before + 5);
  for (HWND hwnd : made) ::DestroyWindow(hwnd);
  EXPECT_EQ(manager->ControlCount(), before);
  for (HWND hwnd : made) EXPECT_EQ(manager->Find(hwnd), nullptr);
  dialog.DestroyWindow();
  EXPECT_EQ(manager->ControlCount(), 0u);
}

TEST_F(FlatControlManagerTest, AnUpDownSharesItsHotLookWithItsBuddy) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS};
  ASSERT_TRUE(::InitCommonControlsEx(&icc));
  FlatTestDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  HWND edit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "5", WS_CHILD | WS_VISIBLE, 250, 200, 80, 22,
                                dialog.GetHwnd(), nullptr, nullptr, nullptr);
  HWND upDown =
      ::CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0,
                        0, 0, dialog.GetHwnd(), nullptr, nullptr, nullptr);
  ::SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  ASSERT_NE(manager->Find(edit), nullptr);
  ASSERT_NE(manager->Find(upDown), nullptr);
  const POINT at = CentreOnScreen(upDown);
  ::SetCursorPos(at.x, at.y);
  ASSERT_TRUE(PumpUntil([&] { return manager->HotWindow() == upDown; }, 1000));
  EXPECT_TRUE(manager->Find(edit)->GetState() & FlatControl::kHot);
  ::SetCursorPos(1200, 1000);
  ASSERT_TRUE(PumpUntil([&] { return manager->HotWindow() == nullptr; }, 1000));
  EXPECT_FALSE(manager->Find(edit)->GetState() & FlatControl::kHot);
  dialog.DestroyWindow();
}

TEST_F(FlatControlManagerTest, DialogsOpenedTwiceAreEachTakenOnce) {
  for (int round = 0; round < 2; ++round) {
    FlatTestDialog first, second;
    ASSERT_TRUE(first.CreateModeless(nullptr));
    ASSERT_TRUE(second.CreateModeless(nullptr));
    EXPECT_EQ(manager->DialogCount(), 2u);
    const size_t perDialog = manager->ControlCount() / 2;
    EXPECT_GT(perDialog, 5u);
    first.DestroyWindow();
    EXPECT_EQ(manager->ControlCount(), perDialog);
    EXPECT_EQ(manager->DialogCount(), 1u);
    // The survivor still paints and takes new children.
    HWND child = ::CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", "", WS_CHILD, 0, 0, 40, 40, second.GetHwnd(),
                                   nullptr, nullptr, nullptr);
    EXPECT_NE(manager->Find(child), nullptr);
    second.DestroyWindow();
    EXPECT_EQ(manager->ControlCount(), 0u);
    EXPECT_EQ(manager->DialogCount(), 0u);
    EXPECT_FALSE(manager->TimerRunning());
  }
}

TEST_F(FlatControlManagerTest, NestedDialogsAreTakenAsDialogsNotAsControls) {
  FlatTestDialog dialog;
  dialog.withNested = true;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  ASSERT_TRUE(dialog.nested);
  EXPECT_EQ(manager->Find(dialog.nested), nullptr);
  EXPECT_TRUE(manager->IsDialogTaken(dialog.nested));
  EXPECT_NE(manager->Find(::GetDlgItem(dialog.nested, IDC_NESTED_EDIT)), nullptr);
  dialog.DestroyWindow();
  EXPECT_EQ(manager->DialogCount(), 0u);
}

TEST_F(FlatControlManagerTest, RemovingTheManagerGivesEveryWindowBackAndLeavesNoHook) {
  const LONG_PTR editProc = ClassProc("Edit"), buttonProc = ClassProc("Button"),
                 listProc = ClassProc("ListBox");
  FlatTestDialog ours;
  ASSERT_TRUE(ours.CreateModeless(nullptr));
  HWND raw = OpenRawDialog();
  ASSERT_TRUE(raw);
  const LONG_PTR rawDialogProc = ::GetWindowLongPtrA(raw, GWLP_WNDPROC);
  EXPECT_TRUE(manager->IsDialogTaken(raw));
  EXPECT_NE(::GetWindowLongPtrA(Item(raw, IDC_FLAT_EDIT), GWLP_WNDPROC), editProc);

  manager->Uninstall();
  EXPECT_EQ(manager->HookCount(), 0u);
  EXPECT_FALSE(manager->TimerRunning());
  EXPECT_EQ(manager->ControlCount(), 0u);
  EXPECT_EQ(manager->DialogCount(), 0u);
  // The plain dialog's controls have exactly their own procedures again.
  EXPECT_EQ(::GetWindowLongPtrA(Item(raw, IDC_FLAT_EDIT), GWLP_WNDPROC), editProc);
  EXPECT_EQ(::GetWindowLongPtrA(Item(raw, IDC_FLAT_PUSH), GWLP_WNDPROC), buttonProc);
  EXPECT_EQ(::GetWindowLongPtrA(Item(raw, IDC_FLAT_LIST_EDGE), GWLP_WNDPROC), listProc);
  EXPECT_NE(::GetWindowLongPtrA(raw, GWLP_WNDPROC), rawDialogProc);  // ours was the top: given back
  // Where our own framework subclassed above the manager (the image button,
  // the dialog object), the manager only passes messages through.
  EXPECT_GE(CFlatControlManager::PassThroughCount(), 2u);
  ::SendMessageA(ours.image, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(ours.image.IsMouseOver());
  ::SendMessageA(ours.GetItem(IDC_FLAT_PUSH), BM_CLICK, 0, 0);
  EXPECT_EQ(ours.commands, 1);

  // No hook: a new dialog is not taken.
  HWND later = OpenRawDialog();
  EXPECT_FALSE(manager->IsDialogTaken(later));
  EXPECT_EQ(::GetWindowLongPtrA(Item(later, IDC_FLAT_EDIT), GWLP_WNDPROC), editProc);
  ::DestroyWindow(later);
  ::DestroyWindow(raw);
  ours.DestroyWindow();
  EXPECT_EQ(CFlatControlManager::PassThroughCount(), 0u);
}

TEST_F(FlatControlManagerTest, DestroyingTheManagerWithDialogsOpenIsSafe) {
  auto dialog = std::make_unique<FlatTestDialog>();
  ASSERT_TRUE(dialog->CreateModeless(nullptr));
  HWND raw = OpenRawDialog();
  const LONG_PTR editProc = ClassProc("Edit");
  manager.reset();
  EXPECT_EQ(::GetWindowLongPtrA(Item(raw, IDC_FLAT_EDIT), GWLP_WNDPROC), editProc);
  // Everything keeps working and closes cleanly without a manager.
  test::PumpFor(150);
  ::SendMessageA(dialog->GetItem(IDC_FLAT_PUSH), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog->commands, 1);
  dialog->DestroyWindow();
  ::DestroyWindow(raw);
  EXPECT_EQ(CFlatControlManager::PassThroughCount(), 0u);
  // A new manager takes a new dialog again.
  manager = std::make_unique<CFlatControlManager>();
  ASSERT_TRUE(manager->Install());
  HWND again = OpenRawDialog();
  EXPECT_TRUE(manager->IsDialogTaken(again));
  ::DestroyWindow(again);
}

TEST_F(FlatControlManagerTest, OneManagerAtATimeAndOnlyForItsOwnThread) {
  CFlatControlManager second;
  EXPECT_FALSE(second.Install());
  EXPECT_EQ(CFlatControlManager::Current(), manager.get());
  EXPECT_FALSE(manager->Install(::GetCurrentThreadId() + 1));
  EXPECT_TRUE(manager->Install());  // again for this thread: still one hook
  EXPECT_EQ(manager->HookCount(), 1u);
}

// A window adopted before the hook goes in is taken as the hook would
// take it; the hook waits for the queue to run, then finds later dialogs.
TEST_F(FlatControlManagerTest, AHookInstalledWhenIdleFollowsAnAdoptedDialog) {
  manager.reset();
  manager = std::make_unique<CFlatControlManager>();
  ASSERT_TRUE(manager->InstallWhenIdle());
  EXPECT_EQ(manager->HookCount(), 0u);
  FlatTestDialog early, later;
  early.adoptedBy = manager.get();
  ASSERT_TRUE(early.CreateModeless(nullptr));
  manager->Adopt(early.GetHwnd());
  EXPECT_EQ(manager->DialogCount(), 1u);
  EXPECT_NE(manager->Find(Item(early.GetHwnd(), IDC_FLAT_EDIT)), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return manager->HookCount() == 1; }));
  ASSERT_TRUE(later.CreateModeless(nullptr));
  EXPECT_TRUE(manager->IsDialogTaken(later.GetHwnd()));
  later.DestroyWindow();
  early.DestroyWindow();
  EXPECT_EQ(manager->DialogCount(), 0u);
}

}  // namespace
}  // namespace glyph

namespace glyph {
namespace {

// Not a check: keeps a flat dialog on screen with the edit hot, for a screenshot.
TEST_F(FlatControlManagerTest, DISABLED_ShowFlatDialog) {
  FlatTestDialog dialog;
  dialog.withNested = true;
  ASSERT_TRUE(dialog.CreateModeless(nullptr));
  ::SendMessageA(dialog.GetItem(IDC_FLAT_DROPDOWN), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Item"));
  ::SendMessageA(dialog.GetItem(IDC_FLAT_LIST_EDGE), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Item"));
  const POINT at = CentreOnScreen(dialog.GetItem(IDC_FLAT_EDIT));
  ::SetCursorPos(at.x, at.y);
  test::PumpFor(4000);
  dialog.DestroyWindow();
}

}  // namespace
}  // namespace glyph
