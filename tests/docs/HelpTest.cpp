// The compiled help opens in the platform's help viewer with its title and
// contents. (Wine cannot render the topic pages themselves.)
#include <gtest/gtest.h>

#include <string>

#include "framework/Handles.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kDisplayToc = 0x0001;  // HH_DISPLAY_TOC
constexpr UINT kCloseAll = 0x0012;    // HH_CLOSE_ALL

BOOL CALLBACK FindTree(HWND child, LPARAM found) {
  char cls[64] = {};
  ::GetClassNameA(child, cls, sizeof cls);
  if (std::string(cls) != "SysTreeView32") return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

TEST(Help, OpensWithItsTitleAndContents) {
  UniqueModule hhctrl(::LoadLibraryA("hhctrl.ocx"));
  ASSERT_TRUE(hhctrl);
  auto htmlHelp = GetProc<HtmlHelpFn>(hhctrl.Get(), "HtmlHelpA");
  ASSERT_NE(htmlHelp, nullptr);
  const std::string file = WindowsPath(GLYPH_HELP_FILE);
  ASSERT_NE(::GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES) << file;

  HWND help = htmlHelp(nullptr, file.c_str(), kDisplayToc, 0);
  ASSERT_NE(help, nullptr);
  test::PumpFor(200);
  char title[128] = {};
  ::GetWindowTextA(help, title, sizeof title);
  EXPECT_STREQ(title, "Glyphsmith Help");
  // The contents tree holds the pages.
  HWND tree = nullptr;
  ::EnumChildWindows(help, &FindTree, reinterpret_cast<LPARAM>(&tree));
  ASSERT_NE(tree, nullptr);
  EXPECT_GE(::SendMessageA(tree, 0x1105 /* TVM_GETCOUNT */, 0, 0), 1);
  htmlHelp(nullptr, nullptr, kCloseAll, 0);
  test::PumpFor(100);
}

}  // namespace
}  // namespace glyph
