#include "app/ColorWell.h"

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
  UniqueBrush brush(::CreateSolidBrush(color_));
  ::FillRect(dc.Get(), &client, brush.Get());
}

}  // namespace glyph
