// CShellTree: a tree-view control that browses the shell's namespace from
// the desktop down, folders only, with the shell's small icons and display
// names. Children are added the first time an item is expanded or
// selected. The owner dialog receives the tree's notifications and calls
// HandleNotify (expansion, deletion, right click) and GetSelectedPath (on
// selection changes).
#pragma once

#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <shlobj.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph {

// ID lists from the shell's allocator.
struct PidlTraits {
  using Type = LPITEMIDLIST;
  static LPITEMIDLIST Invalid() { return nullptr; }
  static void Free(LPITEMIDLIST p) { ::CoTaskMemFree(p); }
};
using UniquePidl = UniqueHandle<PidlTraits>;

// The data behind one tree item.
struct ShellTreeItem {
  ComPtr<IShellFolder> folder;  // the parent folder of the item
  UniquePidl relative;          // the item within folder
  UniquePidl absolute;          // the item from the desktop
};

class CShellTree : public Window {
 public:
  enum FindMode { kDrive, kName };

  // Attaches to an existing tree-view control.
  bool Attach(HWND tree) { return Subclass(tree); }

  void SetSystemImageList();
  // Fills the top level with the desktop's folders, expands and selects the first.
  void FillRoot();
  void AddChildren(IShellFolder* folder, LPCITEMIDLIST parentAbsolute, HTREEITEM parent);

  // TVN_ITEMEXPANDING, TVN_DELETEITEM and NM_RCLICK of this tree; true when
  // handled (the result is then 0).
  bool HandleNotify(const NMHDR* hdr, LRESULT* result);
  LRESULT OnItemExpanding(const NMTREEVIEWW& nm);
  void OnDeleteItem(const NMTREEVIEWW& nm);
  void OnRightClick();

  // The file-system path of the selected item; adds its children when that
  // has not happened yet. False for items without a file-system path.
  bool GetSelectedPath(std::wstring& path);
  // Walks the tree down to the folder of path and selects it.
  void SelectPath(const std::wstring& path);
  bool FindSibling(HTREEITEM first, const std::wstring& text, FindMode mode);
  bool ShowContextMenu(HWND owner, IShellFolder* folder, LPCITEMIDLIST relative, POINT screen);

  static ShellTreeItem* ItemData(HWND tree, HTREEITEM item);
  std::wstring ItemText(HTREEITEM item) const;

 protected:
  // Seams for what blocks: the menu loop and the message box.
  virtual UINT TrackMenu(HMENU menu, POINT screen, HWND owner);
  virtual void ReportError(HWND owner, const std::string& text);
  // Where the pointer is, in screen coordinates.
  virtual POINT CursorPos() const;

 private:
  void SortChildren(HTREEITEM parent);
  // The top-level item that holds the drives ("My Computer").
  HTREEITEM DrivesItem(HTREEITEM root) const;
};

}  // namespace glyph
