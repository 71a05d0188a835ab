#include "SkinTestUtil.h"

#include <cstdio>

#include "tests/common/GuiTest.h"

namespace glyph::skin::test {

UniqueBitmap SolidBitmap(int w, int h, COLORREF c) {
  WindowDC screen(nullptr);
  UniqueBitmap bmp(::CreateCompatibleBitmap(screen.Get(), w, h));
  UniqueDC mem(::CreateCompatibleDC(screen.Get()));
  {
    ScopedSelect sel(mem.Get(), bmp.Get());
    UniqueBrush brush(::CreateSolidBrush(c));
    RECT rc{0, 0, w, h};
    ::FillRect(mem.Get(), &rc, brush.Get());
  }
  return bmp;
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
  UniqueDC mem(::CreateCompatibleDC(nullptr));
  ScopedSelect sel(mem.Get(), bitmap);
  return ::GetPixel(mem.Get(), x, y);
}

COLORREF ScreenPixel(HWND hwnd, int x, int y) {
  const glyph::test::ClientPixels px = glyph::test::CaptureClient(hwnd);
  const DWORD p = px.At(x, y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

std::string ReadFileBytes(const std::string& path) {
  DiskSkinArchive disk;
  return disk.ReadFile(path).value_or(std::string());
}

void Activate(HWND hwnd) {
  ::SetForegroundWindow(hwnd);
  ::SetActiveWindow(hwnd);
}

TestParent::TestParent(const RECT& screenRect, HBRUSH background) {
  const char* cls = background ? "GlyphSkinTestParentBrush" : "GlyphSkinTestParent";
  Window::RegisterClass(cls, 0, nullptr, background);
  RECT r = screenRect;
  ::OffsetRect(&r, kScreenLeft, 0);
  Create(cls, "skin test", WS_POPUP | WS_VISIBLE, 0, r, nullptr, 0);
  Activate(GetHwnd());
  glyph::test::PumpFor(20);
}

TestParent::~TestParent() { DestroyWindow(); }

}  // namespace glyph::skin::test
