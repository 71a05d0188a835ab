#include "skin/SkinText.h"

#include "framework/PaintBuffer.h"
#include "skin/SkinBitmap.h"
#include "skin/SkinFocus.h"
#include "skin/SkinNotify.h"

namespace glyph::skin {

CScrollLabel::CScrollLabel(const SkinContext& context) : CHoverButton(context) {
  LOGFONTA lf{};
  if (::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf))
    font_.Reset(::CreateFontIndirectA(&lf));
}

CScrollLabel::~CScrollLabel() { timer_.Stop(); }

bool CScrollLabel::Create(HWND parent, const RECT& rect, const char* text) {
  if (!CHoverButton::Create(parent, rect)) return false;
  ::SetWindowTextA(GetHwnd(), text ? text : "");
  return true;
}

void CScrollLabel::SetBackground(const RECT& r, HBITMAP main) {
  CopyBitmapRect(nullptr, background_, main, r.left, r.top, r.right, r.bottom);
}

void CScrollLabel::SetText(const std::string& text) {
  text_ = text;
  Layout();
}

void CScrollLabel::SetFont(HFONT font) {
  LOGFONTA lf{};
  if (!font || !::GetObjectA(font, sizeof lf, &lf)) return;
  UniqueFont copy(::CreateFontIndirectA(&lf));
  if (!copy) return;
  font_ = std::move(copy);
  Layout();
}

int CScrollLabel::TextWidth(const std::string& s) const {
  WindowDC dc(GetHwnd());
  ScopedSelect sel(dc.Get(), font_.Get());
  SIZE size{};
  ::GetTextExtentPoint32A(dc.Get(), s.c_str(), static_cast<int>(s.size()), &size);
  return size.cx;
}

void CScrollLabel::Layout() {
  if (!GetHwnd()) return;
  if (scrolling_) timer_.Stop();
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  if (rc.right < TextWidth(text_)) {
    timer_.Start(GetHwnd(), kScrollTimer, kScrollInterval);
    scrolling_ = true;
  } else {
    scrolling_ = false;
  }
  offset_ = 0;
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CScrollLabel::OnTimer(UINT_PTR id) {
  if (id != kScrollTimer || !scrolling_) {
    Default();
    return;
  }
  const int width = TextWidth(text_ + kSeparator);
  ++offset_;
  if (offset_ >= width) offset_ = 0;
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CScrollLabel::OnDestroy() {
  timer_.Stop();
  scrolling_ = false;
  Default();
}

void CScrollLabel::OnPaint() {
  // An owner-drawn button may fill its background before asking us to draw
  // (Wine does): an empty field must leave what lies under it alone.
  if (text_.empty()) {
    PaintDC paint(GetHwnd());
    RECT rc;
    ::GetClientRect(GetHwnd(), &rc);
    if (ShowsFocusMark(GetHwnd())) DrawFocusMark(paint.Get(), rc);
    return;
  }
  Default();
}

void CScrollLabel::RedrawFocus() {
  HWND hwnd = GetHwnd();
  HWND parent = ::GetParent(hwnd);
  if (!text_.empty() || !parent) {
    CHoverButton::RedrawFocus();
    return;
  }
  RECT area;
  ::GetWindowRect(hwnd, &area);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
  ::RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool CScrollLabel::DrawItem(const DRAWITEMSTRUCT& dis) {
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  const bool mark = ShowsFocusMark(GetHwnd());
  if (text_.empty()) {  // nothing at all, not even the background
    if (mark) DrawFocusMark(dis.hDC, rc);
    return true;
  }
  if (rc.right <= 0 || rc.bottom <= 0) return true;
  PaintBuffer buffer(dis.hDC, rc);
  if (!buffer.IsOffScreen()) return true;
  HDC mem = buffer.Get();
  DrawBitmap(mem, background_.Get(), 0, 0, rc.right, rc.bottom, false);
  ScopedSelect selFont(mem, font_.Get());
  ::SetBkMode(mem, TRANSPARENT);
  ::IntersectClipRect(mem, 0, 0, rc.right, rc.bottom);
  const std::string shown = scrolling_ ? text_ + kSeparator + text_ : text_;
  const int n = static_cast<int>(shown.size());
  int x = scrolling_ ? -offset_ : rc.right / 2;
  ::SetTextAlign(mem, (scrolling_ ? TA_LEFT : TA_CENTER) | TA_BASELINE);
  const int y = rc.bottom / 2;
  ::SetTextColor(mem, first_);
  ::TextOutA(mem, x, y + 1, shown.c_str(), n);
  if (second_ != kNoColor) {
    ::SetTextColor(mem, second_);
    ::TextOutA(mem, x - 1, y, shown.c_str(), n);
  }
  if (mark) DrawFocusMark(mem, rc);
  return true;
}

void CSkinText::OnLButtonUp(UINT, POINT point) {
  const bool pressed = TakePress();
  Default();
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  if (!pressed || !::PtInRect(&rc, point)) return;
  if (SkinNotify* target = NotifyTargetOf(GetHwnd())) target->TextClickedByIndex(index_);
}

void CSkinText::KeyPressed(bool down) {
  if (!down) return;
  if (SkinNotify* target = NotifyTargetOf(GetHwnd())) target->TextClickedByIndex(index_);
}

void CSkinText::OnMouseMove(UINT flags, POINT point) {
  if (SkinNotify* target = NotifyTargetOf(GetHwnd())) target->SkinMouseMove(name_, flags, point);
  if (GetHwnd()) Default();  // no hover tracking for text fields
}

}  // namespace glyph::skin
