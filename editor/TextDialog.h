// The "Enter text" dialog of the text tool: one line of text and the font
// it is drawn with. Text and font go through the wide functions, so text in
// any script reaches the canvas unchanged.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Dialog.h"
#include "widgets/ImageButton.h"

namespace glyph {

class CBitmapView;

// The platform font dialog behind a seam, so tests never block on it.
class FontChooser {
 public:
  virtual ~FontChooser() = default;
  // Shows the choice initialised from `font`; true and `font` updated on OK.
  virtual bool Choose(HWND owner, LOGFONTW& font) = 0;
};
// ChooseFont over the screen fonts.
FontChooser& PlatformFontChooser();

class CTextDialog : public Dialog {
 public:
  CTextDialog(const std::wstring& text, const LOGFONTW& font, FontChooser* chooser = nullptr);
  const std::wstring& GetText() const { return text_; }
  const LOGFONTW& GetFont() const { return font_; }
  // The buttons with their 16 x 16 icons (while the dialog is up).
  const CImageButton& GetFontButton() const { return fontButton_; }
  const CImageButton& GetOkButton() const { return okButton_; }
  const CImageButton& GetCancelButton() const { return cancelButton_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  void OnOK() override;

 private:
  std::wstring text_;
  LOGFONTW font_;
  FontChooser* chooser_;
  CImageButton fontButton_;
  CImageButton okButton_;
  CImageButton cancelButton_;
};

// Runs the dialog filled from the canvas and hands text and font back to
// it on OK. Returns true on OK.
bool EditCanvasText(HWND owner, CBitmapView& view, FontChooser* chooser = nullptr);

}  // namespace glyph
