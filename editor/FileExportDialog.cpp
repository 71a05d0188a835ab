#include "editor/FileExportDialog.h"

#include <commctrl.h>
#include <dlgs.h>

#include "browser/PathParts.h"
#include "framework/ResourceIds.h"

namespace glyph {
namespace {

// The subclass of the dialog window that checks a Save before the dialog.
constexpr UINT_PTR kSubclassId = 1;

std::wstring ControlText(HWND control) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The entries of the option lists, in the order shown, and what each means.
struct Choice {
  const wchar_t* text;
  int value;
};
constexpr Choice kBitsChoices[] = {{L"As they are", CFileExportDialog::kKeepStorage},
                                   {L"32-bit with alpha", 32},
                                   {L"8-bit (256 colours)", 8},
                                   {L"4-bit (16 colours)", 4}};
constexpr Choice kPngChoices[] = {{L"As they are", CFileExportDialog::kKeepStorage},
                                  {L"256 x 256", 256},
                                  {L"128 x 128", 128},
                                  {L"64 x 64", 64},
                                  {L"48 x 48", 48},
                                  {L"No PNG", 0}};
constexpr int kIconOptionControls[] = {IDC_ICON_BITS_LABEL, IDC_ICON_BITS, IDC_PNG_FROM_LABEL, IDC_PNG_FROM};

template <size_t N>
void FillList(HWND list, const Choice (&choices)[N], int selected) {
  for (size_t i = 0; i < N; ++i) {
    ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choices[i].text));
    if (choices[i].value == selected) ::SendMessageW(list, CB_SETCURSEL, i, 0);
  }
}

// The value of the entry chosen, or `fallback` when none is.
template <size_t N>
int ChosenValue(HWND list, const Choice (&choices)[N], int fallback) {
  const LRESULT index = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= N) return fallback;
  return choices[static_cast<size_t>(index)].value;
}

}  // namespace

CFileExportDialog::CFileExportDialog(const std::wstring& title, const std::wstring& filters,
                                     const std::wstring& defaultName)
    : filter_(ExportFilter::Parse(filters)),
      platformFilter_(filter_.PlatformFilter()),
      title_(title),
      name_(kMaxPath + 1, L'\0') {
  const std::wstring initial = filter_.InitialName(defaultName);
  initial.copy(name_.data(), initial.size());
  if (!defaultName.empty()) formatIndex_ = filter_.FormatIndexFor(defaultName);
}

std::wstring CFileExportDialog::GetFileName() const {
  const WidePathParts parts = SplitPath(std::wstring_view(path_));
  return parts.name + parts.extension;
}

std::wstring CFileExportDialog::ChosenExtension() const {
  const size_t type = static_cast<size_t>(formatIndex_);
  if (type < 1 || type > filter_.extensions.size()) return std::wstring();
  return filter_.extensions[type - 1];
}

bool CFileExportDialog::DoModal(HWND owner) {
  const std::wstring extension = ChosenExtension();
  defaultExtension_ = extension.size() > 1 ? extension.substr(1) : std::wstring();
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = platformFilter_.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(formatIndex_);
  ofn.lpstrFile = name_.data();
  ofn.nMaxFile = static_cast<DWORD>(name_.size());
  ofn.lpstrInitialDir = folder_.empty() ? nullptr : folder_.c_str();
  ofn.lpstrTitle = title_.c_str();
  // With a default extension the dialog itself adds the chosen type's
  // extension to a bare name, before its overwrite prompt looks.
  ofn.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  // The program's current folder stays where it was: the folder saved to
  // would otherwise be held in use, and the user could not remove it.
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING |
              OFN_NOCHANGEDIR;
  // The options' part lives in the program's own resources.
  if (iconOptionsFormat_ > 0) {
    ofn.Flags |= OFN_ENABLETEMPLATE;
    ofn.hInstance = ::GetModuleHandleW(nullptr);
    ofn.lpTemplateName = MAKEINTRESOURCEW(IDD_SAVE_OPTIONS);
  }
  ofn.lpfnHook = &CFileExportDialog::HookProc;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);
  if (!::GetSaveFileNameW(&ofn)) return false;
  formatIndex_ = static_cast<int>(ofn.nFilterIndex);
  path_ = WithExtension(name_.data(), ChosenExtension());
  return true;
}

UINT_PTR CALLBACK CFileExportDialog::HookProc(HWND hook, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    const LPARAM self = reinterpret_cast<const OPENFILENAMEW*>(lp)->lCustData;
    ::SetWindowLongPtrW(hook, GWLP_USERDATA, self);
    ::SetWindowSubclass(::GetParent(hook), &CFileExportDialog::DialogProc, kSubclassId,
                        static_cast<DWORD_PTR>(self));
    auto* dialog = reinterpret_cast<const CFileExportDialog*>(self);
    dialog->FillIconOptions(hook);
    dialog->ShowIconOptions(hook);
    return 0;
  }
  auto* self = reinterpret_cast<CFileExportDialog*>(::GetWindowLongPtrW(hook, GWLP_USERDATA));
  if (msg == WM_APP && self && self->shown_) {
    self->shown_(::GetParent(hook));
    return 0;
  }
  if (msg != WM_NOTIFY) return 0;
  const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lp);
  if (!self || !notify) return 0;
  // The hook is a child of the real dialog window.
  HWND dialog = ::GetParent(hook);
  switch (notify->hdr.code) {
    case CDN_TYPECHANGE:
      self->OnTypeChange(dialog, *notify->lpOFN);
      self->ShowIconOptions(hook);
      break;
    case CDN_FILEOK:
      self->ReadIconOptions(hook);
      break;
    case CDN_INITDONE:
      if (self->shown_) {
        // Run after the dialog's own initialisation has finished.
        ::PostMessageW(hook, WM_APP, 0, 0);
      }
      break;
    default:
      break;
  }
  return 0;
}

LRESULT CALLBACK CFileExportDialog::DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                               DWORD_PTR data) {
  // Save, clicked or pressed with Enter.
  if (msg == WM_COMMAND && LOWORD(wp) == IDOK &&
      !reinterpret_cast<CFileExportDialog*>(data)->TypedPathFits(dialog))
    return 0;
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(dialog, &CFileExportDialog::DialogProc, kSubclassId);
  return ::DefSubclassProc(dialog, msg, wp, lp);
}

size_t TypedDialogPathLength(HWND dialog, const std::wstring& extension) {
  const std::wstring typed = ControlText(::GetDlgItem(dialog, cmb13));
  std::vector<wchar_t> folder(CFileExportDialog::kMaxPath + 1, L'\0');
  ::SendMessageW(dialog, CDM_GETFOLDERPATH, static_cast<WPARAM>(folder.size()),
                 reinterpret_cast<LPARAM>(folder.data()));
  return DialogPathLength(folder.data(), typed, extension);
}

bool CFileExportDialog::TypedPathFits(HWND dialog) {
  if (TypedDialogPathLength(dialog, ChosenExtension()) < MAX_PATH) return true;
  sink_->Show(dialog, L"The path is too long to save: folder and file name together may have at most " +
                          std::to_wstring(MAX_PATH - 1) +
                          L" characters. Choose a shorter name or another folder.");
  return false;
}

// The hook's window is the options' part when there is one; without it
// the lists are not found and these do nothing.
void CFileExportDialog::FillIconOptions(HWND hook) const {
  if (HWND bits = ::GetDlgItem(hook, IDC_ICON_BITS)) FillList(bits, kBitsChoices, iconBits_);
  if (HWND png = ::GetDlgItem(hook, IDC_PNG_FROM)) FillList(png, kPngChoices, pngFrom_);
}

void CFileExportDialog::ShowIconOptions(HWND hook) const {
  const int show = formatIndex_ == iconOptionsFormat_ ? SW_SHOW : SW_HIDE;
  for (const int id : kIconOptionControls)
    if (HWND control = ::GetDlgItem(hook, id)) ::ShowWindow(control, show);
}

void CFileExportDialog::ReadIconOptions(HWND hook) {
  if (HWND bits = ::GetDlgItem(hook, IDC_ICON_BITS)) iconBits_ = ChosenValue(bits, kBitsChoices, iconBits_);
  if (HWND png = ::GetDlgItem(hook, IDC_PNG_FROM)) pngFrom_ = ChosenValue(png, kPngChoices, pngFrom_);
}

void CFileExportDialog::OnTypeChange(HWND dialog, OPENFILENAMEW& ofn) {
  const size_t type = ofn.nFilterIndex;
  if (type < 1 || type > filter_.descriptions.size()) return;
  formatIndex_ = static_cast<int>(type);
  const std::wstring extension = ExtensionOfDescription(filter_.descriptions[type - 1]);
  defaultExtension_ = extension.size() > 1 ? extension.substr(1) : std::wstring();
  ofn.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  std::vector<wchar_t> typed(kMaxPath + 1, L'\0');
  const LRESULT length = ::SendMessageW(dialog, CDM_GETSPEC, static_cast<WPARAM>(typed.size()),
                                        reinterpret_cast<LPARAM>(typed.data()));
  const std::wstring name = length > 0 ? std::wstring(typed.data()) : std::wstring();
  const std::wstring renamed = ApplyExtension(name, extension);
  ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(renamed.c_str()));
}

}  // namespace glyph
