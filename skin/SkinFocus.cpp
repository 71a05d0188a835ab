#include "skin/SkinFocus.h"

#include "framework/Handles.h"

namespace glyph::skin {

bool ShowsFocusMark(HWND control) {
  if (!control || ::GetFocus() != control) return false;
  HWND window = ::GetParent(control);
  const LRESULT state = ::SendMessageA(window ? window : control, WM_QUERYUISTATE, 0, 0);
  return (state & UISF_HIDEFOCUS) == 0;
}

void DrawFocusMark(HDC dc, const RECT& client) {
  constexpr int kInset = 1;
  if (client.right - client.left <= 2 * kInset || client.bottom - client.top <= 2 * kInset) return;
  // Black dashes over white gaps: one of the two stands out on any picture.
  UniquePen pen(::CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
  ScopedSelect selectPen(dc, pen.Get());
  ScopedSelect selectBrush(dc, ::GetStockObject(NULL_BRUSH));
  const int oldMode = ::SetBkMode(dc, OPAQUE);
  const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
  ::Rectangle(dc, client.left + kInset, client.top + kInset, client.right - kInset, client.bottom - kInset);
  ::SetBkColor(dc, oldBack);
  ::SetBkMode(dc, oldMode);
}

bool WantsPressKey(LPARAM msg) {
  const auto* m = reinterpret_cast<const MSG*>(msg);
  return m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN;
}

PressKey PressKeyOf(UINT message, WPARAM key, LPARAM flags) {
  if (key != VK_SPACE && key != VK_RETURN) return PressKey::kNone;
  constexpr LPARAM kWasDown = 1 << 30;
  if (message == WM_KEYDOWN) return (flags & kWasDown) ? PressKey::kRepeat : PressKey::kDown;
  return message == WM_KEYUP ? PressKey::kUp : PressKey::kNone;
}

}  // namespace glyph::skin
