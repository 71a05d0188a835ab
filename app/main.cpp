// Glyphsmith: for now a plain window hosting the editing canvas on a 32 x 32
// image, so the pen can be tried by hand. The skinned main window replaces
// this shell.
#include <windows.h>

#include "core/Dib.h"
#include "editor/BitmapView.h"
#include "editor/EditorResources.h"
#include "framework/Window.h"

namespace glyph {
namespace {

constexpr char kTitle[] = "Glyphsmith";
constexpr char kClassName[] = "GlyphsmithMain";
constexpr int kCanvasId = 1000;
constexpr int kImageSide = 32;
constexpr int kCellSide = 12;
constexpr int kProgramIcon = 128;

class MainWindow : public Window {
 public:
  bool Open(int show) {
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgramIcon));
    if (!Window::RegisterClass(kClassName, 0, nullptr, ::GetSysColorBrush(COLOR_BTNFACE), icon)) return false;
    const int side = kImageSide * kCellSide;
    RECT frame{0, 0, side, side};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    const RECT at{100, 100, 100 + frame.right - frame.left, 100 + frame.bottom - frame.top};
    if (!Create(kClassName, kTitle, style, 0, at, nullptr, 0)) return false;
    HWND button =
        ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, side, side, GetHwnd(),
                          reinterpret_cast<HMENU>(kCanvasId), ::GetModuleHandleA(nullptr), nullptr);
    if (!button || !canvas_.Subclass(button)) return false;
    if (!image_.Create(kImageSide, kImageSide)) return false;
    const ColorValue transparent = canvas_.GetTransparentColor();
    image_.Fill(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent));
    canvas_.SetImage(&image_);
    canvas_.LoadToolCursors(IDC_CURSOR_PEN, IDC_CURSOR_FILL, IDC_CURSOR_LINE, IDC_CURSOR_RECT,
                            IDC_CURSOR_ELLIPSE, IDC_CURSOR_PICK);
    ::ShowWindow(GetHwnd(), show);
    ::UpdateWindow(GetHwnd());
    return true;
  }

 protected:
  void OnDestroy() override {
    canvas_.Unsubclass();
    ::PostQuitMessage(0);
  }

 private:
  CDib image_;
  CBitmapView canvas_;
};

}  // namespace
}  // namespace glyph

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  glyph::MainWindow window;
  if (!window.Open(show)) return 1;
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
