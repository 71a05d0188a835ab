#include "editor/BitmapView.h"

#include <algorithm>

namespace glyph {
namespace {

constexpr int kCaptureSide = 32;

HCURSOR LoadProgramCursor(int id) {
  return static_cast<HCURSOR>(
      ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR));
}

}  // namespace

CBitmapView::CBitmapView() = default;

CBitmapView::~CBitmapView() { captureTimer_.Stop(); }

void CBitmapView::PreSubclassWindow() { ComputeCells(); }

void CBitmapView::SetImage(CDib* image) {
  tools_.ResetText();
  cellWidth_ = cellHeight_ = 0;
  image_ = image;
  // The states held belonged to the old image.
  history_.Clear();
  if (!HasImage()) {
    imageWidth_ = imageHeight_ = 0;
    return;
  }
  imageWidth_ = static_cast<int>(image_->GetWidth());
  imageHeight_ = static_cast<int>(image_->GetHeight());
  ComputeCells();
}

void CBitmapView::ComputeCells() {
  if (!GetHwnd() || imageWidth_ <= 0 || imageHeight_ <= 0) return;
  RECT rc{};
  ::GetClientRect(GetHwnd(), &rc);
  // A client area smaller than the image would give cells of size 0 and a
  // division by zero when mapping the mouse: such cells are 1 pixel.
  cellWidth_ = std::max(1, static_cast<int>(rc.right / imageWidth_));
  cellHeight_ = std::max(1, static_cast<int>(rc.bottom / imageHeight_));
}

void CBitmapView::OnSize(UINT, int, int) {
  Default();
  ComputeCells();
}

void CBitmapView::SetRefreshList(const HWND* windows) {
  refreshList_.clear();
  for (; windows && *windows; ++windows) refreshList_.push_back(*windows);
}

void CBitmapView::LoadToolCursors(int pen, int fill, int line, int rect, int ellipse, int pick) {
  const int ids[kCursorSlots] = {pen, fill, line, rect, ellipse, pick};
  for (int i = 0; i < kCursorSlots; ++i) cursors_[i].Reset(LoadProgramCursor(ids[i]));
}

POINT CBitmapView::ToImage(POINT client) const {
  if (cellWidth_ <= 0 || cellHeight_ <= 0) return POINT{-1, -1};
  return POINT{client.x / cellWidth_, client.y / cellHeight_};
}

void CBitmapView::Repaint() {
  if (!GetHwnd()) return;
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
  ::UpdateWindow(GetHwnd());
}

bool CBitmapView::DrawItem(const DRAWITEMSTRUCT& item) {
  for (HWND w : refreshList_) {
    ::InvalidateRect(w, nullptr, FALSE);
    ::UpdateWindow(w);
  }
  const RECT& r = item.rcItem;
  CPaintBuffer buffer(item.hDC, r);
  HDC dc = buffer.Get();
  ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));

  const int left = r.left, top = r.top;
  const int right = left + imageWidth_ * cellWidth_;
  const int bottom = top + imageHeight_ * cellHeight_;
  if (cellWidth_ > 0 && cellHeight_ > 0) {
    UniquePen pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    ScopedSelect selectPen(dc, pen.Get());
    for (int x = left + cellWidth_; x <= right - cellWidth_; x += cellWidth_) {
      ::MoveToEx(dc, x, top + 1, nullptr);
      ::LineTo(dc, x, bottom - 1);
    }
    for (int y = top + cellHeight_; y <= bottom - cellHeight_; y += cellHeight_) {
      ::MoveToEx(dc, left + 1, y, nullptr);
      ::LineTo(dc, right - 1, y);
    }
  }

  if (HasImage()) {
    // The pixels are read from memory: the same values GetPixel would give
    // through a DC, without a round trip per cell.
    const PixelView view = image_->View();
    ScopedSelect brush(dc, ::GetStockObject(DC_BRUSH));
    for (int y = 0; y < imageHeight_; ++y) {
      for (int x = 0; x < imageWidth_; ++x) {
        ::SetDCBrushColor(dc, ColorFromPixel(view.At(x, y)) & 0xFFFFFF);
        const RECT cell{left + x * cellWidth_ + 1, top + y * cellHeight_ + 1, left + (x + 1) * cellWidth_ - 1,
                        top + (y + 1) * cellHeight_ - 1};
        ::FillRect(dc, &cell, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
      }
    }
  }
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
  if (slot < 0 || !cursors_[slot]) return static_cast<BOOL>(Default());
  ::SetCursor(cursors_[slot].Get());
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
}

void CBitmapView::NotifyPicked() {
  if (HWND parent = ::GetParent(GetHwnd()))
    ::PostMessageA(parent, WM_COMMAND, kPickCommandId, kPickNotifyParam);
}

void CBitmapView::MoveImage(POINT p) {
  if (!HasImage() || cellWidth_ <= 0 || cellHeight_ <= 0) return;
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
  const POINT offset{(p.x - moveStart_.x) / cellWidth_, (p.y - moveStart_.y) / cellHeight_};
  if (offset.x == moveOffset_.x && offset.y == moveOffset_.y) return;
  if (moveImage_.IsEmpty()) return;
  const ColorValue transparent = tools_.GetTransparentColor();
  image_->Fill(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent));
  HDC target = image_->LockDC();
  HDC source = moveImage_.LockDC();
  ::BitBlt(target, offset.x, offset.y, imageWidth_, imageHeight_, source, 0, 0, SRCCOPY);
  moveImage_.UnlockDC();
  image_->UnlockDC();
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
  const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
  const int x =
      std::max(0, std::min(static_cast<int>(screen.x) - kCaptureSide / 2, screenWidth - kCaptureSide));
  const int y =
      std::max(0, std::min(static_cast<int>(screen.y) - kCaptureSide / 2, screenHeight - kCaptureSide));
  {
    WindowDC screenDc(nullptr);
    HDC target = image_->LockDC();
    ::BitBlt(target, 0, 0, kCaptureSide, kCaptureSide, screenDc.Get(), x, y, SRCCOPY);
    image_->UnlockDC();
  }
  Repaint();
}

}  // namespace glyph
