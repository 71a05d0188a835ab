// Helpers for tests that drive real windows under Wine.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph::test {

// Pumps this thread's messages until cond() holds or timeoutMs passes.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs = 2000);
// Pumps this thread's messages for about ms milliseconds.
void PumpFor(DWORD ms);

// The text a tooltip control holds for tool `id` of window `owner`.
std::string TooltipText(HWND tooltip, HWND owner, UINT_PTR id = 1);

// While alive, every dialog or message box that this thread activates is
// answered with the given command (IDOK, IDCANCEL, IDYES...). The caption
// and screen rectangle of the last one are kept, so tests can check what
// was asked and where it opened. `before`, when given, sees each dialog
// first (to fill its fields).
class AutoAnswer {
 public:
  explicit AutoAnswer(int command, std::function<void(HWND)> before = {});
  ~AutoAnswer();
  AutoAnswer(const AutoAnswer&) = delete;
  AutoAnswer& operator=(const AutoAnswer&) = delete;
  int Count() const;
  const char* LastCaption() const;
  RECT LastRect() const;
};

// Pixel of a 32-bpp top-down buffer read back from a window's client area.
struct ClientPixels {
  int width = 0, height = 0;
  std::vector<DWORD> bits;  // 0x00RRGGBB
  DWORD At(int x, int y) const { return bits[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};
// Paints hwnd (WM_PRINTCLIENT is not used: the window paints itself, then
// its screen pixels are copied) and returns the client area's pixels.
ClientPixels CaptureClient(HWND hwnd);
// The same for the whole window, non-client edge included, as it is on
// screen.
ClientPixels CaptureWindow(HWND hwnd);

}  // namespace glyph::test
