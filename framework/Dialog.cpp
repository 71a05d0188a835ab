#include "framework/Dialog.h"

namespace glyph {

INT_PTR Dialog::DoModal(HWND parent) {
  modal_ = true;
  const LPARAM self = reinterpret_cast<LPARAM>(this);
  HINSTANCE module = ::GetModuleHandleA(nullptr);
  INT_PTR result =
      wide_ ? ::DialogBoxParamW(module, MAKEINTRESOURCEW(templateId_), parent, &Dialog::StaticDlgProc, self)
            : ::DialogBoxParamA(module, MAKEINTRESOURCEA(templateId_), parent, &Dialog::StaticDlgProc, self);
  modal_ = false;
  return result;
}

bool Dialog::CreateModeless(HWND parent) {
  modal_ = false;
  const LPARAM self = reinterpret_cast<LPARAM>(this);
  HINSTANCE module = ::GetModuleHandleA(nullptr);
  HWND hwnd =
      wide_
          ? ::CreateDialogParamW(module, MAKEINTRESOURCEW(templateId_), parent, &Dialog::StaticDlgProc, self)
          : ::CreateDialogParamA(module, MAKEINTRESOURCEA(templateId_), parent, &Dialog::StaticDlgProc, self);
  return hwnd != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
  if (!GetHwnd()) return;
  if (modal_) {
    ::EndDialog(GetHwnd(), result);
  } else {
    DestroyWindow();
  }
}

RECT CenteredRect(const RECT& window, const RECT& owner, const RECT& work) {
  const LONG width = window.right - window.left, height = window.bottom - window.top;
  LONG left = owner.left + (owner.right - owner.left - width) / 2;
  LONG top = owner.top + (owner.bottom - owner.top - height) / 2;
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  return RECT{left, top, left + width, top + height};
}

void Dialog::CenterOnOwner() {
  HWND hwnd = GetHwnd();
  HWND owner = ::GetWindow(hwnd, GW_OWNER);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoA(::MonitorFromWindow(owner ? owner : hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
    return;
  RECT window{}, ownerRect = monitor.rcWork;
  if (!::GetWindowRect(hwnd, &window)) return;
  // A minimised owner's rectangle is its icon's: centre on its normal place.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (owner && ::IsIconic(owner) && ::GetWindowPlacement(owner, &placement)) {
    ownerRect = placement.rcNormalPosition;
  } else if (owner) {
    ::GetWindowRect(owner, &ownerRect);
  }
  const RECT r = CenteredRect(window, ownerRect, monitor.rcWork);
  ::SetWindowPos(hwnd, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Dialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_INITDIALOG) return FALSE;
  auto* self = reinterpret_cast<Dialog*>(lp);
  if (!self || !self->Subclass(hwnd)) return TRUE;
  return self->OnInitDialog();
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_COMMAND) return Window::WindowProc(msg, wp, lp);
  // Every command is offered to OnCommand once; what it declines and is
  // Enter or Escape (IDOK / IDCANCEL with no control) or a click on the OK
  // or Cancel button goes to OnOK / OnCancel.
  const UINT id = LOWORD(wp);
  const UINT code = HIWORD(wp);
  if (OnCommand(id, code, reinterpret_cast<HWND>(lp))) return 0;
  if (lp == 0 || code == BN_CLICKED) {
    if (id == IDOK) {
      OnOK();
      return 0;
    }
    if (id == IDCANCEL) {
      OnCancel();
      return 0;
    }
  }
  return Default();
}

}  // namespace glyph
