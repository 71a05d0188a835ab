// Glyphsmith: for now a plain window hosting the editing canvas on a 32 x 32
// image and the live preview, with a menu to try the tools by hand. The
// skinned main window replaces this shell.
#include <windows.h>

#include "core/Dib.h"
#include "editor/BitmapView.h"
#include "editor/EditorResources.h"
#include "editor/FileExportDialog.h"
#include "editor/PreviewIcon.h"
#include "editor/TextDialog.h"
#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph {
namespace {

constexpr char kClassName[] = "GlyphsmithMain";
constexpr int kCanvasId = 1000;
constexpr int kPreviewId = 1001;
constexpr int kImageSide = 32;
constexpr int kCellSide = 12;
constexpr int kPreviewSide = 64;
constexpr int kMargin = 8;
constexpr int kProgramIcon = 128;

// Menu commands: tools first, numbered like the tools.
constexpr UINT kCmdToolBase = 100;
constexpr UINT kCmdUndo = 200;
constexpr UINT kCmdClear = 201;
constexpr UINT kCmdBlurAll = 202;
constexpr UINT kCmdText = 203;
constexpr UINT kCmdSave = 204;
constexpr UINT kCmdExit = 205;

const char* const kToolNames[] = {
    "&Pen",        "&Line", "&Rectangle", "&Ellipse", "&Filled rectangle", "Filled e&llipse",
    "Flood &fill", "Pic&k", "&Text",      "&Blur"};

HMENU BuildMenu() {
  HMENU bar = ::CreateMenu();
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuA(file, MF_STRING, kCmdSave, "&Save icon...");
  ::AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(file, MF_STRING, kCmdExit, "E&xit");
  HMENU edit = ::CreatePopupMenu();
  ::AppendMenuA(edit, MF_STRING, kCmdUndo, "&Undo");
  ::AppendMenuA(edit, MF_STRING, kCmdClear, "&Clear");
  ::AppendMenuA(edit, MF_STRING, kCmdBlurAll, "&Blur all");
  ::AppendMenuA(edit, MF_STRING, kCmdText, "Enter &text...");
  HMENU tools = ::CreatePopupMenu();
  for (UINT i = 0; i < sizeof kToolNames / sizeof kToolNames[0]; ++i)
    ::AppendMenuA(tools, MF_STRING, kCmdToolBase + i, kToolNames[i]);
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
  ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(tools), "&Tools");
  return bar;
}

class MainWindow : public Window {
 public:
  bool Open(int show) {
    HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgramIcon));
    if (!Window::RegisterClass(kClassName, 0, nullptr, ::GetSysColorBrush(COLOR_BTNFACE), icon)) return false;
    const int side = kImageSide * kCellSide;
    RECT frame{0, 0, side + 2 * kMargin + kPreviewSide, side};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    ::AdjustWindowRectEx(&frame, style, TRUE, 0);
    const RECT at{100, 100, 100 + frame.right - frame.left, 100 + frame.bottom - frame.top};
    if (!Create(kClassName, kAppTitle, style, 0, at, nullptr, 0)) return false;
    ::SetMenu(GetHwnd(), BuildMenu());
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HWND button = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, side, side,
                                    GetHwnd(), reinterpret_cast<HMENU>(kCanvasId), instance, nullptr);
    HWND preview =
        ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, side + kMargin, kMargin, kPreviewSide,
                          kPreviewSide, GetHwnd(), reinterpret_cast<HMENU>(kPreviewId), instance, nullptr);
    if (!button || !preview || !canvas_.Subclass(button) || !preview_.Subclass(preview)) return false;
    if (!image_.Create(kImageSide, kImageSide)) return false;
    const ColorValue transparent = canvas_.GetTransparentColor();
    image_.Fill(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent));
    canvas_.SetImage(&image_);
    canvas_.LoadToolCursors(IDC_CURSOR_PEN, IDC_CURSOR_FILL, IDC_CURSOR_LINE, IDC_CURSOR_RECT,
                            IDC_CURSOR_ELLIPSE, IDC_CURSOR_PICK);
    preview_.SetSource(&image_);
    preview_.SetTransparentColor(PixelFromColor(transparent));
    const HWND refresh[] = {preview, nullptr};
    canvas_.SetRefreshList(refresh);
    ::ShowWindow(GetHwnd(), show);
    ::UpdateWindow(GetHwnd());
    return true;
  }

 protected:
  bool OnCommand(UINT id, UINT, HWND control) override {
    if (id == kPickCommandId && reinterpret_cast<LPARAM>(control) == kPickNotifyParam) {
      preview_.SetTransparentColor(PixelFromColor(canvas_.GetTransparentColor()));
      canvas_.Repaint();
      return true;
    }
    if (id >= kCmdToolBase && id <= kCmdToolBase + TOOL_BLUR) {
      canvas_.SelectTool(static_cast<int>(id - kCmdToolBase));
      return true;
    }
    switch (id) {
      case kCmdUndo:
        canvas_.Undo();
        return true;
      case kCmdClear:
        canvas_.ClearImage(canvas_.GetTransparentColor());
        return true;
      case kCmdBlurAll:
        canvas_.BlurImage();
        return true;
      case kCmdText:
        EditCanvasText(GetHwnd(), canvas_);
        return true;
      case kCmdSave:
        Save();
        return true;
      case kCmdExit:
        DestroyWindow();
        return true;
      default:
        return false;
    }
  }

  void OnDestroy() override {
    canvas_.Unsubclass();
    preview_.Unsubclass();
    ::PostQuitMessage(0);
  }

 private:
  void Save() {
    CFileExportDialog dialog(
        "Save icon", "True-color icon (*.ico)|16 colors icon (*.ico)|True-color bitmap (*.bmp)|", "new.ico");
    if (!dialog.DoModal(GetHwnd())) return;
    const std::string path = dialog.GetPathName();
    const bool saved = dialog.GetFormatIndex() == 2   ? preview_.Save16ColorIcon(path)
                       : dialog.GetFormatIndex() == 3 ? preview_.SaveBitmap(path)
                                                      : preview_.SaveTrueColorIcon(path);
    if (saved) ::SetWindowTextA(GetHwnd(), (std::string(kAppTitle) + " - " + dialog.GetFileName()).c_str());
  }

  CDib image_;
  CBitmapView canvas_;
  CPreviewIcon preview_;
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
