#include "widgets/ResizableDialog.h"

namespace glyph {

BOOL CResizableDialog::OnInitDialog() { return InitLayout() ? TRUE : FALSE; }

bool CResizableDialog::InitLayout() {
  Dialog::OnInitDialog();
  layout_.SetOwner(GetHwnd());
  layout_.Init();
  return true;
}

void CResizableDialog::OnDestroy() {
  layout_.RemoveAll();
  Default();
}

void CResizableDialog::OnSize(UINT type, int width, int height) {
  layout_.OnSize(type, width, height);
  Default();
}

LRESULT CResizableDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_GETMINMAXINFO) {
    const LRESULT result = Default();
    layout_.OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));
    return result;
  }
  return Dialog::WindowProc(msg, wp, lp);
}

}  // namespace glyph
