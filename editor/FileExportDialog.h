// CFileExportDialog: the save dialog of the export, which keeps the file
// name's extension in step with the chosen file type.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <string>

#include "editor/ExportFilter.h"

namespace glyph {

class CFileExportDialog {
 public:
  // `filters`: "Description (*.ext)|..."; `defaultName` may be empty.
  CFileExportDialog(const std::string& title, const std::string& filters, const std::string& defaultName);
  CFileExportDialog(const CFileExportDialog&) = delete;
  CFileExportDialog& operator=(const CFileExportDialog&) = delete;

  // Shows the dialog; true when the user chose a file.
  bool DoModal(HWND owner);
  // 1-based index of the chosen type.
  int GetFormatIndex() const { return formatIndex_; }
  std::string GetPathName() const { return path_; }
  std::string GetFileName() const;

  // Called once the dialog is on the screen, with its window (tests drive
  // the dialog from here).
  void SetShownCallback(std::function<void(HWND)> callback) { shown_ = std::move(callback); }

 private:
  static UINT_PTR CALLBACK HookProc(HWND hook, UINT msg, WPARAM wp, LPARAM lp);
  void OnTypeChange(HWND dialog, const OPENFILENAMEA& ofn);

  ExportFilter filter_;
  std::string platformFilter_;
  std::string title_;
  char name_[ExportFilter::kMaxName + 1] = {};
  int formatIndex_ = 1;
  std::string path_;
  size_t fileOffset_ = 0;
  std::function<void(HWND)> shown_;
};

}  // namespace glyph
