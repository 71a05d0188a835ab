#include "skin/SkinTooltip.h"

#include <commctrl.h>

#include "framework/Window.h"
#include "skin/SkinNotify.h"

namespace glyph::skin {

SkinNotify* NotifyTargetOf(HWND control) {
  Window* parent = Window::FromHandle(::GetParent(control));
  return dynamic_cast<SkinNotify*>(parent);
}

void SkinTooltip::Set(HWND owner, const char* text, bool activate) {
  if (!text || !owner) return;
  if (!hwnd_) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    hwnd_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) return;
    ::SendMessageA(hwnd_, TTM_ACTIVATE, FALSE, 0);
  }
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = owner;
  ti.uId = 1;
  ti.lpszText = const_cast<char*>(text);
  if (!hasTool_) {
    ::GetClientRect(owner, &ti.rect);
    hasTool_ = ::SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
  } else {
    ::SendMessageA(hwnd_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  }
  ::SendMessageA(hwnd_, TTM_ACTIVATE, activate ? TRUE : FALSE, 0);
}

void SkinTooltip::Relay(HWND owner, UINT msg, WPARAM wp, LPARAM lp) {
  if (!hwnd_) return;
  MSG m{};
  m.hwnd = owner;
  m.message = msg;
  m.wParam = wp;
  m.lParam = lp;
  m.time = static_cast<DWORD>(::GetMessageTime());
  ::GetCursorPos(&m.pt);
  ::SendMessageA(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

void SkinTooltip::Destroy() {
  if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  hasTool_ = false;
}

}  // namespace glyph::skin
