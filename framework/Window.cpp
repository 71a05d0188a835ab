#include "framework/Window.h"

#include <windowsx.h>

#include <mutex>
#include <unordered_map>

namespace glyph {
namespace {

// Every attached window, for every thread of the process.
struct WindowTable {
  std::mutex lock;
  std::unordered_map<HWND, Window*> windows;
};

WindowTable& Table() {
  static WindowTable table;
  return table;
}

POINT PointFrom(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

}  // namespace

Window::~Window() {
  if (!hwnd_) return;
  HWND hwnd = hwnd_;
  const bool ownWindow = oldProc_ == nullptr;
  Detach();
  if (ownWindow) ::DestroyWindow(hwnd);
}

Window* Window::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  WindowTable& table = Table();
  std::lock_guard<std::mutex> hold(table.lock);
  auto it = table.windows.find(hwnd);
  return it == table.windows.end() ? nullptr : it->second;
}

bool RegisterClassOnce(WNDCLASSEXA wc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(::GetModuleHandleA(nullptr), wc.lpszClassName, &existing)) return true;
  wc.cbSize = sizeof wc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  if (!wc.hCursor) wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  return ::RegisterClassExA(&wc) != 0;
}

bool Window::RegisterClass(const char* className, UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  WNDCLASSEXA wc{};
  wc.style = style;
  wc.lpfnWndProc = &Window::StaticWndProc;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = className;
  return RegisterClassOnce(wc);
}

bool Window::Create(const char* className, const char* title, DWORD style, DWORD exStyle, const RECT& r,
                    HWND parent, UINT_PTR idOrMenu) {
  if (hwnd_) return false;
  HWND hwnd =
      ::CreateWindowExA(exStyle, className, title, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        parent, reinterpret_cast<HMENU>(idOrMenu), ::GetModuleHandleA(nullptr), this);
  return hwnd != nullptr;
}

void Window::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  WindowTable& table = Table();
  std::lock_guard<std::mutex> hold(table.lock);
  table.windows[hwnd] = this;
}

void Window::Detach() {
  if (!hwnd_) return;
  if (oldProc_) {
    ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
    oldProc_ = nullptr;
  }
  {
    WindowTable& table = Table();
    std::lock_guard<std::mutex> hold(table.lock);
    auto it = table.windows.find(hwnd_);
    if (it != table.windows.end() && it->second == this) table.windows.erase(it);
  }
  hwnd_ = nullptr;
}

bool Window::Subclass(HWND hwnd) {
  if (hwnd_ || !hwnd || FromHandle(hwnd)) return false;
  Attach(hwnd);
  oldProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticWndProc)));
  PreSubclassWindow();
  return true;
}

HWND Window::Unsubclass() {
  HWND hwnd = hwnd_;
  Detach();
  return hwnd;
}

void Window::DestroyWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = FromHandle(hwnd);
  if (!self && msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    self = static_cast<Window*>(cs->lpCreateParams);
    if (self) {
      self->Attach(hwnd);
      self->PreSubclassWindow();
    }
  }
  if (!self) return ::DefWindowProcA(hwnd, msg, wp, lp);

  Current current{msg, wp, lp};
  Current* saved = self->current_;
  self->current_ = &current;
  LRESULT result = self->WindowProc(msg, wp, lp);
  self->current_ = saved;

  if (msg == WM_NCDESTROY && self->hwnd_ == hwnd) {
    self->Detach();
    self->PostNcDestroy();
  }
  return result;
}

LRESULT Window::DefaultFor(UINT msg, WPARAM wp, LPARAM lp) {
  if (oldProc_) return ::CallWindowProcA(oldProc_, hwnd_, msg, wp, lp);
  return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT Window::Default() {
  if (!current_) return 0;
  return DefaultFor(current_->msg, current_->wp, current_->lp);
}

LRESULT Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return Dispatch(msg, wp, lp); }

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lp));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wp));
    case WM_SIZE:
      OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<UINT>(wp), PointFrom(lp));
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<UINT>(wp), PointFrom(lp));
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<UINT>(wp), PointFrom(lp));
      return 0;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk(static_cast<UINT>(wp), PointFrom(lp));
      return 0;
    case WM_RBUTTONDOWN:
      OnRButtonDown(static_cast<UINT>(wp), PointFrom(lp));
      return 0;
    case WM_RBUTTONUP:
      OnRButtonUp(static_cast<UINT>(wp), PointFrom(lp));
      return 0;
    case WM_CANCELMODE:
      OnCancelMode();
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureChanged(reinterpret_cast<HWND>(lp));
      return 0;
    case WM_KILLFOCUS:
      OnKillFocus(reinterpret_cast<HWND>(wp));
      return 0;
    case WM_SETFOCUS:
      OnSetFocus(reinterpret_cast<HWND>(wp));
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(reinterpret_cast<NMHDR*>(lp), &result)) return result;
      break;
    }
    case WM_DRAWITEM: {
      // Owner-drawn controls of ours draw themselves.
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (Window* control = FromHandle(dis->hwndItem); control && control != this) {
        if (control->DrawItem(*dis)) return TRUE;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      // Controls of ours choose their own colours.
      if (Window* control = FromHandle(reinterpret_cast<HWND>(lp)); control && control != this) {
        if (HBRUSH brush = control->CtlColor(reinterpret_cast<HDC>(wp), msg)) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    default:
      break;
  }
  return Default();
}

void ChangeStyle(HWND hwnd, LONG_PTR clear, LONG_PTR set) {
  const LONG_PTR style = ::GetWindowLongPtrA(hwnd, GWL_STYLE);
  const LONG_PTR wanted = (style & ~clear) | set;
  if (wanted != style) ::SetWindowLongPtrA(hwnd, GWL_STYLE, wanted);
}

bool PumpMessages() {
  MSG m;
  while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) return false;
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
  }
  return true;
}

}  // namespace glyph
