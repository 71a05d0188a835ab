#include "skin/SkinTrackbar.h"

#include <commctrl.h>

#include "framework/PaintBuffer.h"
#include "skin/SkinBitmap.h"
#include "skin/SkinFocus.h"
#include "skin/SkinNotify.h"

namespace glyph::skin {

CImageSlider::~CImageSlider() {
  tooltip_.Destroy();
  DestroyWindow();
}

bool CImageSlider::Create(HWND parent, const RECT& r, bool vertical) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);
  const DWORD style = WS_CHILD | WS_VISIBLE | (vertical ? TBS_VERT : TBS_HORZ);
  HWND hwnd = ::CreateWindowExA(0, TRACKBAR_CLASSA, "", style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return false;
  if (!Subclass(hwnd)) {
    ::DestroyWindow(hwnd);
    return false;
  }
  return true;
}

void CImageSlider::SetPictures(const RECT& rect, HBITMAP main, const std::string& thumb,
                               const std::string& thumbHot) {
  CopyBitmapRect(nullptr, background_, main, rect.left, rect.top, rect.right, rect.bottom);
  const HlsOffsets& offsets = context_.Offsets();
  SIZE size{};
  if (LoadSkinPicture(context_, thumb, thumb_, &size))
    AdjustBitmapHls(offsets, nullptr, thumb_.Get(), size.cx, size.cy);
  if (LoadSkinPicture(context_, thumbHot, thumbHot_, &size))
    AdjustBitmapHls(offsets, nullptr, thumbHot_.Get(), size.cx, size.cy);
  ChangeStyle(GetHwnd(), WS_BORDER | WS_TABSTOP);
}

void CImageSlider::SetRangeAndPosition(int minimum, int maximum, int position) {
  HWND hwnd = GetHwnd();
  const int oldMin = static_cast<int>(::SendMessageA(hwnd, TBM_GETRANGEMIN, 0, 0));
  const int oldMax = static_cast<int>(::SendMessageA(hwnd, TBM_GETRANGEMAX, 0, 0));
  bool changed = false;
  if (oldMin != minimum || oldMax != maximum) {
    ::SendMessageA(hwnd, TBM_SETRANGEMIN, FALSE, minimum);
    ::SendMessageA(hwnd, TBM_SETRANGEMAX, FALSE, maximum);
    changed = true;
  }
  if (GetPosition() != position && !grabbed_) {
    ::SendMessageA(hwnd, TBM_SETPOS, TRUE, position);
    changed = true;
  }
  if (changed) Repaint();
}

void CImageSlider::SetTooltip(const char* text, bool activate) { tooltip_.Set(GetHwnd(), text, activate); }

int CImageSlider::GetPosition() const {
  return static_cast<int>(::SendMessageA(GetHwnd(), TBM_GETPOS, 0, 0));
}

SliderGeometry CImageSlider::Geometry() const {
  SliderGeometry g;
  HWND hwnd = GetHwnd();
  g.horizontal = (::GetWindowLongPtrA(hwnd, GWL_STYLE) & TBS_VERT) == 0;
  // A thumb picture that could not be read counts as 0 x 0.
  const SIZE thumb = BitmapSize(thumb_.Get());
  g.thumbWidth = thumb.cx;
  g.thumbHeight = thumb.cy;
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  g.clientWidth = rc.right;
  g.clientHeight = rc.bottom;
  g.minimum = static_cast<int>(::SendMessageA(hwnd, TBM_GETRANGEMIN, 0, 0));
  g.maximum = static_cast<int>(::SendMessageA(hwnd, TBM_GETRANGEMAX, 0, 0));
  return g;
}

SkinRect CImageSlider::ThumbRectNow() const { return ThumbRect(Geometry(), GetPosition()); }

void CImageSlider::Repaint() { ::InvalidateRect(GetHwnd(), nullptr, FALSE); }

LRESULT CImageSlider::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) tooltip_.Relay(GetHwnd(), msg, wp, lp);
  if (msg == WM_UPDATEUISTATE) {
    const LRESULT result = Default();
    Repaint();
    return result;
  }
  return Window::WindowProc(msg, wp, lp);
}

void CImageSlider::OnSetFocus(HWND) {
  Default();
  Repaint();
}

void CImageSlider::OnKillFocus(HWND) {
  Default();
  Repaint();
}

void CImageSlider::OnPaint() {
  PaintDC paint(GetHwnd());
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  // The thumb moves over the background without flicker.
  PaintBuffer buffer(paint.Get(), rc);
  if (!buffer.IsOffScreen()) return;
  DrawBitmap(buffer, background_.Get(), 0, 0, rc.right, rc.bottom, false);
  const SkinRect t = ThumbRectNow();
  DrawBitmap(buffer, hot_ ? thumbHot_.Get() : thumb_.Get(), t.left, t.top, t.right, t.bottom, false);
  if (ShowsFocusMark(GetHwnd())) DrawFocusMark(buffer, rc);
}

static bool InRect(const SkinRect& r, POINT p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void CImageSlider::OnLButtonDown(UINT, POINT point) {
  if (InRect(ThumbRectNow(), point)) {
    grabbed_ = true;  // ours to drag: the control must not page or drag itself
  } else {
    Default();
  }
  Repaint();
}

void CImageSlider::OnMouseMove(UINT flags, POINT point) {
  Default();
  HWND hwnd = GetHwnd();
  const bool inThumb = InRect(ThumbRectNow(), point);
  if (inThumb && !hot_) {
    hot_ = true;
    if (!grabbed_) ::SetCapture(hwnd);
    Repaint();
  } else if (!inThumb && hot_) {
    hot_ = false;
    // While the button is held the capture is the control's own (paging
    // towards the pointer): letting it go would hand the release to
    // whatever control lies under the pointer.
    const bool held = (flags & MK_LBUTTON) != 0;
    if (!grabbed_ && !held && ::GetCapture() == hwnd) ::ReleaseCapture();
    Repaint();
  }
  if (grabbed_) {
    ::SendMessageA(hwnd, TBM_SETPOS, TRUE, PositionFromPointer(Geometry(), point.x, point.y));
    Repaint();
  }
}

void CImageSlider::OnLButtonUp(UINT, POINT) {
  Default();
  if (grabbed_ && !hot_ && ::GetCapture() == GetHwnd()) ::ReleaseCapture();
  grabbed_ = false;
  Repaint();
}

void CImageSlider::OnCaptureChanged(HWND gaining) {
  // Wine reports a capture taken again by the same window as a change.
  if (hot_ && gaining != GetHwnd()) {
    hot_ = false;
    if (::GetCapture() == GetHwnd()) ::ReleaseCapture();
    Repaint();
  }
  Default();
}

void CImageSlider::OnReflectedScroll(int, int) {}

void CSkinTrackbar::SetPictures(const RECT& rect, HBITMAP main, const std::string& thumb,
                                const std::string& thumbHot) {
  CImageSlider::SetPictures(rect, main, thumb, thumbHot);
  pressed_ = false;
}

void CSkinTrackbar::Notify(int code, int position) {
  if (SkinNotify* target = NotifyTargetOf(GetHwnd())) target->TrackbarNotifyByIndex(index_, code, position);
}

void CSkinTrackbar::OnLButtonDown(UINT flags, POINT point) {
  CImageSlider::OnLButtonDown(flags, point);
  pressed_ = true;
}

void CSkinTrackbar::OnMouseMove(UINT flags, POINT point) {
  CImageSlider::OnMouseMove(flags, point);
  if (pressed_) {
    Notify(kTracking, GetPosition());
  } else if (SkinNotify* target = NotifyTargetOf(GetHwnd())) {
    target->SkinMouseMove(name_, flags, point);
  }
}

void CSkinTrackbar::OnLButtonUp(UINT flags, POINT point) {
  const bool pressed = pressed_;
  pressed_ = false;
  if (pressed) Notify(kTrackEnded, GetPosition());
  if (!GetHwnd()) return;
  CImageSlider::OnLButtonUp(flags, point);
}

void CSkinTrackbar::OnReflectedScroll(int code, int position) {
  // Only the thumb codes carry a position; the others report where the
  // slider is, so that an end of tracking never reads as position 0.
  if (code != TB_THUMBTRACK && code != TB_THUMBPOSITION) position = GetPosition();
  Notify(code, position);
}

bool ReflectSkinScroll(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_HSCROLL && msg != WM_VSCROLL) return false;
  auto* slider = dynamic_cast<CImageSlider*>(Window::FromHandle(reinterpret_cast<HWND>(lp)));
  if (!slider) return false;
  slider->OnReflectedScroll(LOWORD(wp), static_cast<short>(HIWORD(wp)));
  return true;
}

}  // namespace glyph::skin
