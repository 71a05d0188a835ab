// The about box of the main window's context menu: the program's name and
// version, two links to its maker and an OK button with its icon.
#pragma once

#include "framework/Dialog.h"
#include "widgets/HyperLink.h"
#include "widgets/ImageButton.h"

namespace glyph {

constexpr char kMakerMail[] = "glyphsmith@example.org";
constexpr char kMakerSite[] = "https://glyphsmith.example.org/";

class CAboutDialog : public Dialog {
 public:
  CAboutDialog();
  const CHyperLink& GetMailLink() const { return mail_; }
  const CHyperLink& GetSiteLink() const { return site_; }
  const CImageButton& GetOkButton() const { return ok_; }

 protected:
  BOOL OnInitDialog() override;

 private:
  CHyperLink mail_;
  CHyperLink site_;
  CImageButton ok_;
};

}  // namespace glyph
