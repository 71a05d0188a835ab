#include "editor/SizeStrip.h"

#include <windowsx.h>

#include <algorithm>

#include "editor/EditDocument.h"
#include "editor/Thumbnail.h"

namespace glyph {
namespace {

// The strip's colours, pixel values: a dark ground as the skin's wells, a
// lighter one for the row being edited, its label in the skin's amber.
constexpr Pixel kGround = 0x1A1D26;
constexpr Pixel kCurrentGround = 0x3A4254;
constexpr COLORREF kLabelColor = RGB(226, 232, 242);
constexpr COLORREF kDetailColor = RGB(150, 164, 190);
constexpr COLORREF kCurrentLabelColor = RGB(245, 170, 60);
constexpr int kMargin = 2;
// The platform's dialog font at 96 dpi.
constexpr int kFontHeight = -11;

void FillRect(const PixelView& view, int x, int y, int w, int h, Pixel color) {
  for (int row = std::max(0, y); row < std::min(view.height, y + h); ++row)
    for (int col = std::max(0, x); col < std::min(view.width, x + w); ++col) view.At(col, row) = color;
}

std::wstring DetailOf(const icon::IconDocumentImage& image) {
  if (image.storage == icon::IconStorage::kPng) return L"PNG";
  if (image.bits == 32) return std::wstring();
  return std::to_wstring(image.bits) + L" bit";
}

std::wstring LabelOf(const icon::IconDocumentImage& image) {
  const icon::RgbaImage& p = image.pixels;
  if (p.width == p.height) return std::to_wstring(p.width);
  return std::to_wstring(p.width) + L"x" + std::to_wstring(p.height);
}

}  // namespace

void CSizeStrip::SetScale(int percent) {
  scale_ = percent > 0 ? percent : 100;
  LOGFONTW lf{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfHeight = Scaled(kFontHeight);
  font_.Reset(::CreateFontIndirectW(&lf));
  if (GetHwnd()) ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CSizeStrip::SetSizes(const EditDocument& document, const CDib* live) {
  const int box = ThumbnailBox();
  rows_.clear();
  rows_.resize(document.Count());
  for (size_t i = 0; i < document.Count(); ++i) {
    Row& row = rows_[i];
    const icon::IconDocumentImage& image = document.Image(i);
    row.label = LabelOf(image);
    row.detail = DetailOf(image);
    const icon::RgbaImage& pixels = image.pixels;
    std::vector<Pixel> full(static_cast<size_t>(pixels.width) * pixels.height);
    const PixelView fullView{full.data(), pixels.width, pixels.height, pixels.width};
    PixelsFromRgba(pixels, fullView);
    row.thumbnail.assign(static_cast<size_t>(box) * box, kGround);
    DrawThumbnail(PixelView{row.thumbnail.data(), box, box, box}, 0, 0, box, fullView, kGround);
  }
  current_ = document.Current();
  live_ = live;
  KeepCurrentVisible();
  if (GetHwnd()) ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

int CSizeStrip::VisibleRows() const {
  RECT client{};
  if (GetHwnd()) ::GetClientRect(GetHwnd(), &client);
  return std::max(1, static_cast<int>(client.bottom - 2 * Scaled(kMargin)) / RowHeight());
}

void CSizeStrip::Scroll(int rows) {
  const int last = std::max(0, static_cast<int>(rows_.size()) - VisibleRows());
  first_ = std::clamp(first_ + rows, 0, last);
  if (GetHwnd()) ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CSizeStrip::KeepCurrentVisible() {
  const int current = static_cast<int>(current_);
  if (current < first_) first_ = current;
  if (current >= first_ + VisibleRows()) first_ = current - VisibleRows() + 1;
  Scroll(0);
}

size_t CSizeStrip::RowAt(POINT client) const {
  const int margin = Scaled(kMargin);
  if (client.y < margin) return rows_.size();
  const size_t row = static_cast<size_t>(first_ + (client.y - margin) / RowHeight());
  return row < rows_.size() ? row : rows_.size();
}

void CSizeStrip::OnLButtonDown(UINT, POINT p) {
  const size_t row = RowAt(p);
  if (row >= rows_.size()) return;
  if (HWND parent = ::GetParent(GetHwnd())) ::PostMessageW(parent, kSizeChosenMessage, row, 0);
}

LRESULT CSizeStrip::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_MOUSEWHEEL) {
    Scroll(GET_WHEEL_DELTA_WPARAM(wp) > 0 ? -1 : 1);
    return 0;
  }
  // A static control takes no clicks unless it says so.
  if (msg == WM_NCHITTEST) return HTCLIENT;
  return Window::WindowProc(msg, wp, lp);
}

void CSizeStrip::OnPaint() {
  PaintDC paint(GetHwnd());
  RECT client{};
  ::GetClientRect(GetHwnd(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  if (buffer_.GetWidth() != static_cast<uint32_t>(client.right) ||
      buffer_.GetHeight() != static_cast<uint32_t>(client.bottom)) {
    buffer_.Create(static_cast<uint32_t>(client.right), static_cast<uint32_t>(client.bottom));
  }
  if (buffer_.IsEmpty()) return;
  const PixelView view = buffer_.View();
  const int margin = Scaled(kMargin), box = ThumbnailBox(), rowHeight = RowHeight();
  FillRect(view, 0, 0, view.width, view.height, kGround);
  const int visible = VisibleRows();
  for (int i = 0; i < visible && first_ + i < static_cast<int>(rows_.size()); ++i) {
    const size_t index = static_cast<size_t>(first_ + i);
    const int top = margin + i * rowHeight;
    const bool current = index == current_;
    if (current) FillRect(view, margin, top, view.width - 2 * margin, rowHeight, kCurrentGround);
    const int boxTop = top + (rowHeight - box) / 2;
    if (current && live_ && !live_->IsEmpty()) {
      DrawThumbnail(view, margin + Scaled(2), boxTop, box, live_->View(), kCurrentGround);
    } else if (rows_[index].thumbnail.size() == static_cast<size_t>(box) * box) {
      const Pixel* thumb = rows_[index].thumbnail.data();
      for (int y = 0; y < box; ++y)
        for (int x = 0; x < box; ++x)
          if (boxTop + y < view.height && margin + Scaled(2) + x < view.width)
            view.At(margin + Scaled(2) + x, boxTop + y) = thumb[y * box + x];
    }
  }
  HDC dc = buffer_.LockDC();
  if (dc) {
    ::SetBkMode(dc, TRANSPARENT);
    ScopedSelect font(dc, font_ ? font_.Get() : ::GetStockObject(DEFAULT_GUI_FONT));
    const int textLeft = margin + box + Scaled(6);
    for (int i = 0; i < visible && first_ + i < static_cast<int>(rows_.size()); ++i) {
      const size_t index = static_cast<size_t>(first_ + i);
      const Row& row = rows_[index];
      const int top = margin + i * rowHeight;
      RECT label{textLeft, top + Scaled(1), client.right - margin,
                 top + (row.detail.empty() ? rowHeight : Scaled(15))};
      ::SetTextColor(dc, index == current_ ? kCurrentLabelColor : kLabelColor);
      ::DrawTextW(dc, row.label.c_str(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
      if (row.detail.empty()) continue;
      RECT detail{textLeft, top + Scaled(14), client.right - margin, top + rowHeight};
      ::SetTextColor(dc, kDetailColor);
      ::DrawTextW(dc, row.detail.c_str(), -1, &detail, DT_SINGLELINE | DT_TOP | DT_LEFT | DT_NOPREFIX);
    }
    ::BitBlt(paint.Get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  }
  buffer_.UnlockDC();
}

}  // namespace glyph
