// A colour well: a static control that shows a colour value, or a picture
// stretched over it when it has one. A colour that is not opaque shows over
// the canvas's checkerboard, so the well shows what painting with it gives.
// It paints its whole client area and so never erases its background
// separately.
#pragma once

#include <windows.h>

#include "core/Pixels.h"
#include "framework/Window.h"

namespace glyph {

class CColorWell : public Window {
 public:
  void SetColor(ColorValue color) { color_ = color; }
  ColorValue GetColor() const { return color_; }
  // 0 (transparent) to 255 (opaque, the default).
  void SetAlpha(int alpha) { alpha_ = alpha; }
  // Not owned: the caller keeps the bitmap alive while the well shows it.
  void SetPicture(HBITMAP picture) { picture_ = picture; }
  // Repaints with the current colour or picture.
  void Refresh();

 protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }

 private:
  ColorValue color_ = 0;
  int alpha_ = kAlphaOpaque;
  HBITMAP picture_ = nullptr;
};

}  // namespace glyph
