#include "skin/SkinProgress.h"

#include <algorithm>

#include "framework/PaintBuffer.h"
#include "skin/SkinBitmap.h"
#include "skin/SkinGeometry.h"
#include "skin/SkinNotify.h"

namespace glyph::skin {

void CImageProgress::SetPictures(const RECT& r, HBITMAP main, HBITMAP down) {
  CopyBitmapRects(nullptr, r, {{&normal_, main}, {&down_, down}});
  AdjustBitmapHls(Context().Offsets(), nullptr, down_.Get(), r.right - r.left, r.bottom - r.top);
  RemoveFrameStyles();
}

void CImageProgress::SetPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

int CImageProgress::PercentAt(POINT point) const {
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  return alongHeight_ ? skin::PercentAt(point.y, rc.bottom) : skin::PercentAt(point.x, rc.right);
}

bool CImageProgress::DrawItem(const DRAWITEMSTRUCT& dis) {
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return true;
  PaintBuffer buffer(dis.hDC, rc);
  if (!buffer.IsOffScreen()) return true;
  DrawBitmap(buffer, normal_.Get(), 0, 0, rc.right, rc.bottom, false);
  if (alongHeight_) {
    DrawBitmap(buffer, down_.Get(), 0, 0, rc.right, rc.bottom * percent_ / 100, false);
  } else {
    DrawBitmap(buffer, down_.Get(), 0, 0, rc.right * percent_ / 100, rc.bottom, false);
  }
  return true;
}

void CImageProgress::OnLButtonDown(UINT, POINT point) {
  dragging_ = true;
  // The press is the bar's own: the button must not show itself pushed.
  percent_ = std::clamp(PercentAt(point), 0, 100);
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
  ::SetCapture(GetHwnd());
}

void CImageProgress::OnMouseMove(UINT flags, POINT point) {
  CHoverButton::OnMouseMove(flags, point);
  if (hot_ && dragging_) {
    percent_ = std::clamp(PercentAt(point), 0, 100);
    ::InvalidateRect(GetHwnd(), nullptr, FALSE);
  }
}

void CImageProgress::OnLButtonUp(UINT, POINT) {
  dragging_ = false;
  if (::GetCapture() == GetHwnd()) ::ReleaseCapture();
}

void CSkinProgress::OnMouseMove(UINT flags, POINT point) {
  CImageProgress::OnMouseMove(flags, point);
  if (SkinNotify* target = NotifyTargetOf(GetHwnd())) target->SkinMouseMove(name_, flags, point);
}

void CSkinProgress::OnLButtonUp(UINT flags, POINT point) {
  const bool pressed = TakePress();
  CImageProgress::OnLButtonUp(flags, point);
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  if (!pressed || !::PtInRect(&rc, point)) return;
  if (SkinNotify* target = NotifyTargetOf(GetHwnd())) target->ProgressNotifyByIndex(index_);
}

}  // namespace glyph::skin
