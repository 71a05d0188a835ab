// Dialogs from .rc templates.
//
// A dialog whose controls hold text in any script is made wide: the
// dialog manager then creates its controls as wide windows, which keep
// text outside the ANSI code page.
//
// The dialog procedure only takes WM_INITDIALOG: there the dialog subclasses
// its own window, so every later message reaches the same typed handlers
// as any other Window, and Default() is the dialog manager's processing.
//
// A dialog that opens over the window it belongs to calls CenterOnOwner()
// while it initialises: the platform would put it in the middle of the
// screen, away from the window the user works in.
#pragma once

#include "framework/Window.h"

namespace glyph {

class Dialog : public Window {
 public:
  explicit Dialog(UINT templateId, bool wide = false) : templateId_(templateId), wide_(wide) {}

  // Runs the dialog modally; returns the EndDialog code, or -1 on failure.
  INT_PTR DoModal(HWND parent);
  // Creates the dialog modeless; it lives until DestroyWindow or the object dies.
  bool CreateModeless(HWND parent);
  void EndDialog(INT_PTR result);
  bool IsModal() const { return modal_; }
  HWND GetItem(int id) const { return ::GetDlgItem(GetHwnd(), id); }
  UINT GetTemplateId() const { return templateId_; }
  // Centres the dialog on its owner (on its monitor's work area when it has
  // none), moved as little as needed to lie wholly on the owner's monitor.
  void CenterOnOwner();

 protected:
  // Return TRUE to let the dialog manager set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  UINT templateId_;
  bool wide_;
  bool modal_ = false;
};

// Where a window of `window`'s size goes: centred on `owner`, then moved
// into `work` as far as it fits (its top left corner wins when it does not).
RECT CenteredRect(const RECT& window, const RECT& owner, const RECT& work);

}  // namespace glyph
