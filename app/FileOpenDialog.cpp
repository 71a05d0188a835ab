#include "app/FileOpenDialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <vector>

#include "editor/ExportFilter.h"
#include "editor/FileExportDialog.h"

namespace glyph {
namespace {

constexpr wchar_t kTitle[] = L"Open icon";
constexpr wchar_t kTypes[] =
    L"Icons and pictures (*.ico;*.png;*.bmp;*.exe;*.dll)|Icons (*.ico)|PNG pictures (*.png)|"
    L"Bitmaps (*.bmp)|Programs and libraries (*.exe;*.dll)|All files (*.*)|";
// The hook's own message: the dialog has finished setting itself up.
constexpr UINT kShown = WM_APP;
// The subclass of the dialog window that checks an Open before the dialog.
constexpr UINT_PTR kSubclassId = 1;

}  // namespace

std::wstring FileOpenDialog::Run(HWND owner, const std::wstring& folder) {
  const std::wstring filter = ExportFilter::Parse(kTypes).PlatformFilter();
  std::vector<wchar_t> name(kMaxPath + 1, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = kTitle;
  // The current folder stays: the folder opened from would otherwise be
  // held in use, and the user could not remove it.
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLEHOOK |
              OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  ofn.lpfnHook = &FileOpenDialog::HookProc;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);
  if (!::GetOpenFileNameW(&ofn)) return std::wstring();
  return name.data();
}

UINT_PTR CALLBACK FileOpenDialog::HookProc(HWND hook, UINT msg, WPARAM, LPARAM lp) {
  // The hook is a child of the real dialog window.
  if (msg == WM_INITDIALOG) {
    const LPARAM self = reinterpret_cast<const OPENFILENAMEW*>(lp)->lCustData;
    ::SetWindowLongPtrW(hook, GWLP_USERDATA, self);
    ::SetWindowSubclass(::GetParent(hook), &FileOpenDialog::DialogProc, kSubclassId,
                        static_cast<DWORD_PTR>(self));
    return 0;
  }
  auto* self = reinterpret_cast<FileOpenDialog*>(::GetWindowLongPtrW(hook, GWLP_USERDATA));
  if (!self || !self->shown_) return 0;
  if (msg == kShown) {
    self->shown_(::GetParent(hook));
  } else if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == CDN_INITDONE) {
    // Run after the dialog's own initialisation has finished.
    ::PostMessageW(hook, kShown, 0, 0);
  }
  return 0;
}

LRESULT CALLBACK FileOpenDialog::DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                            DWORD_PTR data) {
  // Open, clicked or pressed with Enter.
  if (msg == WM_COMMAND && LOWORD(wp) == IDOK &&
      !reinterpret_cast<FileOpenDialog*>(data)->TypedPathFits(dialog))
    return 0;
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(dialog, &FileOpenDialog::DialogProc, kSubclassId);
  return ::DefSubclassProc(dialog, msg, wp, lp);
}

bool FileOpenDialog::TypedPathFits(HWND dialog) {
  if (TypedDialogPathLength(dialog, std::wstring()) < MAX_PATH) return true;
  sink_->Show(dialog,
              L"The path is too long for this dialog: folder and file name together may have at most " +
                  std::to_wstring(MAX_PATH - 1) +
                  L" characters. Choose a file with a shorter path, or drop the file on the window.");
  return false;
}

}  // namespace glyph
