// What skinned controls tell their parent. Any parent window object that
// implements SkinNotify receives the notifications of the skinned controls
// on it; CSkinDialog is the one the program uses.
#pragma once

#include <windows.h>

#include <string>

namespace glyph::skin {

class SkinNotify {
 public:
  virtual ~SkinNotify() = default;
  virtual void ProgressNotifyByIndex(int /*index*/) {}
  virtual void ButtonClickedByIndex(int /*index*/) {}
  // code: the trackbar's scroll codes (TB_THUMBTRACK 4 while dragging,
  // TB_ENDTRACK 8 at the end of a movement, or a scroll message's code).
  virtual void TrackbarNotifyByIndex(int /*index*/, int /*code*/, int /*position*/) {}
  virtual void TextClickedByIndex(int /*index*/) {}
  // A mouse move over a control (its name) or over the background ("").
  virtual void SkinMouseMove(const std::string& /*name*/, UINT /*flags*/, POINT /*point*/) {}
  // A control is about to show a picture the parent may still be loading
  // (a button's hover picture).
  virtual void PicturesNeeded() {}
};

// The notification target of a control: its parent's window object, when
// that implements SkinNotify.
SkinNotify* NotifyTargetOf(HWND control);

}  // namespace glyph::skin
