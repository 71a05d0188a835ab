// Picture sliders of the skin.
//
// CImageSlider is a trackbar control that paints itself from a background
// piece of the skin and a thumb picture (a second one while the mouse is
// over the thumb), and drags the thumb with its own arithmetic
// (SkinGeometry.h); its skin context (which must outlive it) reads and
// recolours the thumbs. Focused, it draws the focus mark (SkinFocus.h) and
// the arrow keys move it, as the trackbar control does. CSkinTrackbar is one TRACKBARINFO entry: it reports
// movements by index to its parent (SkinNotify). The parent hands the
// trackbar's scroll messages back to it with ReflectSkinScroll.
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

  // A visible trackbar child with control id 0.
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

  SliderGeometry Geometry() const;
  void Repaint();

  UniqueBitmap background_, thumb_, thumbHot_;
  bool hot_ = false;
  bool grabbed_ = false;

 private:
  const SkinContext& context_;
  SkinTooltip tooltip_;
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
