#include "skin/SkinButton.h"

#include "framework/PlainControls.h"
#include "skin/SkinBitmap.h"
#include "skin/SkinFocus.h"
#include "skin/SkinNotify.h"

namespace glyph::skin {

CHoverButton::~CHoverButton() {
  tooltip_.Destroy();
  DestroyWindow();
}

bool CHoverButton::Create(HWND parent, const RECT& r) {
  if (!RegisterPlainControls()) return false;
  HWND hwnd = ::CreateWindowExA(0, kOwnerDrawButtonClass, "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r.left,
                                r.top, r.right - r.left, r.bottom - r.top, parent, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return false;
  if (!Subclass(hwnd)) {
    ::DestroyWindow(hwnd);
    return false;
  }
  return true;
}

void CHoverButton::PreSubclassWindow() {
  HWND hwnd = GetHwnd();
  ChangeStyle(hwnd, BS_TYPEMASK | WS_TABSTOP, BS_OWNERDRAW);
  // A window not on screen yet is painted whole when it shows.
  if (::IsWindowVisible(hwnd)) ::InvalidateRect(hwnd, nullptr, FALSE);
}

void CHoverButton::RemoveFrameStyles() { ChangeStyle(GetHwnd(), WS_BORDER | WS_TABSTOP); }

void CHoverButton::SetPictures(int left, int top, int right, int bottom, HBITMAP normal, HBITMAP over,
                               HBITMAP down, HBITMAP disabled) {
  const int w = right - left, h = bottom - top;
  for (UniqueBitmap* piece : {&normal_, &over_, &down_, &disabled_}) piece->Reset();
  CopyBitmapRects(nullptr, RECT{left, top, right, bottom},
                  {{&normal_, normal}, {&over_, over}, {&down_, down}, {&disabled_, disabled}});
  // The normal piece comes from the Main screen, which the loader adjusted whole.
  const HlsOffsets& offsets = context_.Offsets();
  AdjustBitmapHls(offsets, nullptr, over_.Get(), w, h);
  AdjustBitmapHls(offsets, nullptr, down_.Get(), w, h);
  AdjustBitmapHls(offsets, nullptr, disabled_.Get(), w, h);
  RemoveFrameStyles();
}

void CHoverButton::SetOverPicture(const RECT& r, HBITMAP over) {
  CopyBitmapRects(nullptr, r, {{&over_, over}});
  AdjustBitmapHls(context_.Offsets(), nullptr, over_.Get(), r.right - r.left, r.bottom - r.top);
  if (hot_) ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CHoverButton::SetTooltip(const char* text, bool activate) { tooltip_.Set(GetHwnd(), text, activate); }

void CHoverButton::SetLatched(bool latched) {
  if (latched == latched_) return;
  latched_ = latched;
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CHoverButton::SetHot(bool hot) {
  hot_ = hot;
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

CHoverButton::Picture CHoverButton::PictureFor(bool selected, bool disabled) const {
  if (!toggle_) {
    if (latched_ && !hot_) return Picture::Down;
    if (selected) return Picture::Down;
    if (hot_) return Picture::Over;
    if (disabled) return Picture::Disabled;
    return Picture::Normal;
  }
  if (disabled) return Picture::Disabled;
  if (selected) return latched_ ? Picture::Normal : Picture::Down;
  if (hot_) return Picture::Over;
  if (latched_) return Picture::Down;
  return Picture::Normal;
}

HBITMAP CHoverButton::Bitmap(Picture p) const {
  switch (p) {
    case Picture::Over:
      if (over_) return over_.Get();
      break;
    case Picture::Down:
      return down_.Get();
    case Picture::Disabled:
      return disabled_.Get();
    case Picture::Normal:
      break;
  }
  return normal_.Get();
}

bool CHoverButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  const Picture p = PictureFor((dis.itemState & ODS_SELECTED) != 0, (dis.itemState & ODS_DISABLED) != 0);
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  DrawBitmap(dis.hDC, Bitmap(p), 0, 0, rc.right, rc.bottom, false);
  if (ShowsFocusMark(GetHwnd())) DrawFocusMark(dis.hDC, rc);
  return true;
}

LRESULT CHoverButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) tooltip_.Relay(GetHwnd(), msg, wp, lp);
  // The second press of a double click arrives as WM_LBUTTONDBLCLK.
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) pressed_ = true;
  // A press whose capture went to another window (a menu, a dialog) is over.
  if (msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lp) != GetHwnd() && lp != 0) pressed_ = false;
  switch (msg) {
    case WM_GETDLGCODE:
      return Default() | (WantsPressKey(lp) ? DLGC_WANTMESSAGE : 0);
    case WM_KEYDOWN:
    case WM_KEYUP: {
      // The keys are ours alone: the button's own handling of Space would
      // leave it drawn pushed, and a report may replace the whole skin.
      const PressKey key = PressKeyOf(msg, wp, lp);
      if (key == PressKey::kNone) break;
      if (key != PressKey::kRepeat) KeyPressed(key == PressKey::kDown);
      return 0;
    }
    case WM_UPDATEUISTATE: {
      const LRESULT result = Default();
      RedrawFocus();
      return result;
    }
    default:
      break;
  }
  return Window::WindowProc(msg, wp, lp);
}

void CHoverButton::RedrawFocus() { ::InvalidateRect(GetHwnd(), nullptr, FALSE); }

void CHoverButton::OnSetFocus(HWND) {
  Default();
  RedrawFocus();
}

bool CHoverButton::TakePress() {
  const bool pressed = pressed_;
  pressed_ = false;
  return pressed;
}

void CHoverButton::OnMouseMove(UINT flags, POINT point) {
  Default();
  TrackHover(flags, point);
}

void CHoverButton::TrackHover(UINT flags, POINT point) {
  HWND hwnd = GetHwnd();
  const bool leftDown = (flags & MK_LBUTTON) != 0;
  if (leftDown && !hot_) return;
  if (::GetCapture() != hwnd && ::GetActiveWindow() != nullptr &&
      (::GetParent(hwnd) || ::GetWindow(hwnd, GW_OWNER))) {
    hot_ = true;
    ::SetCapture(hwnd);
    ::InvalidateRect(hwnd, nullptr, FALSE);
    return;
  }
  POINT screen = point;
  ::ClientToScreen(hwnd, &screen);
  if (::WindowFromPoint(screen) == hwnd) return;
  if (hot_) SetHot(false);
  if (!leftDown && ::GetCapture() == hwnd) ::ReleaseCapture();
}

void CHoverButton::OnKillFocus(HWND) {
  Default();
  SetHot(false);
  RedrawFocus();
}

void CHoverButton::OnCaptureChanged(HWND gaining) {
  // Without the capture the button no longer learns when the mouse leaves,
  // so it must not stay hot. (Wine reports a capture taken again by the
  // same window as a change.)
  if (hot_ && gaining != GetHwnd()) SetHot(false);
  Default();
}

void CSkinButton::SetPictures(int left, int top, int right, int bottom, HBITMAP normal, HBITMAP over,
                              HBITMAP down, HBITMAP disabled) {
  CHoverButton::SetPictures(left, top, right, bottom, normal, over, down, disabled);
  pressAndRelease_ = false;
}

bool CSkinButton::Inside(POINT point) const {
  RECT rc;
  ::GetClientRect(GetHwnd(), &rc);
  return ::PtInRect(&rc, point) != FALSE;
}

void CSkinButton::NotifyClicked() {
  if (SkinNotify* target = NotifyTargetOf(GetHwnd())) target->ButtonClickedByIndex(index_);
}

// The notification comes after the button's own handling: a handler may
// replace the whole skin, this button included.
void CSkinButton::OnLButtonDown(UINT, POINT point) {
  const bool report = pressAndRelease_ && Inside(point);
  if (report) SetHot(false);
  Default();
  if (report) NotifyClicked();
}

void CSkinButton::OnLButtonUp(UINT, POINT point) {
  const bool report = TakePress() && (pressAndRelease_ || Inside(point));
  if (report) SetHot(false);
  Default();
  if (report) NotifyClicked();
}

void CSkinButton::KeyPressed(bool down) {
  if (down || pressAndRelease_) NotifyClicked();
}

void CSkinButton::OnLButtonDblClk(UINT, POINT) {
  if (pressAndRelease_) NotifyClicked();
}

void CSkinButton::OnMouseMove(UINT flags, POINT point) {
  if (SkinNotify* target = NotifyTargetOf(GetHwnd())) {
    if (!over_) target->PicturesNeeded();
    target->SkinMouseMove(name_, flags, point);
  }
  if (!GetHwnd()) return;
  CHoverButton::OnMouseMove(flags, point);
}

}  // namespace glyph::skin
