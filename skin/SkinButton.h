// Picture buttons of the skin.
//
// CHoverButton is an owner-drawn button that shows one of four pictures
// (normal, over, down, disabled), knows when the mouse is over it by
// holding the mouse capture, carries a tooltip, draws the focus mark while
// focused (SkinFocus.h) and is pressed by Space and Enter. CSkinButton is
// one BUTTONINFO entry: it cuts its pictures out of the skin's four screens
// and reports clicks, by mouse or key, by index to its parent (SkinNotify).
//
// Every skinned control belongs to one skin context (its window's), which
// must outlive it; the context recolours the pieces it cuts.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Window.h"
#include "skin/SkinContext.h"
#include "skin/SkinTooltip.h"

namespace glyph::skin {

class CHoverButton : public Window {
 public:
  explicit CHoverButton(const SkinContext& context) : context_(context) {}
  ~CHoverButton() override;

  // A visible owner-drawn child button with empty text and control id 0.
  bool Create(HWND parent, const RECT& rect);
  // The four pictures become that rectangle of the four skin screens; the
  // over, down and disabled pieces are colour-adjusted. Without an over
  // screen the button shows its normal picture while hot, until
  // SetOverPicture gives it one.
  void SetPictures(int left, int top, int right, int bottom, HBITMAP normal, HBITMAP over, HBITMAP down,
                   HBITMAP disabled);
  void SetOverPicture(const RECT& rect, HBITMAP over);
  void SetTooltip(const char* text, bool activate);
  void SetLatched(bool latched);
  bool IsLatched() const { return latched_; }
  void SetToggleStyle(bool toggle) { toggle_ = toggle; }
  bool IsToggleStyle() const { return toggle_; }
  bool IsHot() const { return hot_; }
  HWND GetTooltip() const { return tooltip_.Get(); }

  // Which picture DrawItem shows for the given item state.
  enum class Picture { Normal, Over, Down, Disabled };
  Picture PictureFor(bool selected, bool disabled) const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void PreSubclassWindow() override;
  bool DrawItem(const DRAWITEMSTRUCT& dis) override;
  void OnMouseMove(UINT flags, POINT point) override;
  void OnKillFocus(HWND) override;
  void OnSetFocus(HWND) override;
  void OnCaptureChanged(HWND) override;
  // Space or Enter went down (not a repeat) or came up while focused.
  virtual void KeyPressed(bool /*down*/) {}
  // The focus mark appeared or went: what must be drawn again.
  virtual void RedrawFocus();
  BOOL OnEraseBkgnd(HDC) override { return FALSE; }
  // An owner-drawn button may fill itself with this brush before it asks
  // for its picture (Wine does): a skinned control shows only what it draws.
  HBRUSH CtlColor(HDC, UINT) override { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

  // Hot while the mouse is over the button (mouse capture held).
  void TrackHover(UINT flags, POINT point);
  // Whether the left button went down on this control since its last
  // release, forgetting it: a release acts only after a press of its own
  // (a release may come without one, e.g. when a slider let the capture go
  // while the button was held).
  bool TakePress();
  void SetHot(bool hot);
  HBITMAP Bitmap(Picture p) const;
  void RemoveFrameStyles();
  const SkinContext& Context() const { return context_; }

  UniqueBitmap normal_, over_, down_, disabled_;
  bool latched_ = false;
  bool toggle_ = false;
  bool hot_ = false;

 private:
  const SkinContext& context_;
  bool pressed_ = false;
  SkinTooltip tooltip_;
};

class CSkinButton : public CHoverButton {
 public:
  CSkinButton(const SkinContext& context, std::string name, int index)
      : CHoverButton(context), name_(std::move(name)), index_(index) {}

  const std::string& Name() const { return name_; }
  int Index() const { return index_; }
  // Reports on press and on release (wherever released) as well.
  void SetPressAndRelease(bool on) { pressAndRelease_ = on; }
  bool PressAndRelease() const { return pressAndRelease_; }
  void SetPictures(int left, int top, int right, int bottom, HBITMAP normal, HBITMAP over, HBITMAP down,
                   HBITMAP disabled);

 protected:
  void OnLButtonDown(UINT flags, POINT point) override;
  void OnLButtonUp(UINT flags, POINT point) override;
  void OnLButtonDblClk(UINT flags, POINT point) override;
  void OnMouseMove(UINT flags, POINT point) override;
  // A key press clicks; a button reporting press and release hears both.
  void KeyPressed(bool down) override;

 private:
  bool Inside(POINT point) const;
  void NotifyClicked();

  std::string name_;
  int index_;
  bool pressAndRelease_ = false;
};

}  // namespace glyph::skin
