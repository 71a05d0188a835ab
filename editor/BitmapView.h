// CBitmapView: the magnified editing canvas. An owner-drawn push button
// (subclassed) that shows the image as a grid of cells, turns mouse input
// into image pixels for the tools (CCanvasTools), saves an undo state
// (UndoHistory) before every change, shows each tool's cursor, runs the
// screen capture and tells its parent when a colour has been picked.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/Dib.h"
#include "editor/CanvasTools.h"
#include "editor/Tool.h"
#include "editor/UndoHistory.h"
#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph {

// The pick notification: WM_COMMAND posted to the parent with this id as
// wParam and this value as lParam.
constexpr WPARAM kPickCommandId = 500;
constexpr LPARAM kPickNotifyParam = 6666;

// Timer that drives the screen capture while it is on.
constexpr UINT_PTR kCaptureTimerId = 10;
constexpr UINT kCaptureTimerMs = 10;

// Cursor slots of LoadToolCursors.
enum CursorSlot : int { kSlotPen, kSlotFill, kSlotLine, kSlotRect, kSlotEllipse, kSlotPick, kCursorSlots };

// Where the canvas keeps its undo states. Without one it keeps its own
// history of the image; an owner that keeps more than the image (every
// size of a document) gives its own, and then restores the image itself.
class CanvasHistory {
 public:
  virtual ~CanvasHistory() = default;
  // Saves the state before a change.
  virtual void Push() = 0;
  virtual bool Undo() = 0;
  virtual bool Redo() = 0;
  virtual int UndoCount() const = 0;
  virtual int RedoCount() const = 0;
};

class CBitmapView : public Window {
 public:
  static constexpr int kUndoLevels = UndoHistory::kLevels;

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

  // The tools and the brush (see CCanvasTools for each setting).
  void SetBrushColor(ColorValue color) { tools_.SetBrushColor(color); }
  ColorValue GetBrushColor() const { return tools_.GetBrushColor(); }
  void SetBrushSize(int size) { tools_.SetBrushSize(size); }
  int GetBrushSize() const { return tools_.GetBrushSize(); }
  void SetOpacity(int opacity) { tools_.SetOpacity(opacity); }
  int GetOpacity() const { return tools_.GetOpacity(); }
  void SetText(const std::wstring& text, const LOGFONTW& font) { tools_.SetText(text, font); }
  const std::wstring& GetText() const { return tools_.GetText(); }
  const LOGFONTW& GetTextFont() const { return tools_.GetTextFont(); }
  int GetTool() const { return tools_.GetTool(); }
  void SelectTool(int tool) { tools_.SelectTool(tool); }
  void SetTool(int tool) { tools_.SetTool(tool); }
  int GetPreviousTool() const { return tools_.GetPreviousTool(); }
  void SetPreviousTool(int tool) { tools_.SetPreviousTool(tool); }
  ColorValue GetTransparentColor() const { return tools_.GetTransparentColor(); }
  void SetTransparentColor(ColorValue color) { tools_.SetTransparentColor(color); }
  int GetCellWidth() const { return cellWidth_; }
  int GetCellHeight() const { return cellHeight_; }

  // Undo history: states are pushed before every change; a new change
  // forgets what could be redone.
  void PushUndo();
  void Undo();
  void Redo();
  // Called whenever the image changes through the canvas: with every undo
  // state pushed (each change pushes one first) and every undo taken back.
  void SetChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }
  int GetUndoCount() const { return external_ ? external_->UndoCount() + 1 : history_.GetCount(); }
  int GetRedoCount() const { return external_ ? external_->RedoCount() : history_.GetRedoCount(); }
  // Null: the canvas's own history.
  void SetHistory(CanvasHistory* history) { external_ = history; }
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
  bool HasImage() const { return image_ && !image_->IsEmpty(); }
  void ComputeCells();
  void ReleaseCaptureIfHeld();
  void NotifyPicked();
  void MoveImage(POINT client);

  std::vector<HWND> refreshList_;
  int imageWidth_ = 0;
  int imageHeight_ = 0;
  CDib* image_ = nullptr;
  CCanvasTools tools_;
  UndoHistory history_;
  CanvasHistory* external_ = nullptr;
  std::array<UniqueCursor, kCursorSlots> cursors_;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  bool dragging_ = false;

  POINT lastMovePixel_{-100, -100};
  // Ctrl-move gesture.
  POINT moveStart_{-1, -1};
  POINT moveOffset_{-30, -30};
  CDib moveImage_;

  ScopedTimer captureTimer_;
  std::function<void()> changed_;
};

}  // namespace glyph
