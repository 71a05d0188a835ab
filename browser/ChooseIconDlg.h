// CChooseIconDlg: the "Choose Icon" dialog. The folder tree on the left
// starts a scan of the chosen folder on a worker thread; a 50 ms timer
// moves what the worker found into the file list ("count, name" rows);
// choosing a row lists that file's icons. GetResult hands back the file and
// the icon index the user picked.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "browser/IconSource.h"
#include "browser/ScanCore.h"
#include "browser/ShellTree.h"
#include "framework/ComScope.h"
#include "framework/Handles.h"
#include "widgets/ImageButton.h"
#include "widgets/ResizableDialog.h"

namespace glyph {

// The scan's view of the file system: FindFirstFileW and the icon source.
class WindowsScanFileSystem : public scan::FileSystem {
 public:
  explicit WindowsScanFileSystem(IconSource& icons) : icons_(icons) {}
  void Find(const scan::Path& pattern, const std::function<bool(const scan::Entry&)>& visit) override;
  int CountIcons(const scan::Path& file, uint64_t size) override { return icons_.CountListed(file, size); }
  bool ConcurrentCounts() const override { return icons_.ConcurrentCounts(); }

 private:
  IconSource& icons_;
};

class CChooseIconDlg : public CResizableDialog {
 public:
  static constexpr UINT kTemplate = 103;
  static constexpr UINT_PTR kTransferTimer = 10;
  static constexpr UINT kTransferPeriodMs = 50;
  static constexpr char kPlacementSection[] = "Open dlg position";

  explicit CChooseIconDlg(HWND parent, IconSource& icons = DefaultIconSource());
  ~CChooseIconDlg() override;

  INT_PTR DoModal() { return Dialog::DoModal(parent_); }
  bool CreateModeless() { return Dialog::CreateModeless(parent_); }

  // The chosen file and icon. An empty path means nothing was chosen.
  void GetResult(std::wstring& path, int& index) const;
  // Makes path the chosen file when it has an icon `index`.
  bool SetChosenFile(const std::wstring& path, int index);
  // Refills the icon list with the chosen file's icons.
  void FillIconList();

  // The scan state shared by the dialog and its worker (one per process).
  static scan::ScanState& SharedScanState();

  const std::wstring& CurrentFolder() const { return currentFolder_; }
  const std::wstring& ChosenPath() const { return chosenPath_; }
  const std::vector<std::wstring>& FilePaths() const { return filePaths_; }
  bool Scanning() const { return scanner_.Scanning(); }
  bool TimerRunning() const { return timer_.Running(); }
  CShellTree& Tree() { return tree_; }

 protected:
  BOOL OnInitDialog() override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR id) override;
  bool OnCommand(UINT id, UINT code, HWND control) override;
  bool OnNotify(NMHDR* hdr, LRESULT* result) override;
  void OnOK() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnFolderSelected();
  void OnScanButton();
  // Empties the lists and starts the worker on the current folder.
  void StartScan();
  void TransferFound();
  void OnFileSelected(int row);
  void OnFileDoubleClick();
  void DrawIconItem(const DRAWITEMSTRUCT& dis) const;
  void SetScanButtonText(const char* text);

  HWND parent_;
  IconSource& icons_;
  ComScope com_;
  std::wstring chosenPath_;
  int chosenIndex_ = 0;
  std::wstring currentFolder_;
  std::vector<std::wstring> filePaths_;
  size_t transferred_ = 0;
  std::vector<UniqueIcon> iconHandles_;  // item data of the icon list
  CShellTree tree_;
  CImageButton scanButton_, okButton_, cancelButton_;
  ScopedTimer timer_;
  WindowsScanFileSystem fileSystem_;
  scan::Scanner scanner_;  // last: its worker is awaited before the rest goes
};

}  // namespace glyph
