#include <gtest/gtest.h>

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <set>
#include <string>

#include "browser/ShellTree.h"
#include "tests/browser/TempTree.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

// A tree whose menu loop and message box are replaced.
class TestTree : public CShellTree {
 public:
  int menus = 0;
  int menuItems = 0;
  UINT answer = 0;
  std::string lastError;
  POINT cursor{};

 protected:
  UINT TrackMenu(HMENU menu, POINT, HWND) override {
    ++menus;
    menuItems = ::GetMenuItemCount(menu);
    return answer;
  }
  void ReportError(HWND, const std::string& text) override { lastError = text; }
  POINT CursorPos() const override { return cursor; }
};

// Hosts the tree the way the "Choose Icon" dialog does: notifications go to
// the tree, selection changes ask for the selected path.
class Host : public Window {
 public:
  TestTree tree;
  std::wstring lastPath;
  int selections = 0;

  bool Open() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    Window::RegisterClass("GlyphTreeHost", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (!Create("GlyphTreeHost", "tree", WS_POPUP | WS_VISIBLE, 0, RECT{680, 400, 1080, 1000}, nullptr, 0))
      return false;
    HWND hwnd = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "",
                                  WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                      TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS,
                                  0, 0, 400, 600, GetHwnd(), reinterpret_cast<HMENU>(1004), nullptr, nullptr);
    return hwnd && tree.Attach(hwnd);
  }

 protected:
  bool OnNotify(NMHDR* hdr, LRESULT* result) override {
    if (tree.HandleNotify(hdr, result)) return true;
    if (hdr->code == TVN_SELCHANGEDA || hdr->code == TVN_SELCHANGEDW) {
      ++selections;
      lastPath.clear();
      tree.GetSelectedPath(lastPath);
      *result = 0;
      return true;
    }
    return false;
  }
};

std::wstring Upper(std::wstring s) {
  ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

class ShellTreeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ::CoInitialize(nullptr); }
  static void TearDownTestSuite() { ::CoUninitialize(); }
  void SetUp() override {
    ASSERT_TRUE(host.Open());
    host.tree.SetSystemImageList();
    host.tree.FillRoot();
  }
  HWND Tree() { return host.tree.GetHwnd(); }
  std::set<std::wstring> ChildTexts(HTREEITEM item) {
    std::set<std::wstring> out;
    for (HTREEITEM c = TreeView_GetChild(Tree(), item); c; c = TreeView_GetNextSibling(Tree(), c))
      out.insert(host.tree.ItemText(c));
    return out;
  }

  test::TempTree temp;
  Host host;
};

TEST_F(ShellTreeTest, RootIsFilledWithImagesAndTheFirstItemIsExpanded) {
  const HTREEITEM first = TreeView_GetRoot(Tree());
  ASSERT_TRUE(first);
  EXPECT_GT(TreeView_GetCount(Tree()), 2u);
  EXPECT_TRUE(TreeView_GetItemState(Tree(), first, TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_TRUE(TreeView_GetChild(Tree(), first));
  EXPECT_EQ(TreeView_GetSelection(Tree()), first);
  EXPECT_TRUE(TreeView_GetImageList(Tree(), TVSIL_NORMAL));
}

TEST_F(ShellTreeTest, WalksToAPathCaseInsensitivelyAndShowsOnlyFolders) {
  temp.Dir(L"walk\\Alpha\\deeper");
  temp.Dir(L"walk\\beta");
  temp.File(L"walk\\file.txt", "x");
  temp.File(L"walk\\Alpha\\inner.dll", "x");
  const std::wstring target = temp.Path(L"walk");
  for (const std::wstring& spelling : {target, Upper(target) + L"\\"}) {
    host.tree.SelectPath(spelling);
    EXPECT_EQ(Upper(host.lastPath), Upper(target))
        << "walking to " << std::string(spelling.begin(), spelling.end());
  }
  const HTREEITEM walk = TreeView_GetSelection(Tree());
  // Selecting the folder added its children: folders only, the one with a
  // subfolder showing its expand button before it was ever expanded.
  EXPECT_EQ(ChildTexts(walk), (std::set<std::wstring>{L"Alpha", L"beta"}));
  // Wine reports SFGAO_HASSUBFOLDER for every folder, so only the folder
  // that really has one is checked.
  const HTREEITEM alphaItem = TreeView_GetChild(Tree(), walk);
  ASSERT_EQ(host.tree.ItemText(alphaItem), L"Alpha");
  TVITEMW tvi{};
  tvi.mask = TVIF_HANDLE | TVIF_CHILDREN | TVIF_STATE;
  tvi.stateMask = TVIS_EXPANDEDONCE;
  tvi.hItem = alphaItem;
  ASSERT_TRUE(::SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)));
  EXPECT_EQ(tvi.cChildren, 1);
  EXPECT_FALSE(tvi.state & TVIS_EXPANDEDONCE);
  // Expanding twice adds the children once.
  const HTREEITEM alpha = TreeView_GetChild(Tree(), walk);
  TreeView_Expand(Tree(), alpha, TVE_EXPAND);
  TreeView_Expand(Tree(), alpha, TVE_COLLAPSE);
  TreeView_Expand(Tree(), alpha, TVE_EXPAND);
  EXPECT_EQ(ChildTexts(alpha), (std::set<std::wstring>{L"deeper"}));
}

TEST_F(ShellTreeTest, MissingPathLeavesTheTreeAsItWas) {
  const HTREEITEM before = TreeView_GetSelection(Tree());
  const UINT count = TreeView_GetCount(Tree());
  const int selections = host.selections;
  host.tree.SelectPath(temp.Path(L"no such folder"));
  host.tree.SelectPath(L"");
  EXPECT_EQ(TreeView_GetSelection(Tree()), before);
  EXPECT_EQ(TreeView_GetCount(Tree()), count);
  EXPECT_EQ(host.selections, selections);
}

TEST_F(ShellTreeTest, WalkStopsAtTheLastComponentFound) {
  temp.Dir(L"stop\\here");
  // The parent exists in the tree, the component does not match any child
  // because it is a file: the walk stays on the parent.
  temp.File(L"stop\\here\\afile", "x");
  host.tree.SelectPath(temp.Path(L"stop\\here\\afile"));
  EXPECT_EQ(Upper(host.lastPath), Upper(temp.Path(L"stop\\here")));
}

TEST_F(ShellTreeTest, RightClickSelectsTheItemAndDismissedMenuRunsNothing) {
  temp.Dir(L"menu\\sub");
  host.tree.SelectPath(temp.Path(L"menu"));
  const HTREEITEM item = TreeView_GetSelection(Tree());
  // Select something else first, so the right click has to change it back.
  TreeView_SelectItem(Tree(), TreeView_GetRoot(Tree()));
  TreeView_EnsureVisible(Tree(), item);
  RECT r{};
  ASSERT_TRUE(TreeView_GetItemRect(Tree(), item, &r, TRUE));
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::ClientToScreen(Tree(), &p);
  host.tree.cursor = p;
  host.tree.answer = 0;
  host.tree.OnRightClick();
  EXPECT_EQ(TreeView_GetSelection(Tree()), item);
  EXPECT_EQ(host.tree.menus, 1);
  EXPECT_GT(host.tree.menuItems, 0);
  EXPECT_TRUE(host.tree.lastError.empty());
  EXPECT_TRUE(::GetFileAttributesW(temp.Path(L"menu\\sub").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

  // Empty space below the last item: the selection is cleared, no menu.
  for (HTREEITEM top = TreeView_GetRoot(Tree()); top; top = TreeView_GetNextSibling(Tree(), top))
    TreeView_Expand(Tree(), top, TVE_COLLAPSE);
  RECT client{};
  ::GetClientRect(Tree(), &client);
  POINT empty{client.right - 5, client.bottom - 5};
  ::ClientToScreen(Tree(), &empty);
  host.tree.cursor = empty;
  host.tree.OnRightClick();
  EXPECT_EQ(TreeView_GetSelection(Tree()), nullptr);
  EXPECT_EQ(host.tree.menus, 1);
}

}  // namespace
}  // namespace glyph
