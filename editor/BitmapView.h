// CBitmapView: the magnified editing canvas. An owner-drawn push button
// (subclassed) that shows the image as a grid of cells, turns mouse input
// into image pixels, runs the current tool, keeps the undo history and
// tells its parent when a colour has been picked.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "core/Dib.h"
#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph {

// Tool numbers, in the order of the main window's tool command names.
enum Tool : int {
  TOOL_PEN = 0,
  TOOL_LINE = 1,
  TOOL_RECT = 2,
  TOOL_ELLIPSE = 3,
  TOOL_FILL_RECT = 4,
  TOOL_FILL_ELLIPSE = 5,
  TOOL_FILL = 6,
  TOOL_PICK = 7,
  TOOL_TEXT = 8,
  TOOL_BLUR = 9,
};

// The pick notification: WM_COMMAND posted to the parent with this id as
// wParam and this value as lParam.
constexpr WPARAM kPickCommandId = 500;
constexpr LPARAM kPickNotifyParam = 6666;

// Timer that drives the screen capture while it is on.
constexpr UINT_PTR kCaptureTimerId = 10;
constexpr UINT kCaptureTimerMs = 10;

// Cursor slots of LoadToolCursors.
enum CursorSlot : int { kSlotPen, kSlotFill, kSlotLine, kSlotRect, kSlotEllipse, kSlotPick, kCursorSlots };

class CBitmapView : public Window {
 public:
  static constexpr int kUndoLevels = 100;

  CBitmapView();
  ~CBitmapView() override;

  // Attaches the image (not owned; null detaches) and sizes the cells to
  // the client area.
  void SetImage(CDib* image);
  CDib* GetImage() const { return image_; }
  // Windows repainted before the canvas paints itself (null-terminated).
  void SetRefreshList(const HWND* windows);
  // Loads six cursors from this program's resources, in slot order.
  void LoadToolCursors(int pen, int fill, int line, int rect, int ellipse, int pick);
  HCURSOR GetToolCursor(int slot) const {
    return slot >= 0 && slot < kCursorSlots ? cursors_[slot].Get() : nullptr;
  }

  void SetBrushColor(ColorValue color) { brushColor_ = color; }
  ColorValue GetBrushColor() const { return brushColor_; }
  void SetBrushSize(int size) { brushSize_ = size < 1 ? 1 : size; }
  int GetBrushSize() const { return brushSize_; }
  void SetOpacity(int opacity) { opacity_ = opacity < 0 ? 0 : (opacity > kOpaque ? kOpaque : opacity); }
  int GetOpacity() const { return opacity_; }
  void SetText(const std::string& text, const LOGFONTA& font);
  const std::string& GetText() const { return text_; }
  const LOGFONTA& GetTextFont() const { return textFont_; }

  int GetTool() const { return tool_; }
  // Chooses a tool as the tool buttons do: the tool in use before a pick
  // was chosen is the one a finished pick returns to.
  void SelectTool(int tool) {
    if (tool_ != TOOL_PICK) previousTool_ = tool_;
    tool_ = tool;
  }
  void SetTool(int tool) { tool_ = tool; }
  int GetPreviousTool() const { return previousTool_; }
  void SetPreviousTool(int tool) { previousTool_ = tool; }
  ColorValue GetTransparentColor() const { return transparentColor_; }
  void SetTransparentColor(ColorValue color) { transparentColor_ = color; }
  int GetCellWidth() const { return cellWidth_; }
  int GetCellHeight() const { return cellHeight_; }

  // Undo history: states are pushed before every change.
  void PushUndo();
  void Undo();
  int GetUndoCount() const { return undoCount_; }
  void BlurImage();
  void ClearImage(ColorValue color);

  // Screen capture: while on, every tick of the capture timer copies the
  // 32 x 32 screen square around the mouse pointer into the image.
  void ToggleScreenCapture();
  bool IsCapturing() const { return captureTimer_.Running(); }
  // One capture step around a screen point.
  void CaptureScreenAt(POINT screen);

  // Invalidates and paints now.
  void Repaint();

 protected:
  void PreSubclassWindow() override;
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }
  void OnSize(UINT, int, int) override;
  void OnMouseMove(UINT flags, POINT p) override;
  void OnLButtonDown(UINT flags, POINT p) override;
  void OnLButtonUp(UINT flags, POINT p) override;
  // The second press of a double-click is swallowed, so a double-click acts
  // as the single click its first press began: after a pick it would
  // otherwise paint with the restored tool in the picked colour.
  void OnLButtonDblClk(UINT, POINT) override {}
  void OnRButtonUp(UINT flags, POINT p) override;
  void OnCancelMode() override;
  BOOL OnSetCursor(HWND, UINT, UINT) override;
  void OnTimer(UINT_PTR id) override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  POINT ToImage(POINT client) const;
  bool InImage(POINT p) const;
  void ComputeCells();
  void ReleaseCaptureIfHeld();

  // Tools.
  void DrawDot(POINT p);
  void DrawShape(POINT from, POINT to);
  void DrawTextAt(POINT p);
  void BlurSquare(POINT p);
  void FloodFill(POINT p);
  void Pick(POINT p, bool transparent);
  void FinishPick();
  void MoveImage(POINT client);

  void SaveImageTo(std::vector<Pixel>& buffer) const;
  void LoadImageFrom(const std::vector<Pixel>& buffer);

  std::vector<HWND> refreshList_;
  int undoCount_ = 1;
  int previousTool_ = TOOL_PEN;
  UniqueDC paintContext_;
  int imageWidth_ = 0;
  int imageHeight_ = 0;
  CDib* image_ = nullptr;
  int tool_ = TOOL_PEN;
  std::array<UniqueCursor, kCursorSlots> cursors_;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  ColorValue brushColor_ = 0;
  ColorValue transparentColor_ = RGB(192, 192, 192);
  LOGFONTA textFont_{};
  std::string text_;
  int brushSize_ = 1;
  int opacity_ = kOpaque;
  // Buffer 0: the image at the last left-button press; 1..100: undo states.
  std::array<std::vector<Pixel>, kUndoLevels + 1> history_;
  bool dragging_ = false;
  POINT dragStart_{};

  POINT lastMovePixel_{-100, -100};
  // Ctrl-move gesture.
  POINT moveStart_{-1, -1};
  POINT moveOffset_{-30, -30};
  CDib moveImage_;

  ScopedTimer captureTimer_;
};

}  // namespace glyph
