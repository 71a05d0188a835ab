#include "framework/Dialog.h"

namespace glyph {

INT_PTR Dialog::DoModal(HWND parent) {
  modal_ = true;
  INT_PTR result = ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent,
                                     &Dialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
  modal_ = false;
  return result;
}

bool Dialog::CreateModeless(HWND parent) {
  modal_ = false;
  return ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent,
                              &Dialog::StaticDlgProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
  if (!GetHwnd()) return;
  if (modal_) {
    ::EndDialog(GetHwnd(), result);
  } else {
    DestroyWindow();
  }
}

INT_PTR CALLBACK Dialog::StaticDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM lp) {
  if (msg != WM_INITDIALOG) return FALSE;
  auto* self = reinterpret_cast<Dialog*>(lp);
  if (!self || !self->Subclass(hwnd)) return TRUE;
  return self->OnInitDialog();
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Enter and Escape arrive as IDOK / IDCANCEL with no control; buttons
  // as BN_CLICKED from the control.
  if (msg == WM_COMMAND && (lp == 0 || HIWORD(wp) == BN_CLICKED)) {
    if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
    if (LOWORD(wp) == IDOK) {
      OnOK();
      return 0;
    }
    if (LOWORD(wp) == IDCANCEL) {
      OnCancel();
      return 0;
    }
  }
  return Window::WindowProc(msg, wp, lp);
}

}  // namespace glyph
