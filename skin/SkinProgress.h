// Picture progress bars of the skin: a percentage shown by revealing part of
// a filled picture over an empty one, set by clicking and dragging.
// CSkinProgress is one PROGRESSINFO entry and reports by index to its
// parent (SkinNotify).
#pragma once

#include <string>

#include "skin/SkinButton.h"

namespace glyph::skin {

class CImageProgress : public CHoverButton {
 public:
  using CHoverButton::CHoverButton;
  // Empty picture: that rectangle of Main; filled picture: of Down (adjusted).
  void SetPictures(const RECT& rect, HBITMAP main, HBITMAP down);
  void SetAlongHeight(bool on) { alongHeight_ = on; }
  bool AlongHeight() const { return alongHeight_; }
  int GetPercent() const { return percent_; }
  void SetPercent(int percent);
  bool IsDragging() const { return dragging_; }

 protected:
  bool DrawItem(const DRAWITEMSTRUCT& dis) override;
  void OnLButtonDown(UINT flags, POINT point) override;
  void OnMouseMove(UINT flags, POINT point) override;
  void OnLButtonUp(UINT flags, POINT point) override;

  int PercentAt(POINT point) const;

  bool alongHeight_ = false;
  bool dragging_ = false;
  int percent_ = 0;
};

class CSkinProgress : public CImageProgress {
 public:
  CSkinProgress(const SkinContext& context, std::string name, int index)
      : CImageProgress(context), name_(std::move(name)), index_(index) {}
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }

 protected:
  void OnMouseMove(UINT flags, POINT point) override;
  void OnLButtonUp(UINT flags, POINT point) override;

 private:
  std::string name_;
  int index_;
};

}  // namespace glyph::skin
