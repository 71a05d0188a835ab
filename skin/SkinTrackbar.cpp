#include "skin/SkinTrackbar.h"

#include <commctrl.h>

#include <algorithm>

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
  static constexpr char kClass[] = "GlyphSkinSlider";
  if (!RegisterClass(kClass, 0, nullptr, nullptr)) return false;
  const DWORD style = WS_CHILD | WS_VISIBLE | (vertical ? TBS_VERT : TBS_HORZ);
  return Window::Create(kClass, "", style, 0, r, parent, 0);
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
  bool changed = false;
  if (minimum_ != minimum || maximum_ != maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    MoveTo(position_);
    changed = true;
  }
  if (!grabbed_ && MoveTo(position)) changed = true;
  if (changed) Repaint();
}

bool CImageSlider::MoveTo(int position) {
  // A range given backwards holds its minimum only.
  const int next = std::max(minimum_, std::min(position, maximum_));
  if (next == position_) return false;
  position_ = next;
  return true;
}

void CImageSlider::Scroll(int code) {
  HWND hwnd = GetHwnd();
  const bool vertical = (::GetWindowLongPtrA(hwnd, GWL_STYLE) & TBS_VERT) != 0;
  const WORD where = code == TB_THUMBTRACK || code == TB_THUMBPOSITION ? static_cast<WORD>(position_) : 0;
  if (HWND parent = ::GetParent(hwnd)) {
    ::SendMessageA(parent, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, where),
                   reinterpret_cast<LPARAM>(hwnd));
  }
}

void CImageSlider::SetTooltip(const char* text, bool activate) { tooltip_.Set(GetHwnd(), text, activate); }

int CImageSlider::GetPosition() const { return position_; }

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
  g.minimum = minimum_;
  g.maximum = maximum_;
  return g;
}

SkinRect CImageSlider::ThumbRectNow() const { return ThumbRect(Geometry(), GetPosition()); }

void CImageSlider::Repaint() { ::InvalidateRect(GetHwnd(), nullptr, FALSE); }

// The trackbar's page: a fifth of the range.
static int PageOf(int minimum, int maximum) { return std::max(1, (maximum - minimum) / 5); }

bool CImageSlider::KeyMove(WPARAM key, int* code, int* position) const {
  const int page = PageOf(minimum_, maximum_);
  switch (key) {
    case VK_LEFT:
    case VK_UP:
      *code = TB_LINEUP;
      *position = position_ - 1;
      return true;
    case VK_RIGHT:
    case VK_DOWN:
      *code = TB_LINEDOWN;
      *position = position_ + 1;
      return true;
    case VK_PRIOR:
      *code = TB_PAGEUP;
      *position = position_ - page;
      return true;
    case VK_NEXT:
      *code = TB_PAGEDOWN;
      *position = position_ + page;
      return true;
    case VK_HOME:
      *code = TB_TOP;
      *position = minimum_;
      return true;
    case VK_END:
      *code = TB_BOTTOM;
      *position = maximum_;
      return true;
    default:
      return false;
  }
}

LRESULT CImageSlider::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) tooltip_.Relay(GetHwnd(), msg, wp, lp);
  int code = 0, position = 0;
  switch (msg) {
    case WM_UPDATEUISTATE: {
      const LRESULT result = Default();
      Repaint();
      return result;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (KeyMove(wp, &code, &position) && MoveTo(position)) {
        Repaint();
        Scroll(code);
      }
      return 0;
    case WM_KEYUP:
      if (KeyMove(wp, &code, &position)) Scroll(TB_ENDTRACK);
      return 0;
    case WM_MOUSEWHEEL: {
      wheel_ += GET_WHEEL_DELTA_WPARAM(wp);
      const int notches = wheel_ / WHEEL_DELTA;
      wheel_ -= notches * WHEEL_DELTA;
      UINT lines = 3;
      ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      const int step = lines == WHEEL_PAGESCROLL ? PageOf(minimum_, maximum_) : static_cast<int>(lines);
      if (notches && MoveTo(position_ - notches * step)) {
        Repaint();
        Scroll(notches > 0 ? TB_LINEUP : TB_LINEDOWN);
        Scroll(TB_ENDTRACK);
      }
      return 0;
    }
    case WM_ENABLE:
      Repaint();
      return 0;
    case TBM_GETPOS:
      return position_;
    case TBM_GETRANGEMIN:
      return minimum_;
    case TBM_GETRANGEMAX:
      return maximum_;
    case TBM_GETPAGESIZE:
      return PageOf(minimum_, maximum_);
    case TBM_GETLINESIZE:
      return 1;
    case TBM_SETPOS:
      MoveTo(static_cast<int>(lp));
      break;
    case TBM_SETRANGEMIN:
      minimum_ = static_cast<int>(lp);
      MoveTo(position_);
      break;
    case TBM_SETRANGEMAX:
      maximum_ = static_cast<int>(lp);
      MoveTo(position_);
      break;
    case TBM_SETRANGE:
      minimum_ = static_cast<short>(LOWORD(lp));
      maximum_ = static_cast<short>(HIWORD(lp));
      MoveTo(position_);
      break;
    default:
      return Window::WindowProc(msg, wp, lp);
  }
  // A TBM_SET message: redraw when asked to.
  if (wp) Repaint();
  return 0;
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

int CImageSlider::PageTowards(POINT point) const {
  const SkinRect t = ThumbRectNow();
  const bool horizontal = Geometry().horizontal;
  const int at = horizontal ? point.x : point.y;
  if (at < (horizontal ? t.left : t.top)) return TB_PAGEUP;
  if (at >= (horizontal ? t.right : t.bottom)) return TB_PAGEDOWN;
  return 0;
}

void CImageSlider::OnLButtonDown(UINT, POINT point) {
  if (InRect(ThumbRectNow(), point)) {
    grabbed_ = true;  // dragged by the pointer, not paged
  } else if (const int code = PageTowards(point)) {
    // A click beside the thumb pages towards it, as the trackbar does, and
    // goes on paging (after a pause) while the button is held there.
    HWND hwnd = GetHwnd();
    ::SetFocus(hwnd);
    ::SetCapture(hwnd);
    paging_ = code;
    PageOnce();
    pageTimer_.Start(hwnd, kPageTimer, 400);
  }
  Repaint();
}

void CImageSlider::PageOnce() {
  const int page = PageOf(minimum_, maximum_);
  if (!MoveTo(position_ + (paging_ == TB_PAGEUP ? -page : page))) return;
  Repaint();
  Scroll(paging_);
}

void CImageSlider::OnTimer(UINT_PTR id) {
  if (id != kPageTimer) {
    Default();
    return;
  }
  POINT point{};
  ::GetCursorPos(&point);
  ::ScreenToClient(GetHwnd(), &point);
  if (!paging_ || PageTowards(point) != paging_) {
    pageTimer_.Stop();
    return;
  }
  PageOnce();
  pageTimer_.Start(GetHwnd(), kPageTimer, 100);
}

void CImageSlider::StopPaging() {
  pageTimer_.Stop();
  paging_ = 0;
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
    if (MoveTo(PositionFromPointer(Geometry(), point.x, point.y))) Repaint();
  }
}

void CImageSlider::OnLButtonUp(UINT, POINT) {
  const bool paged = paging_ != 0;
  StopPaging();
  if ((paged || (grabbed_ && !hot_)) && ::GetCapture() == GetHwnd()) ::ReleaseCapture();
  grabbed_ = false;
  Repaint();
  if (paged) Scroll(TB_ENDTRACK);
}

void CImageSlider::OnCaptureChanged(HWND gaining) {
  // Wine reports a capture taken again by the same window as a change. A
  // paging whose capture went elsewhere has ended.
  if (paging_ && gaining != GetHwnd()) {
    StopPaging();
    Scroll(TB_ENDTRACK);
  }
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
