#include "editor/FileExportDialog.h"

#include <dlgs.h>

#include <cstring>

namespace glyph {

CFileExportDialog::CFileExportDialog(const std::string& title, const std::string& filters,
                                     const std::string& defaultName)
    : filter_(ExportFilter::Parse(filters)), platformFilter_(filter_.PlatformFilter()), title_(title) {
  const std::string initial = filter_.InitialName(defaultName);
  std::memcpy(name_, initial.c_str(), initial.size() + 1);
  if (!defaultName.empty()) formatIndex_ = filter_.FormatIndexFor(defaultName);
}

std::string CFileExportDialog::GetFileName() const {
  return fileOffset_ < path_.size() ? path_.substr(fileOffset_) : path_;
}

bool CFileExportDialog::DoModal(HWND owner) {
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = platformFilter_.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(formatIndex_);
  ofn.lpstrFile = name_;
  ofn.nMaxFile = sizeof name_;
  ofn.lpstrTitle = title_.c_str();
  ofn.lpstrDefExt = nullptr;
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
  ofn.lpfnHook = &CFileExportDialog::HookProc;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);
  if (!::GetSaveFileNameA(&ofn)) return false;
  path_ = name_;
  fileOffset_ = ofn.nFileOffset;
  formatIndex_ = static_cast<int>(ofn.nFilterIndex);
  return true;
}

UINT_PTR CALLBACK CFileExportDialog::HookProc(HWND hook, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    ::SetWindowLongPtrA(hook, GWLP_USERDATA, reinterpret_cast<const OPENFILENAMEA*>(lp)->lCustData);
    return 0;
  }
  auto* self = reinterpret_cast<CFileExportDialog*>(::GetWindowLongPtrA(hook, GWLP_USERDATA));
  if (msg == WM_APP && self && self->shown_) {
    self->shown_(::GetParent(hook));
    return 0;
  }
  if (msg != WM_NOTIFY) return 0;
  const auto* notify = reinterpret_cast<const OFNOTIFYA*>(lp);
  if (!self || !notify) return 0;
  // The hook is a child of the real dialog window.
  HWND dialog = ::GetParent(hook);
  switch (notify->hdr.code) {
    case CDN_TYPECHANGE:
      self->OnTypeChange(dialog, *notify->lpOFN);
      break;
    case CDN_INITDONE:
      if (self->shown_) {
        // Run after the dialog's own initialisation has finished.
        ::PostMessageA(hook, WM_APP, 0, 0);
      }
      break;
    default:
      break;
  }
  return 0;
}

void CFileExportDialog::OnTypeChange(HWND dialog, const OPENFILENAMEA& ofn) {
  const size_t type = ofn.nFilterIndex;
  if (type < 1 || type > filter_.descriptions.size()) return;
  char typedName[ExportFilter::kMaxName + 1] = {};
  const LRESULT length = CommDlg_OpenSave_GetSpec(dialog, typedName, sizeof typedName);
  const std::string name = length > 0 ? std::string(typedName) : std::string();
  std::string renamed = ApplyExtension(name, ExtensionOfDescription(filter_.descriptions[type - 1]));
  if (renamed.size() > ExportFilter::kMaxName) renamed.resize(ExportFilter::kMaxName);
  CommDlg_OpenSave_SetControlText(dialog, cmb13, renamed.c_str());
  formatIndex_ = static_cast<int>(type);
}

}  // namespace glyph
