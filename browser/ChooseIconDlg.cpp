#include "browser/ChooseIconDlg.h"

#include <commctrl.h>

#include "framework/PlainControls.h"
#include "framework/ResourceIds.h"

namespace glyph {
namespace {

constexpr char kScanText[] = "Scan subfolders";
constexpr char kStopText[] = "Stop scanning";

// "%02d" then seven spaces then the label.
std::wstring RowText(int count, const std::wstring& label) {
  std::wstring number = std::to_wstring(count);
  if (number.size() < 2) number.insert(0, 2 - number.size(), L'0');
  return number + L"       " + label;
}

bool IsExistingFile(const std::wstring& path) {
  const DWORD attrs = ::GetFileAttributesW(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void WindowsScanFileSystem::Find(const scan::Path& pattern,
                                 const std::function<bool(const scan::Entry&)>& visit) {
  WIN32_FIND_DATAW fd;
  UniqueFind find(::FindFirstFileW(pattern.c_str(), &fd));
  if (!find) return;
  do {
    scan::Entry e;
    e.name = fd.cFileName;
    e.folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.reparsePoint = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    e.size = static_cast<uint64_t>(fd.nFileSizeHigh) << 32 | fd.nFileSizeLow;
    if (!visit(e)) return;
  } while (::FindNextFileW(find.Get(), &fd));
}

scan::ScanState& CChooseIconDlg::SharedScanState() {
  static scan::ScanState state;
  return state;
}

CChooseIconDlg::CChooseIconDlg(HWND parent, IconSource& icons)
    : CResizableDialog(kTemplate),
      parent_(parent),
      icons_(icons),
      fileSystem_(icons),
      scanner_(SharedScanState(), fileSystem_) {
  LoadCommonControls(ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES);
}

CChooseIconDlg::~CChooseIconDlg() {
  // A dialog object that dies with its window still open: close it first,
  // so the worker is awaited and the icons go while the window exists.
  DestroyWindow();
}

BOOL CChooseIconDlg::OnInitDialog() {
  InitLayout();

  // A dialog always opens non-recursive, even when the last one was closed
  // in the middle of a recursive scan.
  SharedScanState().recursive.store(0);

  wchar_t folder[1024] = {};
  const DWORD n = ::GetCurrentDirectoryW(1024, folder);
  currentFolder_ = n > 0 && n < 1024 ? folder : L"";
  // Filling the tree selects its first folder, which under Wine is "/" with
  // a file-system path of its own: keep the folder to walk to.
  const std::wstring startFolder = currentFolder_;

  HWND files = GetItem(IDC_FILE_LIST);
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = LVCFMT_LEFT;
  column.cx = 1000;
  char header[] = "Icons  Files";
  column.pszText = header;
  ::SendMessageA(files, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

  tree_.Attach(GetItem(IDC_FOLDER_TREE));
  tree_.SetSystemImageList();
  tree_.FillRoot();
  tree_.SelectPath(startFolder);

  HWND iconList = GetItem(IDC_ICON_LIST);
  ::SendMessageA(iconList, LB_SETCOLUMNWIDTH, ::GetSystemMetrics(SM_CXICON) + 6, 0);
  // WM_MEASUREITEM of a fixed owner-drawn list box comes while the dialog is
  // being created, before it is ours: set the height here instead.
  ::SendMessageA(iconList, LB_SETITEMHEIGHT, 0, ::GetSystemMetrics(SM_CYICON) + 12);
  FillIconList();
  ::SendMessageA(iconList, LB_SETCURSEL, static_cast<WPARAM>(chosenIndex_), 0);

  scanButton_.Subclass(GetItem(IDC_SCAN_SUBFOLDERS));
  okButton_.Subclass(GetItem(IDOK));
  cancelButton_.Subclass(GetItem(IDCANCEL));
  scanButton_.SetIcon(IDI_SCAN, 0, 16, 16);
  okButton_.SetIcon(IDI_OK, 0, 16, 16);
  cancelButton_.SetIcon(IDI_CANCEL, 0, 16, 16);

  CDialogLayout& layout = Layout();
  layout.AddControl(GetItem(IDC_FOLDER_TREE), 0, 50, 0, 50);
  layout.AddControl(GetItem(IDC_SCAN_SUBFOLDERS), 0, 50, 50, 50);
  layout.AddControl(iconList, 50, 100, 0, 50);
  layout.AddControl(files, 0, 100, 50, 100);
  layout.AddControl(GetItem(IDOK), 100, 100, 100, 100);
  layout.AddControl(GetItem(IDCANCEL), 100, 100, 100, 100);
  layout.AddControl(GetItem(IDC_ICONS_LABEL), 50, 100, 0, 0);

  // The first time, before a placement was saved, it opens over the editor.
  if (!layout.RestorePlacement(kPlacementSection, true)) CenterOnOwner();
  return TRUE;
}

void CChooseIconDlg::OnDestroy() {
  Layout().SavePlacement(kPlacementSection);
  scanner_.StopAndWait();
  timer_.Stop();
  ::SendMessageA(GetItem(IDC_ICON_LIST), LB_RESETCONTENT, 0, 0);
  iconHandles_.clear();
  CResizableDialog::OnDestroy();
}

void CChooseIconDlg::SetScanButtonText(const char* text) {
  ::SetWindowTextA(GetItem(IDC_SCAN_SUBFOLDERS), text);
}

void CChooseIconDlg::OnFolderSelected() {
  std::wstring path;
  if (!tree_.GetSelectedPath(path)) return;
  currentFolder_ = scan::WithBackslash(path);
  chosenPath_.clear();
  scan::ScanState& state = SharedScanState();
  if (scanner_.Scanning()) {
    // A recursive scan restarts recursive on the new folder.
    const int recursive = state.recursive.load();
    timer_.Stop();
    scanner_.StopAndWait();
    state.recursive.store(recursive);
  }
  StartScan();
}

void CChooseIconDlg::StartScan() {
  SetScanButtonText(kStopText);
  transferred_ = 0;
  ::SendMessageA(GetItem(IDC_FILE_LIST), LVM_DELETEALLITEMS, 0, 0);
  filePaths_.clear();
  timer_.Start(GetHwnd(), kTransferTimer, kTransferPeriodMs);
  if (!scanner_.Start(currentFolder_)) SetScanButtonText(kScanText);
}

void CChooseIconDlg::OnScanButton() {
  scan::ScanState& state = SharedScanState();
  if (!scanner_.Scanning()) {
    state.recursive.store(1);
    StartScan();
    return;
  }
  // Stopped by the user: the timer stays on and shows what is left.
  state.recursive.store(0);
  scanner_.StopAndWait();
  SetScanButtonText(kScanText);
}

void CChooseIconDlg::TransferFound() {
  scan::ScanState& state = SharedScanState();
  // Read before the entries: once the worker has ended, every entry it
  // found is already counted.
  const bool ended = state.stop.load() != 0;
  const size_t first = transferred_;
  HWND files = GetItem(IDC_FILE_LIST);
  std::wstring name;
  int count = 0;
  // Many rows at once: without this Wine repaints the list and its scroll
  // bar for every row (tens of milliseconds each).
  const bool batch = state.Count() > transferred_ + 1;
  if (batch) ::SendMessageA(files, WM_SETREDRAW, FALSE, 0);
  while (state.Get(transferred_, name, count)) {
    const std::wstring label = state.recursive.load() ? name : scan::FileNameOf(name);
    std::wstring text = RowText(count, label);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(transferred_);
    item.pszText = text.data();
    ::SendMessageW(files, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    filePaths_.push_back(name);
    ++transferred_;
  }
  if (batch) {
    ::SendMessageA(files, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(files, nullptr, TRUE);
  }
  if (transferred_ > first && first == 0) OnFileSelected(0);
  if (ended && transferred_ == state.Count()) {
    timer_.Stop();
    scanner_.Wait();
    SetScanButtonText(kScanText);
    state.recursive.store(0);
    if (filePaths_.empty()) FillIconList();
  }
}

void CChooseIconDlg::OnTimer(UINT_PTR id) {
  if (id == kTransferTimer) TransferFound();
  Default();
}

void CChooseIconDlg::OnFileSelected(int row) {
  if (row >= 0 && static_cast<size_t>(row) < filePaths_.size()) SetChosenFile(filePaths_[row], 0);
  FillIconList();
}

void CChooseIconDlg::OnFileDoubleClick() {
  const int row = static_cast<int>(
      ::SendMessageA(GetItem(IDC_FILE_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (row < 0 || static_cast<size_t>(row) >= filePaths_.size()) return;
  const std::wstring folder = scan::DirectoryOf(filePaths_[row]);
  if (folder == currentFolder_) return;
  SharedScanState().recursive.store(0);
  tree_.SelectPath(folder);
  currentFolder_ = folder;
}

bool CChooseIconDlg::OnCommand(UINT id, UINT code, HWND control) {
  if (id == IDC_SCAN_SUBFOLDERS && code == BN_CLICKED && control) {
    OnScanButton();
    return true;
  }
  return false;
}

bool CChooseIconDlg::OnNotify(NMHDR* hdr, LRESULT* result) {
  if (tree_.HandleNotify(hdr, result)) return true;
  switch (hdr->idFrom) {
    case IDC_FOLDER_TREE:
      if (hdr->code == TVN_SELCHANGEDA || hdr->code == TVN_SELCHANGEDW) {
        OnFolderSelected();
        *result = 0;
        return true;
      }
      break;
    case IDC_FILE_LIST:
      if (hdr->code == LVN_ITEMCHANGED) {
        const auto* nm = reinterpret_cast<const NMLISTVIEW*>(hdr);
        if ((nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_SELECTED) &&
            !(nm->uOldState & LVIS_SELECTED))
          OnFileSelected(nm->iItem);
        *result = 0;
        return true;
      }
      if (hdr->code == NM_DBLCLK) {
        OnFileDoubleClick();
        *result = 0;
        return true;
      }
      break;
    default:
      break;
  }
  return false;
}

void CChooseIconDlg::OnOK() {
  if (!chosenPath_.empty()) ::SetCurrentDirectoryW(scan::DirectoryOf(chosenPath_).c_str());
  chosenIndex_ = static_cast<int>(::SendMessageA(GetItem(IDC_ICON_LIST), LB_GETCURSEL, 0, 0));
  EndDialog(IDOK);
}

void CChooseIconDlg::GetResult(std::wstring& path, int& index) const {
  // No rows, or no icon selected when OK was pressed: nothing was chosen.
  if (filePaths_.empty() || chosenIndex_ < 0) {
    path.clear();
    return;
  }
  index = chosenIndex_;
  path = chosenPath_;
}

bool CChooseIconDlg::SetChosenFile(const std::wstring& path, int index) {
  if (index < 0 || index >= icons_.Count(path)) return false;
  chosenPath_ = path;
  chosenIndex_ = index;
  return true;
}

void CChooseIconDlg::FillIconList() {
  HWND list = GetItem(IDC_ICON_LIST);
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  iconHandles_.clear();
  if (!IsExistingFile(chosenPath_)) return;
  iconHandles_ = icons_.ExtractAll(chosenPath_);
  ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (size_t i = 0; i < iconHandles_.size(); ++i) {
    ::SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(iconHandles_[i].Get()));
  }
  ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
  ::SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void CChooseIconDlg::DrawIconItem(const DRAWITEMSTRUCT& dis) const {
  if (dis.itemID == static_cast<UINT>(-1)) return;
  const bool selected = (dis.itemState & ODS_SELECTED) != 0;
  if (selected && (dis.itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
    ::FillRect(dis.hDC, &dis.rcItem, ::GetSysColorBrush(COLOR_HIGHLIGHT));
  } else if (!selected && (dis.itemAction & ODA_SELECT)) {
    ::FillRect(dis.hDC, &dis.rcItem, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  if (const auto icon = reinterpret_cast<HICON>(dis.itemData))
    ::DrawIcon(dis.hDC, dis.rcItem.left + 2, dis.rcItem.top + 4, icon);
}

LRESULT CChooseIconDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DRAWITEM && wp == IDC_ICON_LIST) {
    DrawIconItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    return TRUE;
  }
  if (msg == WM_MEASUREITEM && wp == IDC_ICON_LIST) {
    reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = ::GetSystemMetrics(SM_CYICON) + 12;
    return TRUE;
  }
  return CResizableDialog::WindowProc(msg, wp, lp);
}

}  // namespace glyph
