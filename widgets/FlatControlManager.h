// CFlatControlManager: draws the standard controls of every dialog of a
// thread flat. A window-procedure hook notices each dialog as it
// initialises; the manager subclasses the dialog's controls by window
// class and paints a quiet frame over each control's edge after the
// control has painted itself. A 100 ms timer follows the mouse: the
// control under it (the hot one) and the focused one keep the usual 3-D
// frame.
//
// Under Wine every message sent while a hook is in place costs three round
// trips to the server; a window that creates many controls can instead be
// adopted by hand and the hook installed once its first paint is done
// (InstallWhenIdle).
//
// One manager exists at a time (the application keeps one for its whole
// life). Removing the last hook, or destroying the manager, gives every
// control and dialog its own window procedure back; where another
// subclass has since been put on top of ours, our procedure stays in the
// chain passing every message straight through until the window dies.
#pragma once

#include <windows.h>

#include <map>

#include "framework/Handles.h"
#include "widgets/FlatControls.h"

namespace glyph {

class CFlatControlManager {
 public:
  static constexpr DWORD kCurrentThread = static_cast<DWORD>(-1);
  static constexpr int kDialogMode = 1;
  static constexpr UINT kHoverPeriodMs = 100;

  CFlatControlManager();
  ~CFlatControlManager();
  CFlatControlManager(const CFlatControlManager&) = delete;
  CFlatControlManager& operator=(const CFlatControlManager&) = delete;

  // The live manager, or null.
  static CFlatControlManager* Current();

  // Hooks the thread (only the calling thread can be hooked: the manager's
  // maps belong to one thread). False when the hook cannot be installed.
  bool Install(DWORD threadId = kCurrentThread, int mode = kDialogMode);
  // Hooks the calling thread once its queue has caught up: from a thread
  // timer, whose message comes after every pending paint. Dialogs that
  // initialise before then are not seen unless adopted.
  bool InstallWhenIdle(int mode = kDialogMode);
  // Takes a dialog as the hook does when it initialises (idempotent).
  void Adopt(HWND dialog);
  // Removes the thread's hook; with the last hook gone, the hover timer
  // stops and every control and dialog is given back.
  void Uninstall(DWORD threadId = kCurrentThread);
  // Takes one control (and the children its class calls for). True when
  // the window itself was subclassed.
  bool SubclassControl(HWND hwnd, const char* className = nullptr);
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  FlatControl* Find(HWND hwnd) const;
  bool IsDialogTaken(HWND hwnd) const;
  size_t HookCount() const { return hooks_.size(); }
  size_t ControlCount() const;
  size_t DialogCount() const;
  HWND HotWindow() const { return hot_; }
  bool TimerRunning() const { return timer_ != 0; }
  // One step of the hover timer.
  void CheckHover();

  // Windows whose procedure could not be given back yet (another subclass
  // sits above ours); ours passes their messages straight through.
  static size_t PassThroughCount();

 private:
  void TakeDialog(HWND dialog);
  void Attach(HWND hwnd, FlatKind kind);
  void TakeChildren(HWND hwnd, bool firstOnly);
  void ReleaseAll();
  void StartTimer();
  void StopTimer();
  void Forget(HWND hwnd);
  static LRESULT DialogProc(HWND hwnd, WNDPROC previous, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);

  std::map<DWORD, UniqueHook> hooks_;
  int mode_ = kDialogMode;
  bool enabled_ = true;
  HWND hot_ = nullptr;
  UINT_PTR timer_ = 0;
  UINT_PTR installTimer_ = 0;
};

}  // namespace glyph
