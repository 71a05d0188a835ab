// Picture sliders of the skin.
//
// CImageSlider is a slider that paints itself from a background piece of
// the skin and a thumb picture (a second one while the mouse is over the
// thumb), and drags the thumb with its own arithmetic (SkinGeometry.h);
// its skin context (which must outlive it) reads and recolours the thumbs.
// It behaves as the trackbar control does, without needing the common
// controls library: it answers the trackbar's range and position messages
// (TBM_GETPOS, TBM_SETPOS, TBM_GETRANGEMIN/MAX, TBM_SETRANGEMIN/MAX,
// TBM_SETRANGE, TBM_GETPAGESIZE, TBM_GETLINESIZE), takes TBS_VERT, moves
// by the arrow keys, Page Up/Down, Home, End and the wheel (forward
// towards the minimum), pages towards a click beside the thumb (again
// while the button is held), and sends its parent WM_HSCROLL or WM_VSCROLL
// with the trackbar's codes. Focused, it draws the focus mark
// (SkinFocus.h). CSkinTrackbar is one TRACKBARINFO entry: it reports
// movements by index to its parent (SkinNotify). The parent hands the
// slider's scroll messages back to it with ReflectSkinScroll.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Window.h"
#include "skin/SkinContext.h"
#include "skin/SkinGeometry.h"
#include "skin/SkinTooltip.h"

namespace glyph::skin {

class CImageSlider : public Window {
 public:
  // What a skinned slider reports: the thumb is moving, the movement ended.
  static constexpr int kTracking = 4;
  static constexpr int kTrackEnded = 8;

  explicit CImageSlider(const SkinContext& context) : context_(context) {}
  ~CImageSlider() override;

  // A visible slider child with control id 0.
  bool Create(HWND parent, const RECT& rect, bool vertical);
  // Background: that rectangle of the Main screen; thumbs: pictures read
  // through the context's archive and colour-adjusted.
  virtual void SetPictures(const RECT& rect, HBITMAP main, const std::string& thumb,
                           const std::string& thumbHot);
  void SetRangeAndPosition(int minimum, int maximum, int position);
  void SetTooltip(const char* text, bool activate);
  HWND GetTooltip() const { return tooltip_.Get(); }

  int GetPosition() const;
  bool IsHot() const { return hot_; }
  bool IsGrabbed() const { return grabbed_; }
  SkinRect ThumbRectNow() const;

  // A scroll message this control sent to its parent, handed back.
  virtual void OnReflectedScroll(int code, int position);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC) override { return FALSE; }
  void OnLButtonDown(UINT flags, POINT point) override;
  void OnMouseMove(UINT flags, POINT point) override;
  void OnLButtonUp(UINT flags, POINT point) override;
  void OnCaptureChanged(HWND) override;
  void OnSetFocus(HWND) override;
  void OnKillFocus(HWND) override;
  void OnTimer(UINT_PTR id) override;

  SliderGeometry Geometry() const;
  void Repaint();

  UniqueBitmap background_, thumb_, thumbHot_;
  bool hot_ = false;
  bool grabbed_ = false;

 private:
  static constexpr UINT_PTR kPageTimer = 1;

  // Moves to the position (clamped to the range); whether it changed.
  bool MoveTo(int position);
  // Sends the parent a scroll message with a trackbar code.
  void Scroll(int code);
  // The key's movement (a trackbar code and where it leads), false for
  // other keys.
  bool KeyMove(WPARAM key, int* code, int* position) const;
  // Which way a click at the point pages: TB_PAGEUP, TB_PAGEDOWN, or 0
  // over the thumb.
  int PageTowards(POINT point) const;
  // One page the way paging_ says, reported when the slider moved.
  void PageOnce();
  void StopPaging();

  const SkinContext& context_;
  SkinTooltip tooltip_;
  int minimum_ = 0, maximum_ = 100, position_ = 0;
  int paging_ = 0;  // TB_PAGEUP or TB_PAGEDOWN while a click beside the thumb is held
  int wheel_ = 0;   // wheel movement short of a notch
  ScopedTimer pageTimer_;
};

class CSkinTrackbar : public CImageSlider {
 public:
  CSkinTrackbar(const SkinContext& context, std::string name, int index)
      : CImageSlider(context), name_(std::move(name)), index_(index) {}
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }
  bool IsPressed() const { return pressed_; }
  void SetPictures(const RECT& rect, HBITMAP main, const std::string& thumb,
                   const std::string& thumbHot) override;
  void OnReflectedScroll(int code, int position) override;

 protected:
  void OnLButtonDown(UINT flags, POINT point) override;
  void OnMouseMove(UINT flags, POINT point) override;
  void OnLButtonUp(UINT flags, POINT point) override;

 private:
  void Notify(int code, int position);

  std::string name_;
  int index_;
  bool pressed_ = false;
};

// For a parent's WM_HSCROLL / WM_VSCROLL: hands the message to the image
// slider that sent it. Returns true when it was one.
bool ReflectSkinScroll(UINT msg, WPARAM wp, LPARAM lp);

}  // namespace glyph::skin
