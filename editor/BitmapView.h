// CBitmapView: the editing canvas. An owner-drawn push button (subclassed)
// that shows the image as square cells (CanvasGeometry) at a zoom, centred
// when it fits and scrolled when it does not, every pixel drawn by its
// alpha over a checkerboard or over the transparent colour (CanvasRaster).
// It turns mouse input into image pixels for the tools (CCanvasTools),
// saves an undo state (UndoHistory) before every change, shows each tool's
// cursor, runs the screen capture and tells its parent when a colour has
// been picked.
//
// The wheel scrolls (Shift+wheel across), Ctrl+wheel zooms about the
// pointer, a middle-button drag pans. Attaching an image, or an image of
// a new size, fits it again; so does resizing the canvas until the user
// zooms.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/Dib.h"
#include "editor/CanvasGeometry.h"
#include "editor/CanvasRaster.h"
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

  // Attaches the image (not owned; null detaches) and fits it to the
  // client area.
  void SetImage(CDib* image);
  CDib* GetImage() const { return image_; }
  // Windows repainted before the canvas paints itself (null-terminated).
  void SetRefreshList(const HWND* windows);
  // Loads six cursors from this program's resources, in slot order.
  void LoadToolCursors(int pen, int fill, int line, int rect, int ellipse, int pick);
  HCURSOR GetToolCursor(int slot) const;

  // The tools and the brush (see CCanvasTools for each setting).
  void SetBrushColor(ColorValue color) { tools_.SetBrushColor(color); }
  ColorValue GetBrushColor() const { return tools_.GetBrushColor(); }
  void SetBrushAlpha(int alpha) { tools_.SetBrushAlpha(alpha); }
  int GetBrushAlpha() const { return tools_.GetBrushAlpha(); }
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
  // Cells are square: both are the zoom (0 without an image or a window).
  int GetCellWidth() const { return GetZoom(); }
  int GetCellHeight() const { return GetZoom(); }

  // Zoom: screen pixels per image pixel. In and out step through the zoom
  // levels about the canvas's centre; to fit chooses the largest cell
  // size at which the whole image shows.
  int GetZoom() const { return HasImage() ? geometry_.zoom : 0; }
  void ZoomIn();
  void ZoomOut();
  void ZoomToFit();
  // How far the zoomed image is scrolled, in screen pixels (0 on an axis
  // where it fits).
  POINT GetScroll() const { return POINT{geometry_.scrollX, geometry_.scrollY}; }
  void ScrollBy(int dx, int dy);
  // The image pixel under a client point (outside the image for a point
  // beside it), and the client point at the centre of a pixel's cell.
  POINT PixelAt(POINT client) const;
  POINT CellCentre(POINT pixel) const;
  // Transparent parts over the transparent colour instead of the
  // checkerboard.
  void SetShowTransparentColor(bool show);
  bool GetShowTransparentColor() const { return showTransparentColor_; }

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
  // screen square of the image's size around the mouse pointer into the
  // image, opaque.
  void ToggleScreenCapture();
  bool IsCapturing() const { return captureTimer_.Running(); }
  // One capture step around a screen point (the square is clamped onto the
  // screen).
  void CaptureScreenAt(POINT screen);

  // Invalidates and paints now.
  void Repaint();

 protected:
  // The wheel and the middle button, which the framework does not dispatch.
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
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
  POINT ToImage(POINT client) const { return PixelAt(client); }
  bool HasImage() const { return image_ && !image_->IsEmpty(); }
  // Takes the image and client sizes, fits while fitting_, keeps the
  // scroll in range.
  void UpdateGeometry();
  // The image may be created again at another size while attached (the
  // document's size changing in place): it is then fitted again.
  void FollowImageSize();
  void OnWheel(UINT keys, int delta, POINT screen);
  void StartPan(POINT p);
  void EndPan();
  CanvasLook Look() const;
  void ReleaseCaptureIfHeld();
  void NotifyPicked();
  void MoveImage(POINT client);

  std::vector<HWND> refreshList_;
  CDib* image_ = nullptr;
  CCanvasTools tools_;
  UndoHistory history_;
  CanvasHistory* external_ = nullptr;
  // Made on first use (GetToolCursor) from these resource ids.
  mutable std::array<UniqueCursor, kCursorSlots> cursors_;
  mutable std::array<int, kCursorSlots> cursorIds_{};
  CanvasGeometry geometry_;
  // The zoom follows the canvas's size until the user chooses one.
  bool fitting_ = true;
  bool showTransparentColor_ = false;
  // Ctrl+wheel turns that have not yet made a whole zoom step.
  int wheelZoom_ = 0;
  bool dragging_ = false;
  // Middle-button pan: where it started and the scroll then.
  bool panning_ = false;
  POINT panStart_{};
  POINT panScroll_{};
  // The composed client area, kept between paints.
  std::vector<Pixel> frame_;

  POINT lastMovePixel_{-100, -100};
  // Ctrl-move gesture.
  POINT moveStart_{-1, -1};
  POINT moveOffset_{-30, -30};
  CDib moveImage_;

  ScopedTimer captureTimer_;
  std::function<void()> changed_;
};

}  // namespace glyph
