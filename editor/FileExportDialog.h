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
