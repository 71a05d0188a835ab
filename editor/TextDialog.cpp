#include "editor/TextDialog.h"

#include <commdlg.h>

#include "editor/BitmapView.h"
#include "framework/ResourceIds.h"
#include "framework/WindowText.h"

namespace glyph {
namespace {

class ChooseFontChooser final : public FontChooser {
 public:
  bool Choose(HWND owner, LOGFONTW& font) override {
    LOGFONTW chosen = font;
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &chosen;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!::ChooseFontW(&cf)) return false;
    font = chosen;
    return true;
  }
};

}  // namespace

FontChooser& PlatformFontChooser() {
  static ChooseFontChooser chooser;
  return chooser;
}

CTextDialog::CTextDialog(const std::wstring& text, const LOGFONTW& font, FontChooser* chooser)
    : Dialog(IDD_ENTER_TEXT, true),
      text_(text),
      font_(font),
      chooser_(chooser ? chooser : &PlatformFontChooser()) {}

BOOL CTextDialog::OnInitDialog() {
  ::SetDlgItemTextW(GetHwnd(), IDC_TEXT, text_.c_str());
  constexpr int kIconSide = 16;
  const struct {
    CImageButton& button;
    int id;
    UINT icon;
  } buttons[] = {{fontButton_, IDC_SELECT_FONT, IDI_SELECT_FONT},
                 {okButton_, IDOK, IDI_OK},
                 {cancelButton_, IDCANCEL, IDI_CANCEL}};
  for (const auto& b : buttons) {
    if (b.button.Subclass(GetItem(b.id))) b.button.SetIcon(b.icon, 0, kIconSide, kIconSide);
  }
  CenterOnOwner();
  return TRUE;
}

bool CTextDialog::OnCommand(UINT id, UINT code, HWND) {
  if (id != IDC_SELECT_FONT || code != BN_CLICKED) return false;
  chooser_->Choose(GetHwnd(), font_);
  return true;
}

void CTextDialog::OnOK() {
  text_ = WindowTextW(GetItem(IDC_TEXT));
  Dialog::OnOK();
}

bool EditCanvasText(HWND owner, CBitmapView& view, FontChooser* chooser) {
  CTextDialog dialog(view.GetText(), view.GetTextFont(), chooser);
  if (dialog.DoModal(owner) != IDOK) return false;
  view.SetText(dialog.GetText(), dialog.GetFont());
  return true;
}

}  // namespace glyph
