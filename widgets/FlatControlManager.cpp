#include "widgets/FlatControlManager.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace glyph {
namespace {

// Every window whose procedure is ours. An entry with neither a control
// nor a dialog only passes messages on: its window had another subclass
// put above ours when the manager let go of it. The table outlives any
// one manager, so our procedure is in a window's chain at most once.
struct Link {
  WNDPROC previous = nullptr;
  std::shared_ptr<FlatControl> control;
  bool dialog = false;
};

std::map<HWND, Link>& Links() {
  static std::map<HWND, Link> links;
  return links;
}

CFlatControlManager* g_current = nullptr;

std::string ClassOf(HWND hwnd) {
  char name[65] = {};
  ::GetClassNameA(hwnd, name, sizeof name);
  return name;
}

bool Is(const std::string& cls, const char* name) { return ::lstrcmpiA(cls.c_str(), name) == 0; }

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE)); }

bool HasEdge(HWND hwnd) { return (::GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0; }

WNDPROC ProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)); }

// What a control of a class gets, and which of its children are taken.
struct Plan {
  FlatKind kind = FlatKind::kNone;
  enum Children { kNoChildren, kFirstChild, kAllChildren } children = kNoChildren;
  bool childrenFirst = false;
};

Plan PlanFor(HWND hwnd, const std::string& cls) {
  const DWORD style = StyleOf(hwnd);
  const bool edge = HasEdge(hwnd);
  Plan plan;
  if (Is(cls, "Button")) {
    const DWORD type = style & BS_TYPEMASK;
    if (type == BS_OWNERDRAW || type == BS_GROUPBOX || (style & BS_FLAT)) return plan;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) {
      plan.kind = FlatKind::kCheckBox;
    } else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
      plan.kind = FlatKind::kRadio;
    } else {
      plan.kind = FlatKind::kPushButton;
    }
  } else if (Is(cls, "ComboBox")) {
    if ((style & 3) == CBS_SIMPLE) {
      plan.children = Plan::kAllChildren;
    } else {
      plan.kind = FlatKind::kComboBox;
    }
  } else if (Is(cls, "Edit")) {
    HWND parent = ::GetParent(hwnd);
    if (parent && Is(ClassOf(parent), "ComboBox") && (StyleOf(parent) & 3) == CBS_SIMPLE) {
      plan.kind = FlatKind::kEditInSimpleCombo;
    } else if (edge) {
      plan.kind = FlatKind::kEdit;
    }
  } else if (Is(cls, "ListBox") || Is(cls, "SysTreeView32") || Is(cls, "ComboLBox") ||
             Is(cls, "msctls_hotkey32") || Is(cls, "RichEdit") || Is(cls, "RichEdit20W")) {
    if (edge) plan.kind = FlatKind::kGeneric;
  } else if (Is(cls, "SysListView32")) {
    if (edge) {
      plan.kind = FlatKind::kGeneric;
      plan.children = Plan::kFirstChild;
    }
  } else if (Is(cls, "SHELLDLL_DefView") || Is(cls, "ComboBoxEx32")) {
    plan.children = Plan::kFirstChild;
  } else if (Is(cls, "SysDateTimePick32")) {
    if (edge) {
      plan.kind = FlatKind::kDateTime;
      if (style & DTS_UPDOWN) plan.children = Plan::kFirstChild;
    }
  } else if (Is(cls, "SysMonthCal32")) {
    plan.kind = FlatKind::kGeneric;
  } else if (Is(cls, "msctls_updown32")) {
    plan.kind = FlatKind::kUpDown;
  } else if (Is(cls, "ScrollBar")) {
    if (!(style & (SBS_SIZEBOX | SBS_SIZEGRIP))) plan.kind = FlatKind::kScrollBar;
  } else if (Is(cls, "SysIPAddress32")) {
    if (edge) plan.kind = FlatKind::kIpAddress;
  } else if (Is(cls, "msctls_trackbar32")) {
    plan.kind = FlatKind::kTrackbar;
  } else if (Is(cls, "SysHeader32")) {
    if (style & HDS_BUTTONS) plan.kind = FlatKind::kHeader;
  } else if (Is(cls, "ToolbarWindow32")) {
    if (!(style & TBSTYLE_FLAT)) {
      plan.kind = FlatKind::kToolbar;
      plan.children = Plan::kAllChildren;
      plan.childrenFirst = true;
    }
  } else if (Is(cls, "SysTabControl32")) {
    plan.kind = FlatKind::kTab;
    plan.children = Plan::kFirstChild;
  }
  return plan;
}

}  // namespace

CFlatControlManager::CFlatControlManager() {
  if (!g_current) g_current = this;
}

CFlatControlManager::~CFlatControlManager() {
  if (installTimer_) ::KillTimer(nullptr, installTimer_);
  hooks_.clear();
  ReleaseAll();
  StopTimer();
  if (g_current == this) g_current = nullptr;
}

CFlatControlManager* CFlatControlManager::Current() { return g_current; }

bool CFlatControlManager::Install(DWORD threadId, int mode) {
  const DWORD self = ::GetCurrentThreadId();
  if (threadId == kCurrentThread) threadId = self;
  if (threadId != self || g_current != this) return false;
  if (!hooks_.count(threadId)) {
    UniqueHook hook(::SetWindowsHookExA(WH_CALLWNDPROC, &CFlatControlManager::HookProc, nullptr, threadId));
    if (!hook) return false;
    hooks_.emplace(threadId, std::move(hook));
  }
  mode_ = mode;
  return true;
}

bool CFlatControlManager::InstallWhenIdle(int mode) {
  if (g_current != this) return false;
  mode_ = mode;
  if (!installTimer_)
    installTimer_ = ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &CFlatControlManager::TimerProc);
  return installTimer_ != 0;
}

void CFlatControlManager::Adopt(HWND dialog) {
  if (dialog && enabled_ && mode_ == kDialogMode) TakeDialog(dialog);
}

void CFlatControlManager::Uninstall(DWORD threadId) {
  if (threadId == kCurrentThread) threadId = ::GetCurrentThreadId();
  hooks_.erase(threadId);
  if (hooks_.empty()) {
    StopTimer();
    ReleaseAll();
  }
}

FlatControl* CFlatControlManager::Find(HWND hwnd) const {
  if (!hwnd) return nullptr;
  auto it = Links().find(hwnd);
  return it == Links().end() ? nullptr : it->second.control.get();
}

bool CFlatControlManager::IsDialogTaken(HWND hwnd) const {
  auto it = Links().find(hwnd);
  return it != Links().end() && it->second.dialog;
}

size_t CFlatControlManager::ControlCount() const {
  size_t n = 0;
  for (const auto& [hwnd, link] : Links()) n += link.control != nullptr;
  return n;
}

size_t CFlatControlManager::DialogCount() const {
  size_t n = 0;
  for (const auto& [hwnd, link] : Links()) n += link.dialog;
  return n;
}

size_t CFlatControlManager::PassThroughCount() {
  size_t n = 0;
  for (const auto& [hwnd, link] : Links()) n += !link.control && !link.dialog;
  return n;
}

bool CFlatControlManager::SubclassControl(HWND hwnd, const char* className) {
  if (!hwnd || Find(hwnd)) return false;
  const std::string cls = className ? className : ClassOf(hwnd);
  const Plan plan = PlanFor(hwnd, cls);
  const bool firstOnly = plan.children == Plan::kFirstChild;
  if (plan.children != Plan::kNoChildren && (plan.childrenFirst || plan.kind == FlatKind::kNone)) {
    TakeChildren(hwnd, firstOnly);
  }
  if (plan.kind == FlatKind::kNone) return false;
  Attach(hwnd, plan.kind);
  if (plan.children != Plan::kNoChildren && !plan.childrenFirst) TakeChildren(hwnd, firstOnly);
  return true;
}

void CFlatControlManager::TakeChildren(HWND hwnd, bool firstOnly) {
  for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    SubclassControl(child);
    if (firstOnly) break;
  }
}

void CFlatControlManager::Attach(HWND hwnd, FlatKind kind) {
  auto [it, added] = Links().try_emplace(hwnd);
  Link& link = it->second;
  if (added) {
    link.previous = ProcOf(hwnd);
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CFlatControlManager::SubclassProc));
  }
  link.control = MakeFlatControl(kind, hwnd, link.previous);
  if (!timer_) StartTimer();
}

void CFlatControlManager::TakeDialog(HWND dialog) {
  if (IsDialogTaken(dialog)) return;
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  for (HWND child : children) {
    // Nested dialogs are taken when they initialise themselves.
    if ((StyleOf(child) & WS_CHILD) && !Is(ClassOf(child), "#32770")) SubclassControl(child);
  }
  auto [it, added] = Links().try_emplace(dialog);
  if (added) {
    it->second.previous = ProcOf(dialog);
    ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CFlatControlManager::SubclassProc));
  }
  it->second.dialog = true;
  for (HWND child : children) {
    if (FlatControl* control = Find(child)) control->Redraw();
  }
}

void CFlatControlManager::ReleaseAll() {
  hot_ = nullptr;
  std::vector<HWND> windows;
  for (const auto& [hwnd, link] : Links()) windows.push_back(hwnd);
  for (HWND hwnd : windows) {
    Link& link = Links()[hwnd];
    link.control.reset();
    link.dialog = false;
    if (ProcOf(hwnd) == &CFlatControlManager::SubclassProc) {
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link.previous));
      Links().erase(hwnd);
    }
  }
}

void CFlatControlManager::Forget(HWND hwnd) {
  auto it = Links().find(hwnd);
  if (it == Links().end()) return;
  if (ProcOf(hwnd) == &CFlatControlManager::SubclassProc) {
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
  }
  Links().erase(it);
  if (hot_ == hwnd) hot_ = nullptr;
  if (ControlCount() == 0) StopTimer();
}

void CFlatControlManager::StartTimer() {
  timer_ = ::SetTimer(nullptr, 0, kHoverPeriodMs, &CFlatControlManager::TimerProc);
}

void CFlatControlManager::StopTimer() {
  if (timer_) ::KillTimer(nullptr, timer_);
  timer_ = 0;
}

void CALLBACK CFlatControlManager::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_current) return;
  if (g_current->installTimer_ == id) {
    ::KillTimer(nullptr, id);
    g_current->installTimer_ = 0;
    g_current->Install(kCurrentThread, g_current->mode_);
  } else if (g_current->timer_ == id) {
    g_current->CheckHover();
  }
}

void CFlatControlManager::CheckHover() {
  if (::GetCapture() || ControlCount() == 0) return;
  POINT pt;
  if (!::GetCursorPos(&pt)) return;
  HWND under = ::WindowFromPoint(pt);
  FlatControl* control = Find(under);
  if (!control && under) control = Find(::GetParent(under));
  if (control && control->GetHwnd() != hot_) {
    if (FlatControl* previous = Find(hot_)) {
      previous->SetHot(false);
      previous->Redraw();
    }
    hot_ = control->GetHwnd();
    // Redrawing may run any code: look the new control up again.
    if (FlatControl* now = Find(hot_)) {
      now->SetHot(true);
      now->Redraw();
    }
  } else if (!control && hot_) {
    HWND was = hot_;
    hot_ = nullptr;
    if (FlatControl* previous = Find(was)) {
      previous->SetHot(false);
      previous->Redraw();
    }
  }
}

LRESULT CALLBACK CFlatControlManager::HookProc(int code, WPARAM wp, LPARAM lp) {
  CFlatControlManager* self = g_current;
  if (self && self->hooks_.count(::GetCurrentThreadId()) && code == HC_ACTION && self->enabled_ &&
      self->mode_ == kDialogMode) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (call->message == WM_INITDIALOG) self->TakeDialog(call->hwnd);
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CFlatControlManager::DialogProc(HWND hwnd, WNDPROC previous, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PARENTNOTIFY && LOWORD(wp) == WM_CREATE && g_current) {
    g_current->SubclassControl(reinterpret_cast<HWND>(lp));
  }
  return ::CallWindowProcA(previous, hwnd, msg, wp, lp);
}

LRESULT CALLBACK CFlatControlManager::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto it = Links().find(hwnd);
  if (it == Links().end()) return ::DefWindowProcA(hwnd, msg, wp, lp);
  // Copies: the table may change (even lose this window) while the
  // message is being handled.
  const WNDPROC previous = it->second.previous;
  const std::shared_ptr<FlatControl> control = it->second.control;
  const bool dialog = it->second.dialog;
  LRESULT result;
  if (control) {
    result = control->WindowProc(msg, wp, lp);
  } else if (dialog) {
    result = DialogProc(hwnd, previous, msg, wp, lp);
  } else {
    result = ::CallWindowProcA(previous, hwnd, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    if (g_current) {
      g_current->Forget(hwnd);
    } else {
      auto gone = Links().find(hwnd);
      if (gone != Links().end()) {
        if (ProcOf(hwnd) == &CFlatControlManager::SubclassProc) {
          ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gone->second.previous));
        }
        Links().erase(gone);
      }
    }
  }
  return result;
}

}  // namespace glyph
