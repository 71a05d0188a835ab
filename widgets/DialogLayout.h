// CDialogLayout: moves a dialog's controls as the dialog is resized, keeps
// the dialog from shrinking below its initial size, shows a size grip and
// saves/restores the dialog's placement in the application profile.
//
// Each registered control has four edge percentages (left, right, top,
// bottom): the share of the dialog's growth in width (left/right) or
// height (top/bottom) by which that edge moves. 0 keeps the edge, 100
// moves it by the whole growth. Positions are always computed from the
// control's initial rectangle, so growing and shrinking back is exact.
#pragma once

#include <windows.h>

#include <list>

#include "framework/Handles.h"

namespace glyph {

class CDialogLayout;

// One registered control and where it started.
struct LayoutEntry {
  HWND window = nullptr;
  // Edge percentages, in this order.
  BYTE left = 0, right = 0, top = 0, bottom = 0;
  // Initial rectangle in the owner's client coordinates.
  RECT initial{};

  // Places the window for a growth of (dx, dy) pixels.
  void Apply(int dx, int dy) const;
};

class CDialogLayout {
 public:
  // Modes for AddControlByMode.
  enum Mode { kFixed = 0, kStretch = 1, kMove = 2, kMoveHalf = 3 };
  // Resize flags.
  static constexpr DWORD kWidth = 1, kHeight = 2;
  // Control ID of the size grip.
  static constexpr int kGripId = 65535;

  explicit CDialogLayout(HWND owner = nullptr) : owner_(owner) {}
  virtual ~CDialogLayout();
  CDialogLayout(const CDialogLayout&) = delete;
  CDialogLayout& operator=(const CDialogLayout&) = delete;

  void SetOwner(HWND owner) { owner_ = owner; }
  // Records the owner's initial sizes and makes the size grip.
  bool Init();
  bool IsInitialised() const { return initialClientWidth_ != -1; }

  // Registers a control; null when refused (owner or window not a window,
  // not initialised, or all four percentages 0). The entry is placed for the
  // growth the dialog already has.
  LayoutEntry* AddControl(HWND window, BYTE left, BYTE right, BYTE top, BYTE bottom);
  LayoutEntry* AddControlByMode(HWND window, int horizontal, int vertical);
  // Forgets every entry (the windows stay where they are).
  void RemoveAll() { entries_.clear(); }
  size_t EntryCount() const { return entries_.size(); }

  // WM_SIZE: moves every entry (not while minimised) and redraws the owner.
  void OnSize(UINT type, int width, int height);
  // WM_GETMINMAXINFO, after the default processing.
  void OnGetMinMaxInfo(MINMAXINFO* info) const;

  // Placement in the profile section `name`.
  bool SavePlacement(const char* name) const;
  bool RestorePlacement(const char* name, bool restoreShowState) const;

  DWORD ResizeFlags() const { return resizeFlags_; }
  void SetResizeFlags(DWORD flags) { resizeFlags_ = flags; }
  void SetShowGrip(bool show) { showGrip_ = show; }
  HWND Grip() const { return grip_; }
  SIZE InitialClientSize() const { return SIZE{initialClientWidth_, initialClientHeight_}; }
  SIZE InitialWindowSize() const { return SIZE{initialWindowWidth_, initialWindowHeight_}; }

 private:
  bool MakeGrip();

  std::list<LayoutEntry> entries_;  // newest first
  HWND owner_;
  LONG initialClientWidth_ = -1, initialClientHeight_ = 0;
  LONG initialWindowWidth_ = 0, initialWindowHeight_ = 0;
  DWORD resizeFlags_ = kWidth | kHeight;
  HWND grip_ = nullptr;
  UniqueBitmap gripBitmap_;
  bool showGrip_ = true;
};

}  // namespace glyph
