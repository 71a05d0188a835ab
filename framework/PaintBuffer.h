// PaintBuffer: flicker-free painting. Drawing goes to a memory bitmap that
// covers `rect` in the target's own coordinates, and the whole rectangle is
// copied to the target in one step when the buffer dies, so the screen
// never shows a half-drawn state.
//
// On a printer, or when the platform refuses the memory DC or bitmap,
// drawing goes straight to the target; IsOffScreen() tells the two apart
// for a caller that would rather draw nothing than draw in place.
#pragma once

#include <windows.h>

#include "framework/Handles.h"

namespace glyph {

class PaintBuffer {
 public:
  PaintBuffer(HDC target, const RECT& rect);
  ~PaintBuffer();
  PaintBuffer(const PaintBuffer&) = delete;
  PaintBuffer& operator=(const PaintBuffer&) = delete;

  HDC Get() const { return memory_ ? memory_.Get() : target_; }
  operator HDC() const { return Get(); }
  bool IsOffScreen() const { return static_cast<bool>(memory_); }

 private:
  HDC target_;
  RECT rect_;
  UniqueDC memory_;
  UniqueBitmap bitmap_;
  HGDIOBJ displaced_ = nullptr;
};

}  // namespace glyph
