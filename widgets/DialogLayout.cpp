#include "widgets/DialogLayout.h"

#include <algorithm>

#include "framework/Profile.h"

namespace glyph {
namespace {

// Written first and last by SavePlacement: a save that stopped half-way
// leaves the first value, which RestorePlacement refuses.
constexpr int kCheckIncomplete = -32640;
constexpr int kCheckComplete = 0x7F7F;
constexpr char kCheck[] = "(check)";
// The system's size-grip bitmap (OBM_SIZE, which needs OEMRESOURCE).
constexpr int kSystemSizeGripBitmap = 32766;

bool IsWindowHandle(HWND hwnd) { return hwnd && ::IsWindow(hwnd); }

bool NormalRect(HWND hwnd, RECT& rect) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!::GetWindowPlacement(hwnd, &wp)) return false;
  rect = wp.rcNormalPosition;
  return true;
}

}  // namespace

void LayoutEntry::Apply(int dx, int dy) const {
  RECT r = initial;
  if (dx != 0) {
    r.left = initial.left + dx * left / 100;
    r.right = initial.right + dx * right / 100;
  }
  if (dy != 0) {
    r.top = initial.top + dy * top / 100;
    r.bottom = initial.bottom + dy * bottom / 100;
  }
  if (IsWindowHandle(window)) {
    ::SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  }
}

CDialogLayout::~CDialogLayout() {
  entries_.clear();
  if (grip_ && ::IsWindow(grip_)) ::DestroyWindow(grip_);
}

bool CDialogLayout::Init() {
  if (!IsWindowHandle(owner_)) return false;
  RECT client{}, normal{};
  ::GetClientRect(owner_, &client);
  if (!NormalRect(owner_, normal)) ::GetWindowRect(owner_, &normal);
  initialClientWidth_ = client.right;
  initialClientHeight_ = client.bottom;
  initialWindowWidth_ = normal.right - normal.left;
  initialWindowHeight_ = normal.bottom - normal.top;
  if (showGrip_ && !MakeGrip()) showGrip_ = false;
  return true;
}

bool CDialogLayout::MakeGrip() {
  gripBitmap_.Reset(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(kSystemSizeGripBitmap)));
  if (!gripBitmap_) return false;
  const int w = initialClientWidth_, h = initialClientHeight_;
  grip_ = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_BITMAP, w - 16, h - 16, 16, 16, owner_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGripId)),
                            ::GetModuleHandleA(nullptr), nullptr);
  if (!grip_) {
    gripBitmap_.Reset();
    return false;
  }
  ::SetWindowLongPtrA(grip_, GWL_EXSTYLE, ::GetWindowLongPtrA(grip_, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  // The control sizes itself to the bitmap; then it goes back into the corner.
  ::SendMessageA(grip_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(gripBitmap_.Get()));
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (::GetWindowPlacement(grip_, &wp)) {
    const LONG gw = wp.rcNormalPosition.right - wp.rcNormalPosition.left;
    const LONG gh = wp.rcNormalPosition.bottom - wp.rcNormalPosition.top;
    wp.rcNormalPosition = RECT{w - gw, h - gh, w, h};
    wp.showCmd = SW_HIDE;
    ::SetWindowPlacement(grip_, &wp);
  }
  AddControlByMode(grip_, kMove, kMove);
  ::ShowWindow(grip_, SW_SHOW);
  return true;
}

LayoutEntry* CDialogLayout::AddControl(HWND window, BYTE left, BYTE right, BYTE top, BYTE bottom) {
  if (!IsWindowHandle(owner_) || !IsWindowHandle(window) || !IsInitialised()) return nullptr;
  if (left == 0 && right == 0 && top == 0 && bottom == 0) return nullptr;
  LayoutEntry entry;
  entry.window = window;
  entry.left = left;
  entry.right = right;
  entry.top = top;
  entry.bottom = bottom;
  if (!NormalRect(window, entry.initial)) return nullptr;
  entries_.push_front(entry);
  RECT client{};
  ::GetClientRect(owner_, &client);
  const int dx = client.right - initialClientWidth_, dy = client.bottom - initialClientHeight_;
  if (dx != 0 || dy != 0) entries_.front().Apply(dx, dy);
  return &entries_.front();
}

LayoutEntry* CDialogLayout::AddControlByMode(HWND window, int horizontal, int vertical) {
  auto edges = [](int mode, BYTE& first, BYTE& second) {
    switch (mode) {
      case kStretch:
        first = 0, second = 100;
        break;
      case kMove:
        first = 100, second = 100;
        break;
      case kMoveHalf:
        first = 50, second = 50;
        break;
      default:
        first = 0, second = 0;
        break;
    }
  };
  BYTE l, r, t, b;
  edges(horizontal, l, r);
  edges(vertical, t, b);
  return AddControl(window, l, r, t, b);
}

void CDialogLayout::OnSize(UINT type, int width, int height) {
  if (type == SIZE_MINIMIZED || !IsWindowHandle(owner_) || !IsInitialised()) return;
  const int dx = std::max(0, width - static_cast<int>(initialClientWidth_));
  const int dy = std::max(0, height - static_cast<int>(initialClientHeight_));
  for (const LayoutEntry& e : entries_) e.Apply(dx, dy);
  ::RedrawWindow(owner_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CDialogLayout::OnGetMinMaxInfo(MINMAXINFO* info) const {
  if (!info || !IsWindowHandle(owner_) || !IsInitialised()) return;
  info->ptMinTrackSize.x = initialWindowWidth_;
  info->ptMinTrackSize.y = initialWindowHeight_;
  if (!(resizeFlags_ & kWidth)) info->ptMaxTrackSize.x = initialWindowWidth_;
  if (!(resizeFlags_ & kHeight)) info->ptMaxTrackSize.y = initialWindowHeight_;
}

bool CDialogLayout::SavePlacement(const char* name) const {
  if (!IsInitialised() || !IsWindowHandle(owner_)) return false;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!::GetWindowPlacement(owner_, &wp)) return false;
  const struct {
    const char* entry;
    int value;
  } values[] = {
      {kCheck, kCheckIncomplete},
      {"Left", static_cast<int>(wp.rcNormalPosition.left)},
      {"Right", static_cast<int>(wp.rcNormalPosition.right)},
      {"Top", static_cast<int>(wp.rcNormalPosition.top)},
      {"Bottom", static_cast<int>(wp.rcNormalPosition.bottom)},
      {"State", static_cast<int>(wp.showCmd)},
      {kCheck, kCheckComplete},
  };
  for (const auto& v : values) {
    if (!Profile::WriteInt(name, v.entry, v.value)) return false;
  }
  return true;
}

bool CDialogLayout::RestorePlacement(const char* name, bool restoreShowState) const {
  if (!IsWindowHandle(owner_)) return false;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!::GetWindowPlacement(owner_, &wp)) return false;
  if (Profile::GetInt(name, kCheck, 0) != kCheckComplete) return false;
  RECT& r = wp.rcNormalPosition;
  r.left = Profile::GetInt(name, "Left", r.left);
  r.right = Profile::GetInt(name, "Right", r.right);
  r.top = Profile::GetInt(name, "Top", r.top);
  r.bottom = Profile::GetInt(name, "Bottom", r.bottom);
  wp.showCmd = static_cast<UINT>(Profile::GetInt(name, "State", static_cast<int>(wp.showCmd)));
  // A placement that would show the dialog hidden or off every monitor is
  // not ours to keep: a modal dialog there leaves the program looking hung.
  if (wp.showCmd == SW_HIDE || wp.showCmd > SW_MAX) return false;
  if (r.right <= r.left || r.bottom <= r.top || !::MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return false;
  // A dialog closed while minimised comes back as a normal window: a
  // dialog that opens as an icon looks like one that never opened.
  if (wp.showCmd == SW_SHOWMINIMIZED || wp.showCmd == SW_MINIMIZE || wp.showCmd == SW_SHOWMINNOACTIVE)
    wp.showCmd = SW_SHOWNORMAL;
  if (!restoreShowState) wp.showCmd = SW_HIDE;
  wp.flags = 0;
  return ::SetWindowPlacement(owner_, &wp) != FALSE;
}

}  // namespace glyph
