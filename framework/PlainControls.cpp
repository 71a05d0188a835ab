#include "framework/PlainControls.h"

#include <windowsx.h>

#include "framework/Window.h"

namespace glyph {
namespace {

// The button's state, kept in its window's extra bytes: BST_PUSHED and
// BST_FOCUS as BM_GETSTATE reports them, and whether a press (mouse or
// Space) began on the button and has not ended.
constexpr LONG_PTR kHeld = 0x100;

LONG_PTR StateOf(HWND h) { return ::GetWindowLongPtrA(h, 0); }
void SetState(HWND h, LONG_PTR state) { ::SetWindowLongPtrA(h, 0, state); }

void NotifyParent(HWND h, WORD code) {
  if (HWND parent = ::GetParent(h)) {
    ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(h), code), reinterpret_cast<LPARAM>(h));
  }
}

void SetPushed(HWND h, bool pushed) {
  const LONG_PTR state = StateOf(h);
  const LONG_PTR next = pushed ? (state | BST_PUSHED) : (state & ~static_cast<LONG_PTR>(BST_PUSHED));
  if (next == state) return;
  SetState(h, next);
  ::InvalidateRect(h, nullptr, FALSE);
}

bool Inside(HWND h, LPARAM lp) {
  RECT rc;
  ::GetClientRect(h, &rc);
  return ::PtInRect(&rc, POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}) != FALSE;
}

void BeginPress(HWND h) {
  ::SetCapture(h);
  SetState(h, StateOf(h) | kHeld);
  SetPushed(h, true);
}

// The press ends; a click when it ends pushed and `click` says so. The
// capture goes before the parent hears of the click.
void EndPress(HWND h, bool click) {
  const LONG_PTR state = StateOf(h);
  if (!(state & kHeld)) return;
  SetState(h, state & ~kHeld);
  SetPushed(h, false);
  if (::GetCapture() == h) ::ReleaseCapture();
  if ((state & BST_PUSHED) && click) NotifyParent(h, BN_CLICKED);
}

void PaintButton(HWND h) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(h, &ps);
  if (dc) {
    const LONG_PTR state = StateOf(h);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(::GetDlgCtrlID(h));
    dis.itemAction = ODA_DRAWENTIRE;
    if (state & BST_PUSHED) dis.itemState |= ODS_SELECTED;
    if (state & BST_FOCUS) dis.itemState |= ODS_FOCUS;
    if (!::IsWindowEnabled(h)) dis.itemState |= ODS_DISABLED;
    dis.hwndItem = h;
    dis.hDC = dc;
    ::GetClientRect(h, &dis.rcItem);
    if (HWND parent = ::GetParent(h))
      ::SendMessageA(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
  }
  ::EndPaint(h, &ps);
}

LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      PaintButton(h);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_BUTTON;
    case WM_LBUTTONDOWN:
      ::SetFocus(h);
      BeginPress(h);
      return 0;
    case WM_LBUTTONDBLCLK:
      NotifyParent(h, BN_DOUBLECLICKED);
      return 0;
    case WM_MOUSEMOVE:
      if ((wp & MK_LBUTTON) && ::GetCapture() == h) SetPushed(h, Inside(h, lp));
      return 0;
    case WM_LBUTTONUP:
      EndPress(h, Inside(h, lp));
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_SPACE && !(lp & 0x40000000)) BeginPress(h);
      return 0;
    case WM_KEYUP:
      if (wp == VK_SPACE) EndPress(h, true);
      return 0;
    case WM_CAPTURECHANGED:
      // A press whose capture went elsewhere (a menu, a dialog) is over.
      if (reinterpret_cast<HWND>(lp) != h) EndPress(h, false);
      return 0;
    case WM_SETFOCUS:
      SetState(h, StateOf(h) | BST_FOCUS);
      ::InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      SetState(h, StateOf(h) & ~static_cast<LONG_PTR>(BST_FOCUS));
      EndPress(h, false);
      ::InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_ENABLE:
      ::InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = ::DefWindowProcA(h, msg, wp, lp);
      ::InvalidateRect(h, nullptr, FALSE);
      return result;
    }
    case BM_GETSTATE:
      return StateOf(h) & (BST_PUSHED | BST_FOCUS);
    case BM_SETSTATE:
      SetPushed(h, wp != 0);
      return 0;
    case BM_CLICK:
      ::SendMessageA(h, WM_LBUTTONDOWN, 0, 0);
      ::SendMessageA(h, WM_LBUTTONUP, 0, 0);
      return 0;
    default:
      return ::DefWindowProcA(h, msg, wp, lp);
  }
}

LRESULT CALLBACK StaticPaneProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCHITTEST:
      return (::GetWindowLongPtrA(h, GWL_STYLE) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_ENABLE:
      ::InvalidateRect(h, nullptr, FALSE);
      return 0;
    default:
      return ::DefWindowProcA(h, msg, wp, lp);
  }
}

bool Register(const char* name, WNDPROC proc, UINT style, int extra) {
  WNDCLASSEXA wc{};
  // Global, so that a dialog template finds them whatever module it names.
  wc.style = style | CS_GLOBALCLASS;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = extra;
  wc.lpszClassName = name;
  return RegisterClassOnce(wc);
}

}  // namespace

bool RegisterPlainControls() {
  static const bool registered =
      Register(kOwnerDrawButtonClass, ButtonProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, sizeof(LONG_PTR)) &&
      Register(kStaticPaneClass, StaticPaneProc, 0, 0);
  return registered;
}

void LoadCommonControls(DWORD classes) {
  INITCOMMONCONTROLSEX icc{sizeof icc, classes};
  ::InitCommonControlsEx(&icc);
}

}  // namespace glyph
