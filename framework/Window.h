// The window wrapper: one object per HWND, messages dispatched to virtual
// handlers.
//
// A Window either creates its HWND (Create) or takes over an existing one
// by subclassing it (Subclass); dialogs (Dialog.h) subclass themselves when
// they initialise. The HWND <-> object link lives in a table of this
// process (a window property would cost Wine a server round trip on every
// message); it is removed, and a subclassed window gets its old procedure
// back, before the object dies or when the window is destroyed, whichever
// comes first.
//
// Each handler's default implementation calls Default(), the processing the
// window would have had without us (DefWindowProc, or the subclassed
// control's own procedure).
#pragma once

#include <windows.h>

namespace glyph {

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND GetHwnd() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  // The Window object attached to hwnd, or null.
  static Window* FromHandle(HWND hwnd);

  // Registers (once) a window class with our procedure and creates a window.
  bool Create(const char* className, const char* title, DWORD style, DWORD exStyle, const RECT& rect,
              HWND parent, UINT_PTR idOrMenu);
  // Attaches to an existing window by replacing its procedure.
  bool Subclass(HWND hwnd);
  // Restores the original procedure and forgets the window.
  HWND Unsubclass();
  void DestroyWindow();

  // Registers a class whose procedure dispatches to Window objects.
  static bool RegisterClass(const char* className, UINT style, HCURSOR cursor, HBRUSH background,
                            HICON icon = nullptr);

 protected:
  // Called for every message; dispatches to the typed handlers below.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // The default processing of the message being handled.
  LRESULT Default();
  LRESULT DefaultFor(UINT msg, WPARAM wp, LPARAM lp);

  // Called once the HWND is attached (after Subclass, or at WM_NCCREATE).
  virtual void PreSubclassWindow() {}
  // Called after WM_NCDESTROY, when the HWND is gone.
  virtual void PostNcDestroy() {}

  virtual int OnCreate(CREATESTRUCTA*) { return static_cast<int>(Default()); }
  virtual void OnDestroy() { Default(); }
  virtual void OnPaint() { Default(); }
  virtual BOOL OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
  virtual void OnSize(UINT, int, int) { Default(); }
  virtual void OnMouseMove(UINT, POINT) { Default(); }
  virtual void OnLButtonDown(UINT, POINT) { Default(); }
  virtual void OnLButtonUp(UINT, POINT) { Default(); }
  virtual void OnLButtonDblClk(UINT, POINT) { Default(); }
  virtual void OnRButtonDown(UINT, POINT) { Default(); }
  virtual void OnRButtonUp(UINT, POINT) { Default(); }
  virtual void OnCancelMode() { Default(); }
  virtual void OnCaptureChanged(HWND) { Default(); }
  virtual void OnKillFocus(HWND) { Default(); }
  virtual void OnSetFocus(HWND) { Default(); }
  virtual BOOL OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
  virtual void OnTimer(UINT_PTR) { Default(); }
  virtual void OnClose() { Default(); }
  // Command from a menu, accelerator or control. Return true if handled.
  virtual bool OnCommand(UINT, UINT, HWND) { return false; }
  // Notification from a common control. Return true if handled.
  virtual bool OnNotify(NMHDR*, LRESULT*) { return false; }
  // WM_DRAWITEM reflected to the owner-drawn control itself. Return true if drawn.
  virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }
  // WM_CTLCOLOR* reflected to the control itself (msg is the WM_CTLCOLOR*
  // message). Return the brush to paint with, or null for the default.
  virtual HBRUSH CtlColor(HDC, UINT /*msg*/) { return nullptr; }

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Attach(HWND hwnd);
  void Detach();
  LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  HWND hwnd_ = nullptr;
  WNDPROC oldProc_ = nullptr;  // set for subclassed windows
  // The message being handled, for Default().
  struct Current {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  Current* current_ = nullptr;

  friend class Dialog;
};

// A message pump step for tests and modal loops: dispatches everything
// queued for this thread, returns false once WM_QUIT was seen.
bool PumpMessages();

// Registers a window class of this module once: a class of that name
// already registered counts. The size and instance are filled in, and the
// arrow cursor when none is given.
bool RegisterClassOnce(WNDCLASSEXA wc);

// Gives the window the style (style & ~clear) | set, only if that changes
// it: every change is a round trip to the Wine server and two messages.
void ChangeStyle(HWND hwnd, LONG_PTR clear, LONG_PTR set = 0);

}  // namespace glyph
