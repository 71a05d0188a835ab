#include "app/ColorWell.h"

#include "editor/CanvasRaster.h"
#include "framework/Handles.h"

namespace glyph {

void CColorWell::Refresh() {
  if (GetHwnd()) ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CColorWell::OnPaint() {
  PaintDC dc(GetHwnd());
  RECT client;
  ::GetClientRect(GetHwnd(), &client);
  BITMAP info{};
  if (picture_ && ::GetObjectA(picture_, sizeof info, &info)) {
    UniqueDC memory(::CreateCompatibleDC(dc.Get()));
    ScopedSelect select(memory.Get(), picture_);
    ::SetStretchBltMode(dc.Get(), COLORONCOLOR);
    ::StretchBlt(dc.Get(), 0, 0, client.right, client.bottom, memory.Get(), 0, 0, info.bmWidth, info.bmHeight,
                 SRCCOPY);
    return;
  }
  if (alpha_ >= kAlphaOpaque) {
    UniqueBrush brush(::CreateSolidBrush(color_));
    ::FillRect(dc.Get(), &client, brush.Get());
    return;
  }
  const Pixel color = PixelFromColor(color_);
  const Pixel grounds[2] = {kCheckerLight, kCheckerDark};
  UniqueBrush brushes[2];
  for (int i = 0; i < 2; ++i)
    brushes[i].Reset(::CreateSolidBrush(ColorFromPixel(OverBacking(WithAlpha(color, alpha_), grounds[i]))));
  for (int y = 0; y < client.bottom; y += kCheckerSquare) {
    for (int x = 0; x < client.right; x += kCheckerSquare) {
      const RECT square{x, y, x + kCheckerSquare, y + kCheckerSquare};
      ::FillRect(dc.Get(), &square, brushes[(x / kCheckerSquare + y / kCheckerSquare) % 2].Get());
    }
  }
}

}  // namespace glyph
