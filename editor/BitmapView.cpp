#include "editor/BitmapView.h"

#include <windowsx.h>

#include <algorithm>

namespace glyph {
namespace {

// Screen pixels scrolled by one notch of the wheel (WHEEL_DELTA).
constexpr int kWheelScrollPixels = 48;
constexpr Pixel kOpaqueAlpha = 0xFF000000;

HCURSOR LoadProgramCursor(int id) {
  return static_cast<HCURSOR>(
      ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR));
}

}  // namespace

CBitmapView::CBitmapView() = default;

CBitmapView::~CBitmapView() { captureTimer_.Stop(); }

void CBitmapView::PreSubclassWindow() { UpdateGeometry(); }

void CBitmapView::SetImage(CDib* image) {
  tools_.ResetText();
  image_ = image;
  // The states held belonged to the old image.
  history_.Clear();
  // A new image, perhaps of another size, is shown whole.
  fitting_ = true;
  geometry_.scrollX = geometry_.scrollY = 0;
  UpdateGeometry();
}

void CBitmapView::UpdateGeometry() {
  RECT rc{};
  if (GetHwnd()) ::GetClientRect(GetHwnd(), &rc);
  geometry_.clientWidth = rc.right;
  geometry_.clientHeight = rc.bottom;
  geometry_.imageWidth = HasImage() ? static_cast<int>(image_->GetWidth()) : 0;
  geometry_.imageHeight = HasImage() ? static_cast<int>(image_->GetHeight()) : 0;
  const int fit = FitZoom(geometry_.imageWidth, geometry_.imageHeight, rc.right, rc.bottom);
  // A client area too small for the image still gets 1-pixel cells, so the
  // mouse maps (FitZoom gives 0 only without an image or a window).
  if (fitting_ || geometry_.zoom <= 0 || fit == 0) geometry_.zoom = fit;
  geometry_.ClampScroll();
}

void CBitmapView::FollowImageSize() {
  const int width = HasImage() ? static_cast<int>(image_->GetWidth()) : 0;
  const int height = HasImage() ? static_cast<int>(image_->GetHeight()) : 0;
  if (width == geometry_.imageWidth && height == geometry_.imageHeight) return;
  fitting_ = true;
  geometry_.scrollX = geometry_.scrollY = 0;
  UpdateGeometry();
}

void CBitmapView::OnSize(UINT, int, int) {
  Default();
  UpdateGeometry();
}

void CBitmapView::ZoomIn() {
  FollowImageSize();
  if (GetZoom() <= 0) return;
  fitting_ = false;
  geometry_.ZoomAbout(ZoomLevelAbove(geometry_.zoom),
                      GridPoint{geometry_.clientWidth / 2, geometry_.clientHeight / 2});
  Repaint();
}

void CBitmapView::ZoomOut() {
  FollowImageSize();
  if (GetZoom() <= 0) return;
  fitting_ = false;
  geometry_.ZoomAbout(ZoomLevelBelow(geometry_.zoom),
                      GridPoint{geometry_.clientWidth / 2, geometry_.clientHeight / 2});
  Repaint();
}

void CBitmapView::ZoomToFit() {
  fitting_ = true;
  geometry_.scrollX = geometry_.scrollY = 0;
  UpdateGeometry();
  Repaint();
}

void CBitmapView::ScrollBy(int dx, int dy) {
  FollowImageSize();
  const POINT before = GetScroll();
  geometry_.ScrollBy(dx, dy);
  if (before.x != geometry_.scrollX || before.y != geometry_.scrollY) Repaint();
}

POINT CBitmapView::PixelAt(POINT client) const {
  const GridPoint p = geometry_.PixelAt(GridPoint{client.x, client.y});
  return POINT{p.x, p.y};
}

POINT CBitmapView::CellCentre(POINT pixel) const {
  const GridPoint p = geometry_.CellCentre(GridPoint{pixel.x, pixel.y});
  return POINT{p.x, p.y};
}

void CBitmapView::SetShowTransparentColor(bool show) {
  if (show == showTransparentColor_) return;
  showTransparentColor_ = show;
  Repaint();
}

LRESULT CBitmapView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  FollowImageSize();
  switch (msg) {
    case WM_MOUSEWHEEL:
      OnWheel(GET_KEYSTATE_WPARAM(wp), GET_WHEEL_DELTA_WPARAM(wp), POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    case WM_MOUSEHWHEEL:
      // A tilt to the right moves the view right.
      ScrollBy(GET_WHEEL_DELTA_WPARAM(wp) * kWheelScrollPixels / WHEEL_DELTA, 0);
      return 0;
    case WM_MBUTTONDOWN:
      StartPan(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      return 0;
    case WM_MBUTTONUP:
      EndPan();
      return 0;
    default:
      return Window::WindowProc(msg, wp, lp);
  }
}

// The wheel's point is on the screen; a turn up (positive) moves the view
// up, towards the image's top or left.
void CBitmapView::OnWheel(UINT keys, int delta, POINT screen) {
  if (GetZoom() <= 0) return;
  if (keys & MK_CONTROL) {
    POINT anchor = screen;
    ::ScreenToClient(GetHwnd(), &anchor);
    // Fine-grained wheels send parts of a notch: they add up to steps.
    wheelZoom_ += delta;
    int zoom = geometry_.zoom;
    for (; wheelZoom_ >= WHEEL_DELTA; wheelZoom_ -= WHEEL_DELTA) zoom = ZoomLevelAbove(zoom);
    for (; wheelZoom_ <= -WHEEL_DELTA; wheelZoom_ += WHEEL_DELTA) zoom = ZoomLevelBelow(zoom);
    if (zoom == geometry_.zoom) return;
    fitting_ = false;
    geometry_.ZoomAbout(zoom, GridPoint{anchor.x, anchor.y});
    Repaint();
    return;
  }
  const int step = -delta * kWheelScrollPixels / WHEEL_DELTA;
  if (keys & MK_SHIFT) {
    ScrollBy(step, 0);
  } else {
    ScrollBy(0, step);
  }
}

void CBitmapView::StartPan(POINT p) {
  // The left button's gesture owns the mouse until it ends.
  if (dragging_ || GetZoom() <= 0) return;
  panning_ = true;
  panStart_ = p;
  panScroll_ = GetScroll();
  ::SetCapture(GetHwnd());
}

void CBitmapView::EndPan() {
  if (!panning_) return;
  panning_ = false;
  ReleaseCaptureIfHeld();
}

void CBitmapView::SetRefreshList(const HWND* windows) {
  refreshList_.clear();
  for (; windows && *windows; ++windows) refreshList_.push_back(*windows);
}

void CBitmapView::LoadToolCursors(int pen, int fill, int line, int rect, int ellipse, int pick) {
  // Each cursor is made when it is first asked for: making one costs Wine
  // a dozen round trips to its server, too many for the window's start.
  cursorIds_ = {pen, fill, line, rect, ellipse, pick};
  for (UniqueCursor& cursor : cursors_) cursor.Reset();
}

HCURSOR CBitmapView::GetToolCursor(int slot) const {
  if (slot < 0 || slot >= kCursorSlots) return nullptr;
  if (!cursors_[slot] && cursorIds_[slot]) {
    cursors_[slot].Reset(LoadProgramCursor(cursorIds_[slot]));
    cursorIds_[slot] = 0;  // one try
  }
  return cursors_[slot].Get();
}

void CBitmapView::Repaint() {
  if (!GetHwnd()) return;
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
  ::UpdateWindow(GetHwnd());
}

CanvasLook CBitmapView::Look() const {
  CanvasLook look;
  look.ground = PixelFromColor(::GetSysColor(COLOR_BTNFACE));
  look.grid = PixelFromColor(::GetSysColor(COLOR_BTNSHADOW));
  look.indicator = PixelFromColor(::GetSysColor(COLOR_3DDKSHADOW));
  look.checkerLight = kCheckerLight;
  look.checkerDark = kCheckerDark;
  look.plainBacking = showTransparentColor_;
  look.backing = PixelFromColor(tools_.GetTransparentColor());
  return look;
}

// The whole client area is composed in memory and copied to the screen in
// one call: no drawing per cell, and nothing half drawn ever shows.
bool CBitmapView::DrawItem(const DRAWITEMSTRUCT& item) {
  FollowImageSize();
  for (HWND w : refreshList_) {
    ::InvalidateRect(w, nullptr, FALSE);
    ::UpdateWindow(w);
  }
  const RECT& r = item.rcItem;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return true;
  frame_.resize(static_cast<size_t>(width) * height);
  const PixelView out{frame_.data(), width, height, width};
  // The tools draw through GDI, which may batch: the pixels must be there.
  ::GdiFlush();
  RenderCanvas(HasImage() ? image_->View() : PixelView{}, geometry_, Look(), out);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  ::SetDIBitsToDevice(item.hDC, r.left, r.top, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), frame_.data(), &info, DIB_RGB_COLORS);
  return true;
}

BOOL CBitmapView::OnSetCursor(HWND, UINT, UINT) {
  int slot = -1;
  switch (tools_.GetTool()) {
    case TOOL_PEN:
      slot = kSlotPen;
      break;
    case TOOL_LINE:
      slot = kSlotLine;
      break;
    case TOOL_RECT:
    case TOOL_FILL_RECT:
      slot = kSlotRect;
      break;
    case TOOL_ELLIPSE:
    case TOOL_FILL_ELLIPSE:
      slot = kSlotEllipse;
      break;
    case TOOL_FILL:
      slot = kSlotFill;
      break;
    case TOOL_PICK:
      slot = kSlotPick;
      break;
    default:
      break;
  }
  HCURSOR cursor = GetToolCursor(slot);
  if (!cursor) return static_cast<BOOL>(Default());
  ::SetCursor(cursor);
  return TRUE;
}

void CBitmapView::PushUndo() {
  if (!HasImage()) return;
  if (external_) {
    external_->Push();
  } else {
    history_.Push(image_->View());
  }
  if (changed_) changed_();
}

void CBitmapView::Undo() {
  if (!HasImage() || !(external_ ? external_->Undo() : history_.Undo(image_->View()))) return;
  Repaint();
  if (changed_) changed_();
}

void CBitmapView::Redo() {
  if (!HasImage() || !(external_ ? external_->Redo() : history_.Redo(image_->View()))) return;
  Repaint();
  if (changed_) changed_();
}

void CBitmapView::BlurImage() {
  if (!HasImage()) return;
  PushUndo();
  image_->BlurAll(tools_.GetTransparentColor());
  Repaint();
}

void CBitmapView::ClearImage(ColorValue color) {
  if (!HasImage()) return;
  PushUndo();
  image_->Fill(GetRValue(color), GetGValue(color), GetBValue(color));
  Repaint();
}

void CBitmapView::ReleaseCaptureIfHeld() {
  if (GetHwnd() && ::GetCapture() == GetHwnd()) ::ReleaseCapture();
}

void CBitmapView::OnLButtonDown(UINT, POINT p) {
  if (!HasImage()) return;
  const POINT at = ToImage(p);
  if (tools_.ChangesImage()) PushUndo();
  dragging_ = true;
  // A new gesture: the first move into any cell counts, even the cell the
  // last gesture ended in.
  lastMovePixel_ = POINT{-100, -100};
  if (tools_.Press(*image_, at)) Repaint();
  ::SetCapture(GetHwnd());
}

void CBitmapView::OnMouseMove(UINT flags, POINT p) {
  // A release the canvas did not see (the capture went elsewhere) ends
  // the pan too.
  if (panning_ && !(flags & MK_MBUTTON)) EndPan();
  if (panning_) {
    // The image follows the pointer.
    geometry_.scrollX = panScroll_.x - (p.x - panStart_.x);
    geometry_.scrollY = panScroll_.y - (p.y - panStart_.y);
    geometry_.ClampScroll();
    Repaint();
    return;
  }
  if (flags & MK_CONTROL) {
    MoveImage(p);
    return;
  }
  moveStart_ = POINT{-1, -1};
  if (!(flags & MK_LBUTTON) || !dragging_ || !HasImage()) return;
  const POINT at = ToImage(p);
  if (at.x == lastMovePixel_.x && at.y == lastMovePixel_.y) return;
  lastMovePixel_ = at;
  if (tools_.Drag(*image_, at)) Repaint();
}

void CBitmapView::OnLButtonUp(UINT, POINT p) {
  ReleaseCaptureIfHeld();
  const bool gesture = dragging_;
  dragging_ = false;
  if (!HasImage()) return;
  if (gesture && tools_.Release(*image_, ToImage(p))) NotifyPicked();
  Repaint();
}

void CBitmapView::OnRButtonUp(UINT, POINT p) {
  ReleaseCaptureIfHeld();
  if (!HasImage()) return;
  if (tools_.ReleaseRight(*image_, ToImage(p))) NotifyPicked();
  dragging_ = false;
  Repaint();
}

void CBitmapView::OnCancelMode() {
  ReleaseCaptureIfHeld();
  dragging_ = false;
  panning_ = false;
}

void CBitmapView::NotifyPicked() {
  if (HWND parent = ::GetParent(GetHwnd()))
    ::PostMessageA(parent, WM_COMMAND, kPickCommandId, kPickNotifyParam);
}

void CBitmapView::MoveImage(POINT p) {
  const int zoom = GetZoom();
  if (zoom <= 0) return;
  if (moveStart_.x == -1 && moveStart_.y == -1) {
    PushUndo();
    moveStart_ = p;
    // The image as it is now is offset (0, 0): a move back to the start
    // cell must not redraw, and any other offset must apply, whatever the
    // previous gesture ended with.
    moveOffset_ = POINT{0, 0};
    image_->CopyTo(moveImage_);
    return;
  }
  const POINT offset{(p.x - moveStart_.x) / zoom, (p.y - moveStart_.y) / zoom};
  if (offset.x == moveOffset_.x && offset.y == moveOffset_.y) return;
  if (moveImage_.IsEmpty()) return;
  // Pixel memory is moved, not blitted: a blit need not carry byte 3, and
  // the alpha must move with the colour. What the move uncovers is the
  // transparent colour, fully transparent.
  const PixelView to = image_->View();
  const PixelView from = moveImage_.View();
  std::fill_n(to.bits, to.Count(), PixelFromColor(tools_.GetTransparentColor()) & ~kOpaqueAlpha);
  const int dx = static_cast<int>(offset.x), dy = static_cast<int>(offset.y);
  const int left = std::max(0, dx), right = std::min(to.width, to.width + dx);
  for (int y = std::max(0, dy); y < std::min(to.height, to.height + dy) && left < right; ++y)
    std::copy_n(&from.At(left - dx, y - dy), right - left, &to.At(left, y));
  Repaint();
  moveOffset_ = offset;
}

void CBitmapView::ToggleScreenCapture() {
  if (captureTimer_.Running()) {
    captureTimer_.Stop();
    return;
  }
  if (!HasImage() || !GetHwnd()) return;
  PushUndo();
  captureTimer_.Start(GetHwnd(), kCaptureTimerId, kCaptureTimerMs);
}

void CBitmapView::OnTimer(UINT_PTR id) {
  if (id != kCaptureTimerId) {
    Default();
    return;
  }
  POINT cursor{};
  if (::GetCursorPos(&cursor)) CaptureScreenAt(cursor);
}

void CBitmapView::CaptureScreenAt(POINT screen) {
  if (!HasImage()) return;
  const PixelView view = image_->View();
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  const int x = std::max(0, std::min(static_cast<int>(screen.x) - view.width / 2, screenWidth - view.width));
  const int y =
      std::max(0, std::min(static_cast<int>(screen.y) - view.height / 2, screenHeight - view.height));
  {
    WindowDC screenDc(nullptr);
    HDC target = image_->LockDC();
    ::BitBlt(target, 0, 0, view.width, view.height, screenDc.Get(), x, y, SRCCOPY);
    image_->UnlockDC();
  }
  // The screen is opaque; the blit leaves byte 3 at 0.
  ::GdiFlush();
  for (int row = 0; row < view.height; ++row) {
    Pixel* p = &view.At(0, row);
    for (int col = 0; col < view.width; ++col) p[col] |= kOpaqueAlpha;
  }
  Repaint();
}

}  // namespace glyph
