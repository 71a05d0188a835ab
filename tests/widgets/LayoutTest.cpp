#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "framework/Profile.h"
#include "tests/common/GuiTest.h"
#include "widgets/ResizableDialog.h"

namespace glyph {
namespace {

constexpr UINT kTemplate = 200;
constexpr int kFixedLabel = 101, kLeftList = 102, kRightList = 103, kButton = 104, kHalf = 105;

// Other GUI tests run beside these on the same display and work near its
// top-left corner: these dialogs open, and maximise, in the lower right.
constexpr POINT kCorner{680, 420};

class TestDialog : public CResizableDialog {
 public:
  TestDialog() : CResizableDialog(kTemplate) {}
  bool registerControls = true;

  bool Open() {
    if (!CreateModeless(nullptr)) return false;
    ::SetWindowPos(GetHwnd(), nullptr, kCorner.x, kCorner.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    const LRESULT result = CResizableDialog::WindowProc(msg, wp, lp);
    if (msg == WM_GETMINMAXINFO) {
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMaxPosition = kCorner;
      info->ptMaxSize = POINT{500, 400};
    }
    return result;
  }

  BOOL OnInitDialog() override {
    InitLayout();
    if (registerControls) {
      Layout().AddControl(GetItem(kLeftList), 0, 50, 0, 100);
      Layout().AddControl(GetItem(kRightList), 50, 100, 0, 100);
      Layout().AddControl(GetItem(kButton), 100, 100, 100, 100);
      Layout().AddControl(GetItem(kHalf), 0, 50, 0, 50);
    }
    return TRUE;
  }
};

RECT ChildRect(HWND dlg, int id) {
  RECT r{};
  HWND child = ::GetDlgItem(dlg, id);
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// Grows the dialog's client area by (dx, dy) from its current size.
void ResizeClientBy(HWND dlg, int dx, int dy) {
  RECT w{};
  ::GetWindowRect(dlg, &w);
  ::SetWindowPos(dlg, nullptr, 0, 0, w.right - w.left + dx, w.bottom - w.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
}

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Open());
    ::ShowWindow(dlg, SW_SHOWNORMAL);
    PumpMessages();
    for (int id : {kFixedLabel, kLeftList, kRightList, kButton, kHalf}) start[id] = ChildRect(dlg, id);
  }
  void TearDown() override { dlg.DestroyWindow(); }

  TestDialog dlg;
  RECT start[106]{};
};

TEST_F(LayoutTest, EdgesMoveByTheirShareOfTheGrowth) {
  const struct { int dx, dy; } growths[] = {{100, 60}, {3, 3}, {1, 0}, {0, 41}, {333, 1}};
  for (const auto& g : growths) {
    ResizeClientBy(dlg, g.dx, g.dy);
    RECT client{};
    ::GetClientRect(dlg, &client);
    const int dx = client.right - dlg.Layout().InitialClientSize().cx;
    const int dy = client.bottom - dlg.Layout().InitialClientSize().cy;
    auto expect = [&](int id, int l, int r, int t, int b) {
      const RECT& s = start[id];
      const RECT want{s.left + dx * l / 100, s.top + dy * t / 100, s.right + dx * r / 100,
                      s.bottom + dy * b / 100};
      EXPECT_TRUE(Same(ChildRect(dlg, id), want)) << "id " << id << " growth " << dx << "x" << dy << ": "
                                                  << Str(ChildRect(dlg, id)) << " want " << Str(want);
    };
    expect(kFixedLabel, 0, 0, 0, 0);
    expect(kLeftList, 0, 50, 0, 100);
    expect(kRightList, 50, 100, 0, 100);
    expect(kButton, 100, 100, 100, 100);
    expect(kHalf, 0, 50, 0, 50);
    // Back to the initial size: every control is exactly where it began.
    ResizeClientBy(dlg, -g.dx, -g.dy);
    for (int id : {kFixedLabel, kLeftList, kRightList, kButton, kHalf})
      EXPECT_TRUE(Same(ChildRect(dlg, id), start[id])) << "id " << id << " " << Str(ChildRect(dlg, id));
  }
}

TEST_F(LayoutTest, HalfEdgeTruncatesAndCornerKeepsItsDistance) {
  ResizeClientBy(dlg, 3, 3);
  const RECT half = ChildRect(dlg, kHalf);
  EXPECT_EQ(half.right - start[kHalf].right, 1);
  EXPECT_EQ(half.bottom - start[kHalf].bottom, 1);
  EXPECT_EQ(half.left, start[kHalf].left);
  RECT client{};
  ::GetClientRect(dlg, &client);
  const RECT button = ChildRect(dlg, kButton);
  const SIZE initial = dlg.Layout().InitialClientSize();
  EXPECT_EQ(client.right - button.right, initial.cx - start[kButton].right);
  EXPECT_EQ(client.bottom - button.bottom, initial.cy - start[kButton].bottom);
}

TEST_F(LayoutTest, ShrinkingBelowTheInitialSizeAndMinimisingKeepControlsPut) {
  ResizeClientBy(dlg, -50, -40);
  for (int id : {kLeftList, kRightList, kButton, kHalf}) EXPECT_TRUE(Same(ChildRect(dlg, id), start[id]));
  ResizeClientBy(dlg, 50, 40);
  ResizeClientBy(dlg, 80, 80);
  const RECT grown = ChildRect(dlg, kButton);
  ::SendMessageA(dlg, WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_TRUE(Same(ChildRect(dlg, kButton), grown));
}

TEST_F(LayoutTest, MinimumTrackingSizeIsTheInitialWindowSize) {
  MINMAXINFO info{};
  info.ptMaxTrackSize = POINT{5000, 5000};
  ::SendMessageA(dlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, dlg.Layout().InitialWindowSize().cx);
  EXPECT_EQ(info.ptMinTrackSize.y, dlg.Layout().InitialWindowSize().cy);
  EXPECT_GT(info.ptMaxTrackSize.x, info.ptMinTrackSize.x);
  EXPECT_GT(info.ptMaxTrackSize.y, info.ptMinTrackSize.y);
  dlg.Layout().SetResizeFlags(CDialogLayout::kHeight);
  ::SendMessageA(dlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMaxTrackSize.x, dlg.Layout().InitialWindowSize().cx);
}

TEST_F(LayoutTest, GripSitsInTheCornerAndFollowsIt) {
  HWND grip = dlg.Layout().Grip();
  ASSERT_TRUE(grip);
  EXPECT_EQ(::GetDlgCtrlID(grip), CDialogLayout::kGripId);
  EXPECT_TRUE(::IsWindowVisible(grip));
  for (int growth : {0, 70}) {
    ResizeClientBy(dlg, growth, growth);
    RECT client{}, r{};
    ::GetClientRect(dlg, &client);
    ::GetWindowRect(grip, &r);
    ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.bottom, client.bottom);
    EXPECT_GT(r.right - r.left, 0);
  }
}

TEST_F(LayoutTest, RefusesWhatItCannotLayOut) {
  CDialogLayout& layout = dlg.Layout();
  const size_t before = layout.EntryCount();
  EXPECT_EQ(layout.AddControl(nullptr, 0, 100, 0, 100), nullptr);
  EXPECT_EQ(layout.AddControl(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4321)), 0, 100, 0, 100), nullptr);
  EXPECT_EQ(layout.AddControl(dlg.GetItem(kFixedLabel), 0, 0, 0, 0), nullptr);
  EXPECT_EQ(layout.AddControlByMode(dlg.GetItem(kFixedLabel), 9, 0), nullptr);  // unknown = fixed
  CDialogLayout uninitialised(dlg);
  EXPECT_EQ(uninitialised.AddControl(dlg.GetItem(kFixedLabel), 0, 100, 0, 100), nullptr);
  EXPECT_EQ(layout.EntryCount(), before);
}

TEST_F(LayoutTest, ControlRegisteredLateIsPlacedAtOnce) {
  ResizeClientBy(dlg, 40, 20);
  RECT client{};
  ::GetClientRect(dlg, &client);
  const int dx = client.right - dlg.Layout().InitialClientSize().cx;
  ASSERT_NE(
      dlg.Layout().AddControlByMode(dlg.GetItem(kFixedLabel), CDialogLayout::kMove, CDialogLayout::kFixed),
      nullptr);
  const RECT r = ChildRect(dlg, kFixedLabel);
  EXPECT_EQ(r.left, start[kFixedLabel].left + dx);
  EXPECT_EQ(r.top, start[kFixedLabel].top);
}

class PlacementTest : public ::testing::Test {
 protected:
  ScopedProfileKey key{"Software\\Vorlane\\GlyphsmithTest\\Layout"};
};

TEST_F(PlacementTest, SavedPlacementSurvivesARestart) {
  RECT saved{};
  {
    TestDialog dlg;
    ASSERT_TRUE(dlg.Open());
    ::ShowWindow(dlg, SW_SHOWNORMAL);
    ::SetWindowPos(dlg, nullptr, kCorner.x + 43, kCorner.y + 17, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ResizeClientBy(dlg, 64, 32);
    ::GetWindowRect(dlg, &saved);
    EXPECT_TRUE(dlg.Layout().SavePlacement("Test position"));
    dlg.DestroyWindow();
  }
  EXPECT_EQ(Profile::GetInt("Test position", "(check)", 0), 0x7F7F);
  EXPECT_EQ(Profile::GetInt("Test position", "Left", 0), saved.left);
  TestDialog again;
  ASSERT_TRUE(again.Open());
  EXPECT_TRUE(again.Layout().RestorePlacement("Test position", false));
  EXPECT_FALSE(::IsWindowVisible(again));
  ::ShowWindow(again, SW_SHOWNORMAL);
  PumpMessages();
  RECT now{};
  ::GetWindowRect(again, &now);
  EXPECT_TRUE(Same(now, saved)) << Str(now) << " want " << Str(saved);
  // The controls followed the restored size.
  EXPECT_GT(ChildRect(again, kButton).left, 0);
  again.DestroyWindow();
}

TEST_F(PlacementTest, MaximisedStateComesBackWhenAsked) {
  {
    TestDialog dlg;
    ASSERT_TRUE(dlg.Open());
    ::ShowWindow(dlg, SW_SHOWMAXIMIZED);
    PumpMessages();
    ASSERT_TRUE(::IsZoomed(dlg));
    EXPECT_TRUE(dlg.Layout().SavePlacement("Max"));
    dlg.DestroyWindow();
  }
  TestDialog again;
  ASSERT_TRUE(again.Open());
  EXPECT_TRUE(again.Layout().RestorePlacement("Max", true));
  PumpMessages();
  EXPECT_TRUE(::IsZoomed(again));
  again.DestroyWindow();
}

TEST_F(PlacementTest, MissingOrHalfWrittenPlacementIsIgnored) {
  TestDialog dlg;
  ASSERT_TRUE(dlg.Open());
  RECT before{};
  ::GetWindowRect(dlg, &before);
  EXPECT_FALSE(dlg.Layout().RestorePlacement("Nothing here", true));
  // A save that stopped after its first value.
  ASSERT_TRUE(Profile::WriteInt("Half", "(check)", -32640));
  ASSERT_TRUE(Profile::WriteInt("Half", "Left", 400));
  EXPECT_FALSE(dlg.Layout().RestorePlacement("Half", true));
  RECT after{};
  ::GetWindowRect(dlg, &after);
  EXPECT_TRUE(Same(before, after));
  dlg.DestroyWindow();
}

// Placements that would open the dialog where nobody can see it: a modal
// dialog there makes the program look hung.
TEST_F(PlacementTest, HiddenOrOffScreenPlacementIsIgnored) {
  const struct {
    const char* what;
    RECT rect;
    int state;
  } cases[] = {
      {"hidden", {100, 100, 500, 400}, SW_HIDE},
      {"unknown state", {100, 100, 500, 400}, 99},
      {"off every monitor", {-32000, -32000, -31600, -31700}, SW_SHOWNORMAL},
      {"far right", {40000, 100, 40400, 400}, SW_SHOWNORMAL},
  };
  for (const auto& c : cases) {
    for (const auto& [entry, value] : {std::pair<const char*, int>{"(check)", 0x7F7F},
                                       {"Left", c.rect.left},
                                       {"Top", c.rect.top},
                                       {"Right", c.rect.right},
                                       {"Bottom", c.rect.bottom},
                                       {"State", c.state}})
      ASSERT_TRUE(Profile::WriteInt("Odd", entry, value));
    TestDialog dlg;
    ASSERT_TRUE(dlg.Open());
    ::ShowWindow(dlg, SW_SHOWNORMAL);
    RECT before{};
    ::GetWindowRect(dlg, &before);
    EXPECT_FALSE(dlg.Layout().RestorePlacement("Odd", true)) << c.what;
    PumpMessages();
    RECT after{};
    ::GetWindowRect(dlg, &after);
    EXPECT_TRUE(::IsWindowVisible(dlg)) << c.what;
    EXPECT_TRUE(Same(before, after)) << c.what << ": " << Str(after);
    dlg.DestroyWindow();
  }
}

TEST(Profile, ValuesRoundTripAndDefaultsApply) {
  ScopedProfileKey key("Software\\Vorlane\\GlyphsmithTest\\Profile");
  EXPECT_EQ(Profile::GetInt("S", "missing", 42), 42);
  for (int v : {0, 1, -1, -32640, 0x7F7F, INT_MIN, INT_MAX}) {
    ASSERT_TRUE(Profile::WriteInt("S", "i", v));
    EXPECT_EQ(Profile::GetInt("S", "i", 5), v);
  }
  ASSERT_TRUE(Profile::WriteString("S", "s", "text"));
  EXPECT_EQ(Profile::GetString("S", "s", "d"), "text");
  EXPECT_EQ(Profile::GetInt("S", "s", 7), 7);  // wrong type falls back
  const unsigned char blob[] = {0, 1, 2, 255};
  ASSERT_TRUE(Profile::WriteBinary("S", "b", blob, sizeof blob));
  std::vector<unsigned char> back;
  ASSERT_TRUE(Profile::GetBinary("S", "b", back));
  EXPECT_EQ(back, std::vector<unsigned char>(blob, blob + sizeof blob));
  EXPECT_TRUE(Profile::DeleteAll());
  EXPECT_EQ(Profile::GetString("S", "s", "gone"), "gone");
}

}  // namespace
}  // namespace glyph
