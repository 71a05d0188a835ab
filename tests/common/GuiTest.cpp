#include "tests/common/GuiTest.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <utility>

namespace glyph::test {

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    PumpMessages();
    if (cond()) return true;
    if (::GetTickCount() - start > timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

namespace {

thread_local HHOOK g_hook = nullptr;
thread_local int g_command = IDOK;
thread_local int g_count = 0;
thread_local std::string g_caption;
thread_local RECT g_rect{};
thread_local std::function<void(HWND)> g_before;

LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE) {
    HWND hwnd = reinterpret_cast<HWND>(wp);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "#32770") {
      char caption[256] = {};
      ::GetWindowTextA(hwnd, caption, sizeof caption);
      g_caption = caption;
      ::GetWindowRect(hwnd, &g_rect);
      ++g_count;
      if (g_before) g_before(hwnd);
      ::PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(g_command, BN_CLICKED), 0);
    }
  }
  return ::CallNextHookEx(g_hook, code, wp, lp);
}

}  // namespace

AutoAnswer::AutoAnswer(int command, std::function<void(HWND)> before) {
  g_command = command;
  g_before = std::move(before);
  g_count = 0;
  g_caption.clear();
  g_hook = ::SetWindowsHookExA(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
}

AutoAnswer::~AutoAnswer() {
  if (g_hook) ::UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  g_before = nullptr;
}

int AutoAnswer::Count() const { return g_count; }
const char* AutoAnswer::LastCaption() const { return g_caption.c_str(); }
RECT AutoAnswer::LastRect() const { return g_rect; }

namespace {

// Copies width x height screen pixels from (x, y) of `screen`'s surface.
ClientPixels CopyPixels(HDC screen, int x, int y, int width, int height) {
  ClientPixels out;
  out.width = width;
  out.height = height;
  if (out.width <= 0 || out.height <= 0) return out;
  out.bits.resize(static_cast<size_t>(out.width) * out.height);
  UniqueDC mem(::CreateCompatibleDC(screen));
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = out.width;
  bi.bmiHeader.biHeight = -out.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ScopedSelect sel(mem.Get(), dib.Get());
    ::BitBlt(mem.Get(), 0, 0, out.width, out.height, screen, x, y, SRCCOPY);
    ::GdiFlush();
    std::memcpy(out.bits.data(), bits, out.bits.size() * 4);
  }
  return out;
}

}  // namespace

ClientPixels CaptureClient(HWND hwnd) {
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  WindowDC screen(hwnd);
  return CopyPixels(screen.Get(), 0, 0, rc.right, rc.bottom);
}

ClientPixels CaptureWindow(HWND hwnd) {
  ::RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpMessages();
  RECT r;
  ::GetWindowRect(hwnd, &r);
  WindowDC screen(nullptr);
  return CopyPixels(screen.Get(), r.left, r.top, r.right - r.left, r.bottom - r.top);
}

std::string TooltipText(HWND tooltip, HWND owner, UINT_PTR id) {
  char text[256] = {};
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = owner;
  tool.uId = id;
  tool.lpszText = text;
  ::SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  return text;
}

}  // namespace glyph::test
