// CFileExportDialog: the save dialog of the export, which keeps the file
// name's extension in step with the chosen file type. It is the wide
// dialog with a buffer as long as any path the platform takes, so a name
// outside the ANSI code page or a path of any length comes back whole; a
// typed name without an extension gets the chosen type's.
//
// The platform dialog itself cannot take every path: Wine's joins the
// folder and the typed name in a MAX_PATH buffer on its stack and brings
// the process down when they are longer. So a Save whose path would not
// fit is stopped before the dialog sees it, and the user is told why.
//
// One type may carry options for a whole icon: the colours of its bitmap
// images and the size from which images are stored as PNG. The two lists
// show only while that type is chosen; their choice is read when the user
// saves, and stays at the defaults (32 bits, PNG from 256, as the icon
// maker's) otherwise.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/ExportFilter.h"
#include "editor/MessageSink.h"

namespace glyph {

class CFileExportDialog {
 public:
  // Characters of the path buffer: the longest path the W functions take.
  static constexpr size_t kMaxPath = 32767;
  // The lists' entry that leaves every image stored as it is.
  static constexpr int kKeepStorage = -1;
  static constexpr int kDefaultIconBits = 32;
  static constexpr int kDefaultPngFrom = 256;

  // `filters`: "Description (*.ext)|..."; `defaultName` may be empty.
  CFileExportDialog(const std::wstring& title, const std::wstring& filters, const std::wstring& defaultName);
  CFileExportDialog(const CFileExportDialog&) = delete;
  CFileExportDialog& operator=(const CFileExportDialog&) = delete;

  // The folder the dialog opens in (empty: the platform's choice).
  void SetInitialFolder(const std::wstring& folder) { folder_ = folder; }
  // Shows the dialog; true when the user chose a file.
  bool DoModal(HWND owner);
  // 1-based index of the chosen type; set before DoModal, the type shown first.
  int GetFormatIndex() const { return formatIndex_; }
  void SetFormatIndex(int index) {
    if (index >= 1 && static_cast<size_t>(index) <= filter_.descriptions.size()) formatIndex_ = index;
  }
  const std::wstring& GetPathName() const { return path_; }
  // The 1-based type that shows the options for a whole icon (0: none, and
  // the dialog has no part of its own).
  void SetIconOptionsFormat(int formatIndex) { iconOptionsFormat_ = formatIndex; }
  // What the lists start at (kKeepStorage: "As they are").
  void SetIconOptions(int bits, int pngFrom) {
    iconBits_ = bits;
    pngFrom_ = pngFrom;
  }
  // Bits of the icon's bitmap images: 32, 8 or 4, or kKeepStorage.
  int GetIconBits() const { return iconBits_; }
  // Images from this side up are stored as PNG; 0: none; kKeepStorage:
  // PNG images stay PNG and no other becomes one.
  int GetPngFrom() const { return pngFrom_; }
  std::wstring GetFileName() const;

  // Called once the dialog is on the screen, with its window (tests drive
  // the dialog from here).
  void SetShownCallback(std::function<void(HWND)> callback) { shown_ = std::move(callback); }
  // Where the dialog's own messages go (null: a real message box).
  void SetMessageSink(MessageSink* sink) { sink_ = sink ? sink : &PlatformMessageSink(); }

 private:
  static UINT_PTR CALLBACK HookProc(HWND hook, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR data);
  // False, with the user told, when the typed path is too long for the dialog.
  bool TypedPathFits(HWND dialog);
  void OnTypeChange(HWND dialog, OPENFILENAMEW& ofn);
  void FillIconOptions(HWND hook) const;
  void ShowIconOptions(HWND hook) const;
  void ReadIconOptions(HWND hook);
  std::wstring ChosenExtension() const;

  ExportFilter filter_;
  std::wstring platformFilter_;
  std::wstring title_;
  std::wstring folder_;
  std::vector<wchar_t> name_;
  // The default extension the dialog appends (without its dot), kept in
  // step with the chosen type.
  std::wstring defaultExtension_;
  int formatIndex_ = 1;
  int iconOptionsFormat_ = 0;
  int iconBits_ = kDefaultIconBits;
  int pngFrom_ = kDefaultPngFrom;
  std::wstring path_;
  std::function<void(HWND)> shown_;
  MessageSink* sink_ = &PlatformMessageSink();
};

// The characters of the path a common file dialog (open or save) would
// make of the name typed in its file-name field, in the folder it shows,
// with `extension` added: Wine's dialogs copy that path into a MAX_PATH
// buffer and bring the process down when it is longer.
size_t TypedDialogPathLength(HWND dialog, const std::wstring& extension);

}  // namespace glyph
