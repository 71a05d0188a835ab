#include "widgets/ImageButton.h"

#include <string>

#include "framework/PaintBuffer.h"
#include "framework/WindowText.h"
#include "widgets/Shade.h"

namespace glyph {
namespace {

// How much lighter the background is while the button is lit.
constexpr int kLitDelta = 25;

// Fills a rectangle with a solid colour without creating a brush.
void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  ::SetBkColor(dc, colour);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void DrawPolyline(HDC dc, COLORREF colour, const POINT (&points)[3]) {
  UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
  ScopedSelect select(dc, pen.Get());
  ::Polyline(dc, points, 3);
}

void FrameSolid(HDC dc, const RECT& r, COLORREF colour) {
  UniqueBrush brush(::CreateSolidBrush(colour));
  ::FrameRect(dc, &r, brush.Get());
}

}  // namespace

CImageButton::CImageButton()
    : restingBack_(::GetSysColor(COLOR_BTNFACE)),
      restingText_(::GetSysColor(COLOR_BTNTEXT)),
      litBack_(ShadeColour(::GetSysColor(COLOR_BTNFACE), kLitDelta)),
      litText_(::GetSysColor(COLOR_BTNTEXT)) {}

CImageButton::~CImageButton() {
  // The window may outlive us: stop the timer while the HWND is still ours.
  hoverTimer_.Stop();
}

void CImageButton::PreSubclassWindow() {
  // Keep the low style bits that are not the button type; the type becomes
  // owner-drawn so the parent sends us WM_DRAWITEM.
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(GetHwnd(), GWL_STYLE));
  ::SendMessageA(GetHwnd(), BM_SETSTYLE, (style & 0xFF & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW,
                 TRUE);
}

void CImageButton::SetIcon(UINT litId, UINT restingId, int width, int height) {
  const HINSTANCE module = ::GetModuleHandleA(nullptr);
  auto load = [module](UINT id) {
    return static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
  };
  HICON lit = load(litId);
  HICON resting = restingId ? load(restingId) : nullptr;
  SetIconHandles(lit, resting, width, height);
}

void CImageButton::SetIconHandles(HICON lit, HICON resting, int width, int height) {
  if (resting == lit) resting = nullptr;
  // Handles given again must survive the swap: release only the old ones.
  if (lit_.Get() == lit || lit_.Get() == resting) lit_.Release();
  if (restingOwned_.Get() == lit || restingOwned_.Get() == resting) restingOwned_.Release();
  lit_.Reset(lit);
  restingOwned_.Reset(resting);
  resting_ = resting ? resting : lit;
  iconWidth_ = static_cast<BYTE>(width);
  iconHeight_ = static_cast<BYTE>(height);
  if (GetHwnd()) ::RedrawWindow(GetHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CImageButton::Repaint() {
  if (GetHwnd()) ::InvalidateRect(GetHwnd(), nullptr, TRUE);
}

void CImageButton::LeaveHover() {
  mouseOver_ = 0;
  hoverTimer_.Stop();
  Repaint();
}

void CImageButton::OnMouseMove(UINT flags, POINT pt) {
  Default();
  if ((flags & MK_LBUTTON) && mouseOver_ == 0) return;
  HWND owner = ::GetWindow(GetHwnd(), GW_OWNER);
  if (!owner) owner = ::GetParent(GetHwnd());
  if (mouseOver_ == 0 && owner) {
    mouseOver_ = 1;
    hoverTimer_.Start(GetHwnd(), kHoverTimer, kHoverPeriodMs);
    Repaint();
    return;
  }
  RECT client;
  ::GetClientRect(GetHwnd(), &client);
  if (!::PtInRect(&client, pt) && mouseOver_ == 1) LeaveHover();
}

void CImageButton::OnTimer(UINT_PTR id) {
  if (id == kHoverTimer) {
    POINT pt;
    RECT client;
    if (::GetCursorPos(&pt) && ::ScreenToClient(GetHwnd(), &pt) && ::GetClientRect(GetHwnd(), &client) &&
        !::PtInRect(&client, pt) && mouseOver_ == 1) {
      LeaveHover();
    }
  }
  Default();
}

void CImageButton::OnKillFocus(HWND) {
  Default();
  if (mouseOver_ == 1) LeaveHover();
}

void CImageButton::OnCaptureChanged(HWND) {
  if (mouseOver_ == 1) {
    // Only let go of a capture that is still ours: another window that
    // has just taken it keeps it.
    if (::GetCapture() == GetHwnd()) ::ReleaseCapture();
    Repaint();
  }
  Default();
}

bool CImageButton::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC target = dis.hDC;
  // Paint off screen and copy the clip box back in one step, so the button
  // never flickers through its intermediate states.
  RECT clip;
  if (::GetClipBox(target, &clip) == ERROR || clip.right <= clip.left || clip.bottom <= clip.top) {
    Draw(target, dis);
    return true;
  }
  PaintBuffer buffer(target, clip);
  Draw(buffer, dis);
  return true;
}

void CImageButton::Draw(HDC dc, const DRAWITEMSTRUCT& dis) {
  const bool focused = (dis.itemState & ODS_FOCUS) != 0;
  const bool disabled = (dis.itemState & ODS_DISABLED) != 0;
  const bool pressed = (dis.itemState & ODS_SELECTED) != 0;
  const bool lit = mouseOver_ == 1 || pressed;

  RECT r = dis.rcItem;
  if (focused) {
    ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    ::InflateRect(&r, -1, -1);
  }

  const COLORREF c = lit ? litBack_ : restingBack_;
  FillSolid(dc, r, c);

  if (pressed) {
    FrameSolid(dc, r, ShadeColour(c, -64));
  } else if (mouseOver_ == 1) {
    DrawPolyline(dc, ShadeColour(c, 64), {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}});
    DrawPolyline(dc, ShadeColour(c, 32),
                 {{r.left + 1, r.bottom - 1}, {r.left + 1, r.top + 1}, {r.right, r.top + 1}});
    DrawPolyline(dc, ShadeColour(c, -192),
                 {{r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}});
    DrawPolyline(dc, ShadeColour(c, -64),
                 {{r.left + 1, r.bottom - 2}, {r.right - 2, r.bottom - 2}, {r.right - 2, r.top}});
  } else {
    DrawPolyline(dc, ShadeColour(c, 32), {{r.left, r.bottom - 1}, {r.left, r.top}, {r.right, r.top}});
    DrawPolyline(dc, ShadeColour(c, -64),
                 {{r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}, {r.right - 1, r.top - 1}});
  }

  RECT q = dis.rcItem;
  const std::string caption = WindowText(dis.hwndItem);
  const int shift = pressed ? 1 : 0;

  if (lit_) {
    int x;
    if (!caption.empty()) {
      x = q.left + 3;
      q.left += iconWidth_ + 3;
    } else {
      x = q.left + (q.right - iconWidth_ - q.left) / 2;
    }
    int y = q.top + (q.bottom - iconHeight_ - q.top) / 2;
    x += shift;
    y += shift;
    HICON icon = lit ? lit_.Get() : resting_;
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, q.right + shift - x,
                 q.bottom + shift - y, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
  }

  if (!caption.empty()) {
    ::OffsetRect(&q, shift, shift);
    auto font = reinterpret_cast<HFONT>(::SendMessageA(dis.hwndItem, WM_GETFONT, 0, 0));
    ScopedSelect selectFont(dc, font);
    ::SetTextColor(dc, lit ? litText_ : restingText_);
    ::SetBkColor(dc, lit ? litBack_ : restingBack_);
    RECT text{q.left, q.top, q.left, q.top};
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CALCRECT | DT_SINGLELINE);
    const int w = text.right - text.left;
    const int h = text.bottom - text.top;
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(dis.hwndItem, GWL_STYLE));
    const int dx = (style & BS_CENTER) == BS_LEFT ? 3 : (q.right - q.left - w) / 2;
    const int dy = (q.bottom - q.top - h) / 2;
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.c_str()),
                 static_cast<WPARAM>(caption.size()), text.left + dx, text.top + dy, w, h,
                 DST_PREFIXTEXT | (disabled ? DSS_DISABLED : DSS_NORMAL));
  }

  if (focused) {
    RECT focus = r;
    ::InflateRect(&focus, -2, -2);
    ::DrawFocusRect(dc, &focus);
  }
}

}  // namespace glyph
