#include <gtest/gtest.h>

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "browser/ChooseIconDlg.h"
#include "framework/Profile.h"
#include "framework/ResourceIds.h"
#include "tests/browser/TempTree.h"
#include "tests/common/FileBytes.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

std::string IconBytes() {
  // One of the dialog's own button icons: a real two-image icon file.
  return test::ReadAll(GLYPH_SAMPLE_ICON);
}

std::wstring CurrentDirectory() {
  wchar_t buf[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, buf);
  return buf;
}

std::vector<std::wstring> Rows(HWND dlg) {
  HWND list = ::GetDlgItem(dlg, IDC_FILE_LIST);
  std::vector<std::wstring> out;
  const int n = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t buf[1024] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = buf;
    item.cchTextMax = 1024;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    out.push_back(buf);
  }
  return out;
}

int IconItems(HWND dlg) {
  return static_cast<int>(::SendDlgItemMessageA(dlg, IDC_ICON_LIST, LB_GETCOUNT, 0, 0));
}

std::string ButtonText(HWND dlg) {
  char buf[64] = {};
  ::GetDlgItemTextA(dlg, IDC_SCAN_SUBFOLDERS, buf, sizeof buf);
  return buf;
}

// Other GUI tests run beside these on the same display and work near its
// top-left corner: these dialogs open, and maximise, in the lower right.
constexpr POINT kCorner{680, 420};
constexpr SIZE kMaximised{560, 480};

class TestChooseIconDlg : public CChooseIconDlg {
 public:
  TestChooseIconDlg() : CChooseIconDlg(nullptr) {}

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    const LRESULT result = CChooseIconDlg::WindowProc(msg, wp, lp);
    if (msg == WM_GETMINMAXINFO) {
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMaxPosition = kCorner;
      info->ptMaxSize = POINT{kMaximised.cx, kMaximised.cy};
    }
    return result;
  }
};

class ChooseIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedDirectory = CurrentDirectory();
    icon = IconBytes();
    ASSERT_GT(icon.size(), 100u);
    // Icon sources, and files that only carry the extension.
    temp.File(L"a.ico", icon);
    temp.File(L"fake.exe", "this is not an executable");
    temp.File(L"bad.dll", "MZ" + std::string(30, '\x7f'));
    temp.File(L"empty.ocx", "");
    temp.File(L"notes.txt", icon);
    temp.File(L"sub\\b.ico", icon);
    temp.File(L".dot\\c.ico", icon);
    temp.Dir(L"none");
    ::SetCurrentDirectoryW(temp.Root().c_str());
  }
  void TearDown() override {
    dlg.reset();
    ::SetCurrentDirectoryW(savedDirectory.c_str());
  }

  CChooseIconDlg& Open() {
    dlg = std::make_unique<TestChooseIconDlg>();
    EXPECT_TRUE(dlg->CreateModeless());
    // Unless a saved placement put it somewhere already.
    if (Profile::GetInt(CChooseIconDlg::kPlacementSection, "(check)", 0) != 0x7F7F)
      ::SetWindowPos(dlg->GetHwnd(), nullptr, kCorner.x, kCorner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::ShowWindow(dlg->GetHwnd(), SW_SHOW);
    return *dlg;
  }
  bool WaitIdle(DWORD ms = 20000) {
    return test::PumpUntil([&] { return !dlg->Scanning() && !dlg->TimerRunning(); }, ms);
  }
  HWND Hwnd() { return dlg->GetHwnd(); }
  void Click(int id) {
    ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(Hwnd(), id)));
  }

  ScopedProfileKey profile{"Software\\Vorlane\\GlyphsmithTest\\ChooseIcon"};
  std::wstring savedDirectory;
  std::string icon;
  test::TempTree temp;
  std::unique_ptr<CChooseIconDlg> dlg;
};

TEST_F(ChooseIconTest, OpensOnTheCurrentFolderAndListsOnlyFilesWithIcons) {
  CChooseIconDlg& d = Open();
  EXPECT_EQ(d.CurrentFolder(), temp.Root() + L"\\");
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Rows(Hwnd()), std::vector<std::wstring>{L"01       a.ico"});
  EXPECT_EQ(ButtonText(Hwnd()), "Scan subfolders");
  // The first row's icons are shown although no row is highlighted.
  EXPECT_EQ(d.ChosenPath(), temp.Path(L"a.ico"));
  EXPECT_EQ(IconItems(Hwnd()), 1);
  EXPECT_EQ(::SendDlgItemMessageA(Hwnd(), IDC_ICON_LIST, LB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(::SendDlgItemMessageA(Hwnd(), IDC_ICON_LIST, LB_GETITEMDATA, 0, 0));
  // Double-clicking an icon does not close the dialog.
  ::SendMessageA(Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_ICON_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(::GetDlgItem(Hwnd(), IDC_ICON_LIST)));
  EXPECT_TRUE(::IsWindow(Hwnd()));
}

TEST_F(ChooseIconTest, SelectedIconIsDrawnOnTheHighlightColour) {
  Open();
  ASSERT_TRUE(WaitIdle());
  ASSERT_EQ(IconItems(Hwnd()), 1);
  HWND list = ::GetDlgItem(Hwnd(), IDC_ICON_LIST);
  RECT item{};
  ASSERT_NE(::SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)), LB_ERR);
  EXPECT_EQ(item.bottom - item.top, ::GetSystemMetrics(SM_CYICON) + 12);
  EXPECT_EQ(item.right - item.left, ::GetSystemMetrics(SM_CXICON) + 6);
  const test::ClientPixels px = test::CaptureClient(list);
  const COLORREF h = ::GetSysColor(COLOR_HIGHLIGHT);
  const DWORD highlight = (GetRValue(h) << 16) | (GetGValue(h) << 8) | GetBValue(h);
  EXPECT_EQ(px.At(item.left + 1, item.top + 1), highlight);
  EXPECT_EQ(px.At(item.right - 1, item.bottom - 2), highlight);
  // The icon sits at (2, 4) inside the item: something else shows there.
  int drawn = 0;
  for (int y = 0; y < ::GetSystemMetrics(SM_CYICON); ++y)
    for (int x = 0; x < ::GetSystemMetrics(SM_CXICON); ++x)
      drawn += px.At(item.left + 2 + x, item.top + 4 + y) != highlight;
  EXPECT_GT(drawn, 50);
}

TEST_F(ChooseIconTest, ScanButtonScansSubfoldersWithFullPathsAndSkipsDotFolders) {
  Open();
  ASSERT_TRUE(WaitIdle());
  Click(IDC_SCAN_SUBFOLDERS);
  EXPECT_TRUE(dlg->TimerRunning());
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Rows(Hwnd()), (std::vector<std::wstring>{L"01       " + temp.Path(L"a.ico"),
                                                     L"01       " + temp.Path(L"sub\\b.ico")}));
  EXPECT_EQ(ButtonText(Hwnd()), "Scan subfolders");
  EXPECT_EQ(CChooseIconDlg::SharedScanState().recursive.load(), 0);

  // Double-clicking a row of another folder scans that folder, not recursive.
  ListView_SetItemState(::GetDlgItem(Hwnd(), IDC_FILE_LIST), 1, LVIS_SELECTED, LVIS_SELECTED);
  NMITEMACTIVATE nm{};
  nm.hdr.hwndFrom = ::GetDlgItem(Hwnd(), IDC_FILE_LIST);
  nm.hdr.idFrom = IDC_FILE_LIST;
  nm.hdr.code = NM_DBLCLK;
  nm.iItem = 1;
  ::SendMessageA(Hwnd(), WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&nm));
  EXPECT_EQ(dlg->CurrentFolder(), temp.Path(L"sub\\"));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Rows(Hwnd()), std::vector<std::wstring>{L"01       b.ico"});
  // A row of the current folder: nothing happens.
  ListView_SetItemState(::GetDlgItem(Hwnd(), IDC_FILE_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
  ::SendMessageA(Hwnd(), WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&nm));
  EXPECT_FALSE(dlg->Scanning());
  EXPECT_FALSE(dlg->TimerRunning());
}

TEST_F(ChooseIconTest, ThousandsOfFiles) {
  for (int i = 0; i < 2000; ++i)
    temp.File(L"many\\f" + std::to_wstring(i) + (i % 3 ? L".dll" : L".ico"), i % 3 ? "plain text" : icon);
  Open();
  dlg->Tree().SelectPath(temp.Path(L"many"));
  ASSERT_TRUE(WaitIdle(60000));
  EXPECT_EQ(dlg->FilePaths().size(), 667u);
  const std::vector<std::wstring> rows = Rows(Hwnd());
  ASSERT_EQ(rows.size(), 667u);
  for (const std::wstring& row : rows) {
    EXPECT_EQ(row.rfind(L"01       f", 0), 0u);
    EXPECT_EQ(row.substr(row.size() - 4), L".ico");
  }
}

TEST_F(ChooseIconTest, ClosingDuringAScanWaitsForTheWorker) {
  Open();
  dlg->Tree().SelectPath(L"C:\\windows");
  ASSERT_TRUE(WaitIdle());
  Click(IDC_SCAN_SUBFOLDERS);
  ASSERT_TRUE(dlg->Scanning());
  dlg->DestroyWindow();
  scan::ScanState& state = CChooseIconDlg::SharedScanState();
  EXPECT_EQ(state.running.load(), 0);
  EXPECT_EQ(state.stop.load(), 1);
  EXPECT_FALSE(dlg->TimerRunning());
}

TEST_F(ChooseIconTest, ChoosingAnotherFolderRestartsARecursiveScanThere) {
  Open();
  dlg->Tree().SelectPath(L"C:\\windows");
  ASSERT_TRUE(WaitIdle());
  Click(IDC_SCAN_SUBFOLDERS);
  ASSERT_TRUE(dlg->Scanning());
  dlg->Tree().SelectPath(temp.Root());
  ASSERT_TRUE(WaitIdle());
  // Only the new folder's files, with full paths: the scan stayed recursive.
  EXPECT_EQ(Rows(Hwnd()), (std::vector<std::wstring>{L"01       " + temp.Path(L"a.ico"),
                                                     L"01       " + temp.Path(L"sub\\b.ico")}));
}

TEST_F(ChooseIconTest, StoppingARecursiveScanShowsTheRestByName) {
  Open();
  dlg->Tree().SelectPath(L"C:\\windows");
  ASSERT_TRUE(WaitIdle());
  Click(IDC_SCAN_SUBFOLDERS);
  Click(IDC_SCAN_SUBFOLDERS);  // stop at once
  EXPECT_FALSE(dlg->Scanning());
  EXPECT_EQ(ButtonText(Hwnd()), "Scan subfolders");
  ASSERT_TRUE(WaitIdle());
  for (const std::wstring& row : Rows(Hwnd())) EXPECT_EQ(row.find(L'\\'), std::wstring::npos);
}

TEST_F(ChooseIconTest, FolderWithoutIconSourcesGivesNothingEvenAfterOK) {
  Open();
  dlg->Tree().SelectPath(temp.Path(L"none"));
  ASSERT_TRUE(WaitIdle());
  EXPECT_TRUE(Rows(Hwnd()).empty());
  EXPECT_EQ(IconItems(Hwnd()), 0);
  const std::wstring before = CurrentDirectory();
  Click(IDOK);
  EXPECT_FALSE(::IsWindow(Hwnd()));
  std::wstring path = L"x";
  int index = 7;
  dlg->GetResult(path, index);
  EXPECT_TRUE(path.empty());
  EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(ChooseIconTest, OkHandsBackTheIconAndMovesTheCurrentDirectory) {
  temp.File(L"other\\two.ico", icon);
  Open();
  dlg->Tree().SelectPath(temp.Path(L"other"));
  ASSERT_TRUE(WaitIdle());
  ::SetCurrentDirectoryW(savedDirectory.c_str());
  Click(IDOK);
  std::wstring path;
  int index = -5;
  dlg->GetResult(path, index);
  EXPECT_EQ(path, temp.Path(L"other\\two.ico"));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(CurrentDirectory() + L"\\", temp.Path(L"other\\"));
}

TEST_F(ChooseIconTest, CancelLeavesTheCurrentDirectory) {
  Open();
  ASSERT_TRUE(WaitIdle());
  ::SetCurrentDirectoryW(savedDirectory.c_str());
  Click(IDCANCEL);
  EXPECT_FALSE(::IsWindow(Hwnd()));
  EXPECT_EQ(CurrentDirectory(), savedDirectory);
}

TEST_F(ChooseIconTest, VanishedAndUnreadableFilesLeaveTheIconListEmpty) {
  temp.File(L"brief\\x.ico", icon);
  Open();
  ASSERT_TRUE(WaitIdle());
  const std::wstring gone = temp.File(L"gone.ico", icon);
  EXPECT_TRUE(dlg->SetChosenFile(gone, 0));
  EXPECT_FALSE(dlg->SetChosenFile(gone, 1));
  EXPECT_FALSE(dlg->SetChosenFile(gone, -1));
  ::DeleteFileW(gone.c_str());
  dlg->FillIconList();
  EXPECT_EQ(IconItems(Hwnd()), 0);
  EXPECT_FALSE(dlg->SetChosenFile(gone, 0));
  // A file nobody may read: no icons, no crash.
  const std::wstring locked = temp.File(L"locked.ico", icon);
  UniqueFile hold(::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(hold);
  EXPECT_FALSE(dlg->SetChosenFile(locked, 0));
  Click(IDC_SCAN_SUBFOLDERS);
  ASSERT_TRUE(WaitIdle());
  for (const std::wstring& row : Rows(Hwnd())) EXPECT_EQ(row.find(L"locked"), std::wstring::npos);
  // A folder that vanished after it was chosen scans to nothing.
  dlg->Tree().SelectPath(temp.Path(L"brief"));
  test::RemoveTree(temp.Path(L"brief"));
  ASSERT_TRUE(WaitIdle());
  dlg->Tree().SelectPath(temp.Path(L"brief"));  // no longer exists: nothing happens
  EXPECT_EQ(dlg->CurrentFolder(), temp.Path(L"brief\\"));
}

TEST_F(ChooseIconTest, HostileFilesNeitherCrashNorHang) {
  const std::string library = test::ReadAll("C:\\windows\\system32\\comdlg32.dll");
  ASSERT_GT(library.size(), 4096u);
  std::string past = library;
  // Every section's raw data pointer moved past the end of the file.
  auto get = [&](size_t at, size_t n) {
    uint32_t v = 0;
    std::memcpy(&v, &past[at], n);
    return v;
  };
  const uint32_t pe = get(0x3C, 4);
  const uint32_t sections = get(pe + 6, 2), optional = get(pe + 20, 2);
  const uint32_t beyond = 0x7FFFFFF0u;
  for (uint32_t i = 0; i < sections; ++i) {
    const size_t at = pe + 24 + optional + i * 40u + 20;
    if (at + 4 <= past.size()) std::memcpy(&past[at], &beyond, 4);
  }
  std::string lies = icon;
  lies[4] = static_cast<char>(200);  // 200 images in a file that holds 2
  const struct {
    const wchar_t* name;
    std::string bytes;
  } files[] = {
      {L"cut-1k.dll", library.substr(0, 1024)},
      {L"cut-half.dll", library.substr(0, library.size() / 2)},
      {L"past-end.dll", past},
      {L"header-only.ico", std::string("\0\0\1\0\1\0", 6)},
      {L"lies.ico", lies},
      {L"huge-entry.ico",
       icon.substr(0, 6) + std::string("\x20\x20\0\0\1\0\x20\0\xff\xff\xff\x7f\x16\0\0\0", 16)},
      {L"mz-only.exe", "MZ"},
  };
  for (const auto& f : files) temp.File(std::wstring(L"hostile\\") + f.name, f.bytes);
  Open();
  dlg->Tree().SelectPath(temp.Path(L"hostile"));
  ASSERT_TRUE(WaitIdle());
  for (const auto& f : files) {
    const std::wstring path = temp.Path(std::wstring(L"hostile\\") + f.name);
    if (dlg->SetChosenFile(path, 0)) dlg->FillIconList();
    PumpMessages();
  }
  EXPECT_TRUE(::IsWindow(Hwnd()));
}

// Registered controls of the dialog, in a fixed order.
constexpr int kLaidOut[] = {IDC_FOLDER_TREE, IDC_SCAN_SUBFOLDERS, IDC_ICON_LIST, IDC_FILE_LIST, IDOK,
                            IDCANCEL};

TEST_F(ChooseIconTest, ControlsStayInsideWithoutOverlapAtAnySize) {
  Open();
  ASSERT_TRUE(WaitIdle());
  const SIZE sizes[] = {{10, 10}, {1200, 1000}, {700, 300}, {300, 900}};  // partly off screen: fine
  for (const SIZE& s : sizes) {
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    // Never smaller than the template.
    EXPECT_GE(client.right, dlg->Layout().InitialClientSize().cx);
    EXPECT_GE(client.bottom, dlg->Layout().InitialClientSize().cy);
    RECT rects[std::size(kLaidOut)];
    for (size_t i = 0; i < std::size(kLaidOut); ++i) {
      ::GetWindowRect(::GetDlgItem(Hwnd(), kLaidOut[i]), &rects[i]);
      ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rects[i]), 2);
      EXPECT_GE(rects[i].left, 0);
      EXPECT_GE(rects[i].top, 0);
      EXPECT_LE(rects[i].right, client.right) << kLaidOut[i];
      EXPECT_LE(rects[i].bottom, client.bottom) << kLaidOut[i];
      EXPECT_GT(rects[i].right, rects[i].left);
      EXPECT_GT(rects[i].bottom, rects[i].top);
    }
    for (size_t i = 0; i < std::size(kLaidOut); ++i) {
      for (size_t j = i + 1; j < std::size(kLaidOut); ++j) {
        RECT overlap{};
        EXPECT_FALSE(::IntersectRect(&overlap, &rects[i], &rects[j]))
            << kLaidOut[i] << " and " << kLaidOut[j] << " at " << s.cx << "x" << s.cy;
      }
    }
  }
}

TEST_F(ChooseIconTest, PlacementSurvivesARestart) {
  Open();
  ::SetWindowPos(Hwnd(), nullptr, kCorner.x + 20, kCorner.y + 10, 520, 460, SWP_NOZORDER);
  PumpMessages();
  RECT saved{};
  ::GetWindowRect(Hwnd(), &saved);
  dlg->DestroyWindow();
  Open();
  RECT now{};
  ::GetWindowRect(Hwnd(), &now);
  EXPECT_EQ(now.left, saved.left);
  EXPECT_EQ(now.top, saved.top);
  EXPECT_EQ(now.right, saved.right);
  EXPECT_EQ(now.bottom, saved.bottom);
  // Closed maximised, reopened maximised.
  ::ShowWindow(Hwnd(), SW_MAXIMIZE);
  PumpMessages();
  dlg->DestroyWindow();
  Open();
  EXPECT_TRUE(::IsZoomed(Hwnd()));
}

TEST_F(ChooseIconTest, ModalRunEndsWithoutBlocking) {
  // Placed by a saved placement, so it never opens in the top-left corner.
  for (const auto& [entry, value] : {std::pair<const char*, int>{"(check)", -32640},
                                     {"Left", kCorner.x},
                                     {"Top", kCorner.y},
                                     {"Right", kCorner.x + 440},
                                     {"Bottom", kCorner.y + 390},
                                     {"State", SW_SHOWNORMAL},
                                     {"(check)", 0x7F7F}})
    ASSERT_TRUE(Profile::WriteInt(CChooseIconDlg::kPlacementSection, entry, value));
  test::AutoAnswer answer(IDCANCEL);
  CChooseIconDlg modal(nullptr);
  EXPECT_EQ(modal.DoModal(), IDCANCEL);
  EXPECT_EQ(answer.LastCaption(), std::string("Choose Icon"));
  EXPECT_EQ(CChooseIconDlg::SharedScanState().running.load(), 0);
}

}  // namespace
}  // namespace glyph
