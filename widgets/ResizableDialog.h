// CResizableDialog: a dialog with a sizing frame whose controls follow the
// frame through its CDialogLayout. A derived dialog calls InitLayout first
// in its OnInitDialog, then registers its controls with Layout(), then
// restores its placement.
#pragma once

#include "framework/Dialog.h"
#include "widgets/DialogLayout.h"

namespace glyph {

class CResizableDialog : public Dialog {
 public:
  explicit CResizableDialog(UINT templateId) : Dialog(templateId) {}

  CDialogLayout& Layout() { return layout_; }

 protected:
  BOOL OnInitDialog() override;
  // The dialog's own initialisation, then the layout's. Returns true.
  virtual bool InitLayout();
  void OnDestroy() override;
  void OnSize(UINT type, int width, int height) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  CDialogLayout layout_;
};

}  // namespace glyph
