#include "editor/BitmapView.h"

#include <algorithm>
#include <cstring>

namespace glyph {
namespace {

constexpr int kCaptureSide = 32;

HCURSOR LoadProgramCursor(int id) {
  return static_cast<HCURSOR>(
      ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR));
}

LOGFONTA DefaultGuiFont() {
  LOGFONTA font{};
  ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
}

}  // namespace

CBitmapView::CBitmapView() : paintContext_(::CreateCompatibleDC(nullptr)), textFont_(DefaultGuiFont()) {}

CBitmapView::~CBitmapView() { captureTimer_.Stop(); }

void CBitmapView::PreSubclassWindow() { ComputeCells(); }

void CBitmapView::SetImage(CDib* image) {
  textFont_ = DefaultGuiFont();
  text_.clear();
  cellWidth_ = cellHeight_ = 0;
  image_ = image;
  if (!image_ || image_->IsEmpty()) {
    imageWidth_ = imageHeight_ = 0;
    for (auto& buffer : history_) buffer.clear();
    return;
  }
  imageWidth_ = static_cast<int>(image_->GetWidth());
  imageHeight_ = static_cast<int>(image_->GetHeight());
  const size_t pixels = static_cast<size_t>(image_->View().Count());
  for (auto& buffer : history_) buffer.assign(pixels, 0);
  // The states held belonged to the old buffers: an undo must not bring
  // back the blank ones.
  undoCount_ = 1;
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

void CBitmapView::SetText(const std::string& text, const LOGFONTA& font) {
  text_ = text;
  textFont_ = font;
}

POINT CBitmapView::ToImage(POINT client) const {
  if (cellWidth_ <= 0 || cellHeight_ <= 0) return POINT{-1, -1};
  return POINT{client.x / cellWidth_, client.y / cellHeight_};
}

bool CBitmapView::InImage(POINT p) const {
  return p.x >= 0 && p.y >= 0 && p.x < imageWidth_ && p.y < imageHeight_;
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

  if (image_ && !image_->IsEmpty()) {
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
  switch (tool_) {
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

void CBitmapView::SaveImageTo(std::vector<Pixel>& buffer) const {
  const PixelView view = image_->View();
  const size_t count = std::min(buffer.size(), static_cast<size_t>(view.Count()));
  std::memcpy(buffer.data(), view.bits, count * sizeof(Pixel));
}

void CBitmapView::LoadImageFrom(const std::vector<Pixel>& buffer) {
  const PixelView view = image_->View();
  const size_t count = std::min(buffer.size(), static_cast<size_t>(view.Count()));
  std::memcpy(view.bits, buffer.data(), count * sizeof(Pixel));
}

void CBitmapView::PushUndo() {
  if (!image_ || image_->IsEmpty() || history_[1].empty()) return;
  if (undoCount_ > kUndoLevels) {
    // Drop the oldest state; the buffers rotate so nothing is reallocated.
    std::rotate(history_.begin() + 1, history_.begin() + 2, history_.end());
    undoCount_ = kUndoLevels;
  }
  SaveImageTo(history_[undoCount_]);
  ++undoCount_;
}

void CBitmapView::Undo() {
  if (undoCount_ < 2 || !image_ || image_->IsEmpty()) return;
  --undoCount_;
  LoadImageFrom(history_[undoCount_]);
  Repaint();
}

void CBitmapView::BlurImage() {
  if (!image_ || image_->IsEmpty()) return;
  PushUndo();
  image_->BlurAll(transparentColor_);
  Repaint();
}

void CBitmapView::ClearImage(ColorValue color) {
  if (!image_ || image_->IsEmpty()) return;
  PushUndo();
  image_->Fill(GetRValue(color), GetGValue(color), GetBValue(color));
  Repaint();
}

void CBitmapView::ReleaseCaptureIfHeld() {
  if (GetHwnd() && ::GetCapture() == GetHwnd()) ::ReleaseCapture();
}

void CBitmapView::OnLButtonDown(UINT, POINT p) {
  if (!image_ || image_->IsEmpty()) return;
  SaveImageTo(history_[0]);
  const POINT at = ToImage(p);
  if (tool_ != TOOL_PICK) PushUndo();
  dragging_ = true;
  dragStart_ = at;
  if (tool_ == TOOL_PEN) {
    DrawDot(at);
    Repaint();
  } else if (tool_ == TOOL_TEXT) {
    DrawTextAt(at);
    Repaint();
  }
  ::SetCapture(GetHwnd());
}

void CBitmapView::OnMouseMove(UINT flags, POINT p) {
  if (flags & MK_CONTROL) {
    MoveImage(p);
    return;
  }
  moveStart_ = POINT{-1, -1};
  if (!(flags & MK_LBUTTON) || !dragging_ || !image_ || image_->IsEmpty()) return;
  const POINT at = ToImage(p);
  if (at.x == lastMovePixel_.x && at.y == lastMovePixel_.y) return;
  lastMovePixel_ = at;
  switch (tool_) {
    case TOOL_LINE:
    case TOOL_RECT:
    case TOOL_ELLIPSE:
    case TOOL_FILL_RECT:
    case TOOL_FILL_ELLIPSE:
      LoadImageFrom(history_[0]);
      DrawShape(dragStart_, at);
      break;
    case TOOL_TEXT:
      LoadImageFrom(history_[0]);
      DrawTextAt(at);
      break;
    case TOOL_PEN:
      DrawDot(at);
      break;
    case TOOL_BLUR:
      BlurSquare(at);
      break;
    default:
      return;
  }
  Repaint();
}

void CBitmapView::OnLButtonUp(UINT, POINT p) {
  ReleaseCaptureIfHeld();
  const bool gesture = dragging_;
  dragging_ = false;
  if (!image_ || image_->IsEmpty()) return;
  const POINT at = ToImage(p);
  if (gesture) {
    switch (tool_) {
      case TOOL_FILL:
        FloodFill(at);
        break;
      case TOOL_PICK:
        Pick(at, false);
        break;
      case TOOL_BLUR:
        BlurSquare(at);
        break;
      default:
        break;
    }
  }
  Repaint();
}

void CBitmapView::OnRButtonUp(UINT, POINT p) {
  ReleaseCaptureIfHeld();
  if (!image_ || image_->IsEmpty()) return;
  if (tool_ == TOOL_PICK) Pick(ToImage(p), true);
  dragging_ = false;
  Repaint();
}

void CBitmapView::OnCancelMode() {
  ReleaseCaptureIfHeld();
  dragging_ = false;
}

void CBitmapView::DrawDot(POINT p) {
  const int s = brushSize_;
  if (s <= 1) {
    image_->DrawLine(p.x, p.y, p.x + 1, p.y, brushColor_, 1, opacity_);
    return;
  }
  const int m = (s - 1) / 2;
  image_->FillEllipse(p.x - m, p.y - m, p.x + s / 2, p.y + s / 2, brushColor_, opacity_);
}

void CBitmapView::DrawShape(POINT from, POINT to) {
  const int l = std::min<int>(from.x, to.x), r = std::max<int>(from.x, to.x);
  const int t = std::min<int>(from.y, to.y), b = std::max<int>(from.y, to.y);
  switch (tool_) {
    case TOOL_LINE:
      image_->DrawLine(from.x, from.y, to.x, to.y, brushColor_, brushSize_, opacity_);
      break;
    case TOOL_RECT:
      image_->DrawRect(from.x, from.y, to.x, to.y, brushColor_, brushSize_, opacity_);
      break;
    case TOOL_ELLIPSE:
      image_->DrawEllipse(l, t, r, b, brushColor_, brushSize_, opacity_);
      break;
    case TOOL_FILL_RECT:
      image_->BlendRect(l, t, r - l + 1, b - t + 1, brushColor_, opacity_);
      break;
    case TOOL_FILL_ELLIPSE:
      image_->FillEllipse(l, t, r, b, brushColor_, opacity_);
      break;
    default:
      break;
  }
}

void CBitmapView::DrawTextAt(POINT p) {
  if (text_.empty()) return;
  CDib copy;
  if (!copy.Create(image_->GetWidth(), image_->GetHeight())) return;
  image_->CopyTo(copy);
  {
    HDC dc = copy.LockDC();
    UniqueFont font(::CreateFontIndirectA(&textFont_));
    ScopedSelect selectFont(dc, font.Get());
    ::SetTextColor(dc, brushColor_);
    ::SetBkMode(dc, TRANSPARENT);
    ::TextOutA(dc, p.x, p.y, text_.data(), static_cast<int>(text_.size()));
  }
  copy.UnlockDC();
  image_->BlendFrom(copy, opacity_);
}

void CBitmapView::BlurSquare(POINT p) {
  const int s = brushSize_;
  const int m = (s - 1) / 2;
  image_->BlurRect(p.x - m, p.y - m - 1, p.x + s / 2, p.y + s / 2, transparentColor_, opacity_);
}

void CBitmapView::FloodFill(POINT p) {
  if (!InImage(p)) return;
  {
    ScopedSelect bitmap(paintContext_.Get(), image_->GetBitmap());
    UniqueBrush brush(::CreateSolidBrush(brushColor_));
    ScopedSelect selectBrush(paintContext_.Get(), brush.Get());
    const COLORREF target = ::GetPixel(paintContext_.Get(), p.x, p.y);
    if (target != CLR_INVALID) ::ExtFloodFill(paintContext_.Get(), p.x, p.y, target, FLOODFILLSURFACE);
  }
  ::GdiFlush();
}

void CBitmapView::Pick(POINT p, bool transparent) {
  // Outside the image (the mouse is captured) nothing is read; the pick
  // still finishes so the tool goes back.
  if (InImage(p)) {
    const ColorValue color = ColorFromPixel(image_->View().At(p.x, p.y)) & 0xFFFFFF;
    (transparent ? transparentColor_ : brushColor_) = color;
  }
  FinishPick();
}

void CBitmapView::FinishPick() {
  tool_ = previousTool_;
  if (HWND parent = ::GetParent(GetHwnd()))
    ::PostMessageA(parent, WM_COMMAND, kPickCommandId, kPickNotifyParam);
}

void CBitmapView::MoveImage(POINT p) {
  if (!image_ || image_->IsEmpty() || cellWidth_ <= 0 || cellHeight_ <= 0) return;
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
  image_->Fill(GetRValue(transparentColor_), GetGValue(transparentColor_), GetBValue(transparentColor_));
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
  if (!image_ || image_->IsEmpty() || !GetHwnd()) return;
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
  if (!image_ || image_->IsEmpty()) return;
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
