#include "app/AboutDialog.h"

#include <string>

#include "framework/ResourceIds.h"

namespace glyph {

CAboutDialog::CAboutDialog() : Dialog(IDD_ABOUT) {}

BOOL CAboutDialog::OnInitDialog() {
  mail_.SetLink(std::string("mailto:") + kMakerMail);
  site_.SetLink(kMakerSite);
  mail_.Subclass(GetItem(IDC_MAIL_LINK));
  site_.Subclass(GetItem(IDC_SITE_LINK));
  if (ok_.Subclass(GetItem(IDOK))) ok_.SetIcon(IDI_OK, 0, 16, 16);
  CenterOnOwner();
  return TRUE;
}

}  // namespace glyph
