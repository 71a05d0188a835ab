#include "skin/SkinTooltip.h"

#include <commctrl.h>

#include "framework/PlainControls.h"
#include "framework/Window.h"
#include "skin/SkinNotify.h"

namespace glyph::skin {

SkinNotify* NotifyTargetOf(HWND control) {
  Window* parent = Window::FromHandle(::GetParent(control));
  return dynamic_cast<SkinNotify*>(parent);
}

void SkinTooltip::Set(HWND owner, const char* text, bool activate) {
  if (!text || !owner) return;
  owner_ = owner;
  text_ = text;
  active_ = activate;
  waiting_ = true;
  if (hwnd_) Realize();
}

HWND SkinTooltip::Get() const {
  if (waiting_) Realize();
  return hwnd_;
}

bool SkinTooltip::HasTool() const { return Get() && hasTool_; }

void SkinTooltip::Realize() const {
  waiting_ = false;
  if (!hwnd_) {
    LoadCommonControls();
    hwnd_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) return;
    ::SendMessageA(hwnd_, TTM_ACTIVATE, FALSE, 0);
  }
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = owner_;
  ti.uId = 1;
  ti.lpszText = const_cast<char*>(text_.c_str());
  if (!hasTool_) {
    ::GetClientRect(owner_, &ti.rect);
    hasTool_ = ::SendMessageA(hwnd_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
  } else {
    ::SendMessageA(hwnd_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  }
  ::SendMessageA(hwnd_, TTM_ACTIVATE, active_ ? TRUE : FALSE, 0);
}

void SkinTooltip::Relay(HWND owner, UINT msg, WPARAM wp, LPARAM lp) {
  if (!Get()) return;
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
  waiting_ = false;
}

}  // namespace glyph::skin
