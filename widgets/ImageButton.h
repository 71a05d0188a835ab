// CImageButton: an owner-drawn push button with a small icon beside its
// caption, a lit look while the mouse is over it and its own 3-D border in
// shades of the button face colour.
//
// Attach it to an existing push button with Subclass(); the button becomes
// owner-drawn and draws itself when its parent (a glyph::Window, such as a
// glyph::Dialog) reflects WM_DRAWITEM to it. Then give it its icons with
// SetIcon or SetIconHandles.
#pragma once

#include <windows.h>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph {

class CImageButton : public Window {
 public:
  // The timer that checks whether the pointer has left the button.
  static constexpr UINT_PTR kHoverTimer = 10;
  static constexpr UINT kHoverPeriodMs = 100;

  CImageButton();
  ~CImageButton() override;

  // Loads the icons from the program's resources (restingId 0: the lit icon
  // serves both states). A resource that cannot be loaded leaves no icon.
  void SetIcon(UINT litId, UINT restingId, int width, int height);
  // Takes ownership of the icons (resting null: the lit icon serves both)
  // and redraws the button at once.
  void SetIconHandles(HICON lit, HICON resting, int width, int height);

  bool IsMouseOver() const { return mouseOver_ != 0; }
  HICON GetLitIcon() const { return lit_.Get(); }
  HICON GetRestingIcon() const { return resting_; }
  COLORREF GetRestingBackground() const { return restingBack_; }
  COLORREF GetLitBackground() const { return litBack_; }

  bool DrawItem(const DRAWITEMSTRUCT& dis) override;

 protected:
  void PreSubclassWindow() override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnTimer(UINT_PTR id) override;
  void OnKillFocus(HWND newFocus) override;
  void OnCaptureChanged(HWND newCapture) override;

 private:
  void Draw(HDC dc, const DRAWITEMSTRUCT& dis);
  void Repaint();
  void LeaveHover();

  UniqueIcon lit_;
  UniqueIcon restingOwned_;  // only when it differs from the lit icon
  HICON resting_ = nullptr;  // view: restingOwned_ or lit_
  BYTE iconWidth_ = 0;
  BYTE iconHeight_ = 0;
  int mouseOver_ = 0;
  COLORREF restingBack_;
  COLORREF restingText_;
  COLORREF litBack_;
  COLORREF litText_;
  ScopedTimer hoverTimer_;
};

}  // namespace glyph
