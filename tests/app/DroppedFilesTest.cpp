// Files dropped on a window, from a drop built as the shell builds one and
// posted as the shell posts it.
#include "app/DroppedFiles.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace glyph {
namespace {

// A DROPFILES block of wide paths, each ended by NUL, the list by one more.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& path : paths) list += path + L'\0';
  list += L'\0';
  const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  GlobalBytes target(memory);
  auto* drop = reinterpret_cast<DROPFILES*>(target.Data());
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(target.Data() + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
  return memory;
}

TEST(DroppedFilesTest, EveryPathComesBackWholeAndInOrder) {
  HWND window =
      ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const std::wstring deep = L"C:\\" + std::wstring(200, L'd') + L"\\" + std::wstring(200, L'e') + L"\\x.ico";
  const std::vector<std::vector<std::wstring>> drops = {
      {L"C:\\icons\\a.ico"},
      {L"C:\\\x0438\x043A\x043E\x043D\x043A\x0430.png", deep, L"Z:\\tmp\\\x56FE\x6807.bmp"},
      {},
  };
  for (const auto& paths : drops) {
    // Posted as the shell posts it; the window's procedure is not involved.
    ASSERT_TRUE(::PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0));
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, window, WM_DROPFILES, WM_DROPFILES, PM_REMOVE));
    EXPECT_EQ(TakeDroppedFiles(reinterpret_cast<HDROP>(msg.wParam)), paths);
  }
  EXPECT_TRUE(TakeDroppedFiles(nullptr).empty());
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace glyph
