#include "browser/ShellTree.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "browser/ItemIdList.h"

namespace glyph {
namespace {

constexpr int kTextChars = 260;

void* ShellAlloc(size_t size) { return ::CoTaskMemAlloc(size); }

UniquePidl Join(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  return UniquePidl(static_cast<LPITEMIDLIST>(idlist::Join(first, second, &ShellAlloc)));
}

template <class T>
ComPtr<T> AddRefed(T* p) {
  ComPtr<T> out;
  if (p) {
    p->AddRef();
    *out.Put() = p;
  }
  return out;
}

ComPtr<IShellFolder> BindFolder(IShellFolder* parent, LPCITEMIDLIST relative) {
  ComPtr<IShellFolder> out;
  if (parent && FAILED(parent->BindToObject(relative, nullptr, IID_IShellFolder, out.PutVoid()))) out.Reset();
  return out;
}

ULONG Attributes(IShellFolder* folder, LPCITEMIDLIST relative, ULONG wanted) {
  ULONG attrs = wanted;
  if (FAILED(folder->GetAttributesOf(1, &relative, &attrs))) return 0;
  return attrs;
}

bool FileSystemPath(IShellFolder* folder, const ShellTreeItem& data, std::wstring& path) {
  if (!(Attributes(folder, data.relative.Get(), SFGAO_FILESYSTEM) & SFGAO_FILESYSTEM)) return false;
  wchar_t buf[MAX_PATH] = {};
  if (!::SHGetPathFromIDListW(data.absolute.Get(), buf)) return false;
  path = buf;
  return true;
}

std::wstring Upper(std::wstring s) {
  if (!s.empty()) ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

int CALLBACK CompareItems(LPARAM a, LPARAM b, LPARAM) {
  auto* first = reinterpret_cast<ShellTreeItem*>(a);
  auto* second = reinterpret_cast<ShellTreeItem*>(b);
  if (!first || !second || !first->folder) return 0;
  const HRESULT hr = first->folder->CompareIDs(0, first->relative.Get(), second->relative.Get());
  if (FAILED(hr)) return 0;
  return static_cast<short>(HRESULT_CODE(hr));
}

}  // namespace

ShellTreeItem* CShellTree::ItemData(HWND tree, HTREEITEM item) {
  TVITEMW tvi{};
  tvi.mask = TVIF_PARAM | TVIF_HANDLE;
  tvi.hItem = item;
  if (!item || !::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi))) return nullptr;
  return reinterpret_cast<ShellTreeItem*>(tvi.lParam);
}

std::wstring CShellTree::ItemText(HTREEITEM item) const {
  wchar_t buf[kTextChars] = {};
  TVITEMW tvi{};
  tvi.mask = TVIF_TEXT | TVIF_HANDLE;
  tvi.hItem = item;
  tvi.pszText = buf;
  tvi.cchTextMax = kTextChars;
  if (!::SendMessageW(GetHwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi))) return {};
  return buf;
}

void CShellTree::SetSystemImageList() {
  SHFILEINFOW info{};
  const auto list = reinterpret_cast<HIMAGELIST>(
      ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  // The system image list belongs to the shell: the tree must not destroy it
  // (TVS_SHAREIMAGELISTS is not needed for TVSIL_NORMAL lists).
  if (list) TreeView_SetImageList(GetHwnd(), list, TVSIL_NORMAL);
}

void CShellTree::FillRoot() {
  ComPtr<IShellFolder> desktop;
  if (SUCCEEDED(::SHGetDesktopFolder(desktop.Put())) && desktop) {
    TreeView_DeleteAllItems(GetHwnd());
    AddChildren(desktop.Get(), nullptr, TVI_ROOT);
  }
  SortChildren(TVI_ROOT);
  if (HTREEITEM first = TreeView_GetRoot(GetHwnd())) {
    TreeView_Expand(GetHwnd(), first, TVE_EXPAND);
    TreeView_SelectItem(GetHwnd(), first);
  }
}

void CShellTree::AddChildren(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, HTREEITEM parent) {
  ComPtr<IMalloc> malloc;
  if (!folder || FAILED(::SHGetMalloc(malloc.Put())) || !malloc) return;
  ComPtr<IEnumIDList> items;
  // Only folders are shown; asking for files too would only make us skip them.
  if (folder->EnumObjects(::GetParent(GetHwnd()), SHCONTF_FOLDERS, items.Put()) != S_OK || !items) return;
  HTREEITEM after = TVI_LAST;
  for (;;) {
    LPITEMIDLIST raw = nullptr;
    ULONG fetched = 0;
    if (items->Next(1, &raw, &fetched) != S_OK || !raw) break;
    UniquePidl relative(raw);
    const ULONG attrs = Attributes(folder, relative.Get(), SFGAO_FOLDER | SFGAO_HASSUBFOLDER);
    if (!(attrs & SFGAO_FOLDER)) continue;

    auto data = std::make_unique<ShellTreeItem>();
    STRRET name{};
    wchar_t text[kTextChars] = {};
    if (FAILED(folder->GetDisplayNameOf(relative.Get(), SHGDN_NORMAL, &name)) ||
        FAILED(::StrRetToBufW(&name, relative.Get(), text, kTextChars)))
      break;
    UniquePidl absolute = Join(parentAbsolute, relative.Get());
    if (!absolute) break;
    SHFILEINFOW info{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute.Get()), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    const int image = info.iIcon;
    info = SHFILEINFOW{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute.Get()), 0, &info, sizeof info,
                     SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
    const int selectedImage = info.iIcon;

    data->folder = AddRefed(folder);
    data->relative.Reset(static_cast<LPITEMIDLIST>(idlist::CopyFirst(relative.Get(), &ShellAlloc)));
    data->absolute = std::move(absolute);
    if (!data->relative) break;

    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    if (attrs & SFGAO_HASSUBFOLDER) {
      ins.item.mask |= TVIF_CHILDREN;
      ins.item.cChildren = 1;
    }
    ins.item.pszText = text;
    ins.item.iImage = image;
    ins.item.iSelectedImage = selectedImage;
    ins.item.lParam = reinterpret_cast<LPARAM>(data.get());
    if (::SendMessageW(GetHwnd(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins))) {
      data.release();  // the item owns it now; OnDeleteItem frees it
    }
  }
}

void CShellTree::SortChildren(HTREEITEM parent) {
  TVSORTCB sort{};
  sort.hParent = parent;
  sort.lpfnCompare = &CompareItems;
  ::SendMessageW(GetHwnd(), TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

bool CShellTree::HandleNotify(const NMHDR* hdr, LRESULT* result) {
  if (!hdr || hdr->hwndFrom != GetHwnd()) return false;
  const auto& nm = *reinterpret_cast<const NMTREEVIEWW*>(hdr);
  switch (hdr->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
      *result = OnItemExpanding(nm);
      return true;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
      OnDeleteItem(nm);
      *result = 0;
      return true;
    case NM_RCLICK:
      OnRightClick();
      *result = 0;
      return true;
    default:
      return false;
  }
}

LRESULT CShellTree::OnItemExpanding(const NMTREEVIEWW& nm) {
  const HTREEITEM item = nm.itemNew.hItem;
  const UINT state = TreeView_GetItemState(GetHwnd(), item, TVIS_EXPANDEDONCE);
  if (state & TVIS_EXPANDEDONCE) return 0;
  if (ShellTreeItem* data = ItemData(GetHwnd(), item)) {
    if (ComPtr<IShellFolder> bound = BindFolder(data->folder.Get(), data->relative.Get()))
      AddChildren(bound.Get(), data->absolute.Get(), item);
  }
  SortChildren(item);
  return 0;
}

void CShellTree::OnDeleteItem(const NMTREEVIEWW& nm) {
  // The item's data came from AddChildren; reclaim and free it.
  std::unique_ptr<ShellTreeItem> data(reinterpret_cast<ShellTreeItem*>(nm.itemOld.lParam));
}

bool CShellTree::GetSelectedPath(std::wstring& path) {
  const HTREEITEM item = TreeView_GetSelection(GetHwnd());
  ShellTreeItem* data = ItemData(GetHwnd(), item);
  if (!data) return false;
  ComPtr<IShellFolder> bound = BindFolder(data->folder.Get(), data->relative.Get());
  if (!bound) return false;
  const bool found = FileSystemPath(data->folder.Get(), *data, path);
  // The selected item's children are needed now (SelectPath searches
  // among them), even though it has not been expanded.
  TVITEMW tvi{};
  tvi.mask = TVIF_HANDLE | TVIF_CHILDREN | TVIF_STATE;
  tvi.hItem = item;
  tvi.stateMask = TVIS_EXPANDEDONCE;
  if (::SendMessageW(GetHwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) && tvi.cChildren == 1 &&
      !(tvi.state & TVIS_EXPANDEDONCE)) {
    AddChildren(bound.Get(), data->absolute.Get(), item);
    SortChildren(item);
    TreeView_SetItemState(GetHwnd(), item, TVIS_EXPANDEDONCE, TVIS_EXPANDEDONCE);
  }
  return found;
}

void CShellTree::OnRightClick() {
  POINT pt = CursorPos();
  ::ScreenToClient(GetHwnd(), &pt);
  TVHITTESTINFO hit{};
  hit.pt = pt;
  const HTREEITEM item = TreeView_HitTest(GetHwnd(), &hit);
  TreeView_SelectItem(GetHwnd(), item);
  if (item && (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL))) {
    ::ClientToScreen(GetHwnd(), &pt);
    if (ShellTreeItem* data = ItemData(GetHwnd(), item))
      ShowContextMenu(::GetParent(GetHwnd()), data->folder.Get(), data->relative.Get(), pt);
  }
}

POINT CShellTree::CursorPos() const {
  POINT pt{};
  ::GetCursorPos(&pt);
  return pt;
}

UINT CShellTree::TrackMenu(HMENU menu, POINT screen, HWND owner) {
  return static_cast<UINT>(
      ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr));
}

void CShellTree::ReportError(HWND owner, const std::string& text) {
  ::MessageBoxA(owner, text.c_str(), nullptr, MB_OK);
}

bool CShellTree::ShowContextMenu(HWND owner, IShellFolder* folder, LPCITEMIDLIST relative, POINT screen) {
  if (!folder) return false;
  ComPtr<IContextMenu> menu;
  HRESULT hr = folder->GetUIObjectOf(owner, 1, &relative, IID_IContextMenu, nullptr, menu.PutVoid());
  if (FAILED(hr) || !menu) {
    char text[64];
    std::snprintf(text, sizeof text, "GetUIObjectOf failed! hr=%lx", static_cast<unsigned long>(hr));
    ReportError(owner, text);
    return false;
  }
  UniqueMenu popup(::CreatePopupMenu());
  if (!popup) return false;
  if (FAILED(menu->QueryContextMenu(popup.Get(), 0, 1, 0x7FFF, CMF_EXPLORE))) return false;
  const UINT command = TrackMenu(popup.Get(), screen, owner);
  if (command != 0) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof info;
    info.hwnd = owner;
    info.lpVerb = MAKEINTRESOURCEA(command - 1);
    info.nShow = SW_SHOWNORMAL;
    hr = menu->InvokeCommand(&info);
    if (FAILED(hr)) {
      char text[64];
      std::snprintf(text, sizeof text, "InvokeCommand failed. hr=%lx", static_cast<unsigned long>(hr));
      ReportError(owner, text);
    }
  }
  return true;
}

HTREEITEM CShellTree::DrivesItem(HTREEITEM root) const {
  // The drives live under "My Computer". Windows sorts it first among the
  // desktop's folders; Wine puts its "/" folder first, so look for it.
  ComPtr<IShellFolder> desktop;
  LPITEMIDLIST raw = nullptr;
  if (FAILED(::SHGetDesktopFolder(desktop.Put())) || !desktop ||
      FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &raw)))
    return root;
  UniquePidl drives(raw);
  for (HTREEITEM item = root; item; item = TreeView_GetNextSibling(GetHwnd(), item)) {
    ShellTreeItem* data = ItemData(GetHwnd(), item);
    if (!data) continue;
    const HRESULT hr = desktop->CompareIDs(0, data->absolute.Get(), drives.Get());
    if (SUCCEEDED(hr) && HRESULT_CODE(hr) == 0) return item;
  }
  return root;
}

void CShellTree::SelectPath(const std::wstring& pathIn) {
  const HTREEITEM root = TreeView_GetRoot(GetHwnd());
  if (!root || pathIn.empty()) return;
  std::wstring path = pathIn;
  std::wstring probe = path;
  if (probe.size() > 1 && probe.back() == L'\\') probe.pop_back();
  // A drive root ("C:") is tested with its backslash.
  if (probe.size() == 2 && probe[1] == L':') probe += L'\\';
  if (::GetFileAttributesW(probe.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (path.back() != L'\\') path += L'\\';
  if (path.size() < 2 || path[1] != L':') return;  // no drive letter: nothing to walk from
  const std::wstring drive = path.substr(0, 2);
  const HTREEITEM computer = DrivesItem(root);
  // Its children are added on its first expansion.
  if (computer != root) TreeView_Expand(GetHwnd(), computer, TVE_EXPAND);
  if (!FindSibling(TreeView_GetChild(GetHwnd(), computer), drive, kDrive)) return;
  size_t start = 3;  // past "C:\"
  while (start < path.size()) {
    const size_t end = path.find(L'\\', start);
    const std::wstring component = path.substr(start, end - start);
    start = end + 1;
    if (component.empty()) continue;
    const HTREEITEM selected = TreeView_GetSelection(GetHwnd());
    if (!selected || !FindSibling(TreeView_GetChild(GetHwnd(), selected), component, kName)) return;
  }
}

bool CShellTree::FindSibling(HTREEITEM first, const std::wstring& text, FindMode mode) {
  const std::wstring wanted = Upper(text);
  for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(GetHwnd(), item)) {
    ShellTreeItem* data = ItemData(GetHwnd(), item);
    if (!data) continue;
    if (!BindFolder(data->folder.Get(), data->relative.Get())) continue;
    std::wstring path;
    if (!FileSystemPath(data->folder.Get(), *data, path)) continue;
    std::wstring candidate =
        mode == kDrive ? path.substr(0, path.size() >= 2 && path[1] == L':' ? 2 : 0) : ItemText(item);
    if (Upper(candidate) == wanted) {
      TreeView_EnsureVisible(GetHwnd(), item);
      TreeView_SelectItem(GetHwnd(), item);
      return true;
    }
  }
  return false;
}

}  // namespace glyph
