#include "widgets/HyperLink.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/PlainControls.h"
#include "framework/WindowText.h"
#include "widgets/LinkText.h"

namespace glyph {
namespace {

// Registry values read for the fallback are at most this long.
constexpr DWORD kRegistryValueLength = 260;
// The hand pointer among the help viewer's resources.
constexpr WORD kHelpViewerHandCursor = 106;

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

// The shared hand cursor: a copy of the help viewer's (ours to free), or
// the system's hand when that is missing (shared, never freed).
UniqueCursor g_ownedHand;
HCURSOR g_hand = nullptr;

}  // namespace

INT_PTR LinkPlatform::ShellExecuteOpen(const std::string& target, int show) {
  // The wide call: the shell hands the target on as it is, whatever the
  // code page of the program it starts.
  const int length = static_cast<int>(target.size());
  std::wstring wide(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, target.c_str(), length, nullptr, 0)),
                    L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, target.c_str(), length, wide.data(), static_cast<int>(wide.size()));
  return reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, show));
}

bool LinkPlatform::ReadClassesRoot(const std::string& key, std::string& value) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
    return false;
  UniqueRegKey owned(raw);
  char buffer[kRegistryValueLength + 1] = {};
  DWORD size = kRegistryValueLength;
  DWORD type = 0;
  if (::RegQueryValueExA(owned.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  value.assign(buffer, size < kRegistryValueLength ? size : kRegistryValueLength);
  while (!value.empty() && value.back() == '\0') value.pop_back();
  return true;
}

UINT LinkPlatform::RunCommand(const std::string& commandLine, int show) {
  return ::WinExec(commandLine.c_str(), static_cast<UINT>(show));
}

void LinkPlatform::Beep() { ::MessageBeep(MB_ICONEXCLAMATION); }

void LinkPlatform::ShowMessage(HWND owner, const std::string& text) {
  ::MessageBoxA(owner, text.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
}

LinkPlatform& LinkPlatform::System() {
  static LinkPlatform system;
  return system;
}

CHyperLink::~CHyperLink() {
  // The control may live on: give it back its own font before ours goes.
  if (GetHwnd() && font_)
    ::SendMessageA(GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(originalFont_), FALSE);
}

void CHyperLink::LoadHandCursor() {
  if (g_hand) return;
  char dir[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryA(dir, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    const std::string path = std::string(dir) + "\\winhlp32.exe";
    UniqueModule viewer(::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (viewer) {
      if (HCURSOR cursor = ::LoadCursorA(viewer.Get(), MAKEINTRESOURCEA(kHelpViewerHandCursor))) {
        g_ownedHand.Reset(static_cast<HCURSOR>(::CopyIcon(cursor)));
        g_hand = g_ownedHand.Get();
      }
    }
  }
  // Without the help viewer any hand-shaped pointer will do.
  if (!g_hand) g_hand = ::LoadCursor(nullptr, IDC_HAND);
}

HCURSOR CHyperLink::GetHandCursor() { return g_hand; }

void CHyperLink::PreSubclassWindow() {
  HWND hwnd = GetHwnd();
  if (target_.empty()) target_ = WindowText(hwnd);
  if (WindowText(hwnd).empty()) ::SetWindowTextA(hwnd, target_.c_str());

  originalFont_ = reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0));
  LOGFONTA lf;
  if (originalFont_ && ::GetObjectA(originalFont_, sizeof lf, &lf) == sizeof lf) {
    lf.lfUnderline = (options_ & kUnderline) ? TRUE : FALSE;
    font_.Reset(::CreateFontIndirectA(&lf));
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    FitToText();
  } else {
    options_ &= ~kFitToText;
  }

  if (!(options_ & kNoHandCursor)) LoadHandCursor();

  // TTF_SUBCLASS lets the tooltip see the link's mouse messages itself.
  LoadCommonControls();
  toolTip_.Reset(::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, nullptr, nullptr));
  if (toolTip_) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd;
    tool.uId = kToolId;
    ::GetClientRect(hwnd, &tool.rect);
    tool.lpszText = const_cast<char*>(target_.c_str());
    ::SendMessageA(toolTip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void CHyperLink::UpdateToolText() {
  if (!toolTip_) return;
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = GetHwnd();
  tool.uId = kToolId;
  tool.lpszText = const_cast<char*>(target_.c_str());
  ::SendMessageA(toolTip_.Get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLink::SetLink(const std::string& target) {
  target_ = target;
  if (!GetHwnd()) return;
  ::ShowWindow(GetHwnd(), SW_HIDE);
  FitToText();
  UpdateToolText();
  ::ShowWindow(GetHwnd(), SW_SHOW);
}

void CHyperLink::FitToText() {
  HWND hwnd = GetHwnd();
  if (!hwnd || !(options_ & kFitToText)) return;
  HWND parent = ::GetParent(hwnd);
  RECT window, client;
  ::GetWindowRect(hwnd, &window);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
  ::GetClientRect(hwnd, &client);

  const std::string text = WindowText(hwnd);
  SIZE extent{};
  {
    WindowDC dc(hwnd);
    ScopedSelect select(dc.Get(), font_.Get());
    ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
  }
  // Non-client borders around the client area, kept around the text.
  const int borderX = (window.right - window.left) - client.right;
  const int borderY = (window.bottom - window.top) - client.bottom;
  RECT r = client;
  ::OffsetRect(&r, window.left, window.top);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE));
  if (style & SS_CENTERIMAGE) {
    const int shrink = (r.bottom - r.top - extent.cy) / 2;
    r.top += shrink;
    r.bottom -= shrink;
  } else {
    r.bottom = r.top + extent.cy;
  }
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
      const int shrink = (r.right - r.left - extent.cx) / 2;
      r.left += shrink;
      r.right -= shrink;
      break;
    }
    case SS_RIGHT:
      r.left = r.right - extent.cx;
      break;
    default:
      r.right = r.left + extent.cx;
      break;
  }
  ::MoveWindow(hwnd, r.left, r.top, r.right - r.left + borderX, r.bottom - r.top + borderY, TRUE);
}

COLORREF CHyperLink::TextColour() const {
  if (mouseOver_ && (options_ & kUseHoverColour)) return kHoverColour;
  if (!(options_ & kNoActiveColour) && active_) return kActiveColour;
  return visited_ ? kVisitedColour : kLinkColour;
}

HBRUSH CHyperLink::CtlColor(HDC dc, UINT msg) {
  if (msg != WM_CTLCOLORSTATIC) return nullptr;
  ::SetTextColor(dc, TextColour());
  ::SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CHyperLink::Repaint() {
  // The link is transparent: its parent's background goes under the text.
  HWND hwnd = GetHwnd();
  HWND parent = ::GetParent(hwnd);
  if (!parent) {
    ::InvalidateRect(hwnd, nullptr, TRUE);
    return;
  }
  RECT r;
  ::GetWindowRect(hwnd, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  ::RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL CHyperLink::OnSetCursor(HWND, UINT, UINT) {
  if (g_hand && !(options_ & kNoHandCursor)) {
    ::SetCursor(g_hand);
    return TRUE;
  }
  return FALSE;
}

void CHyperLink::OnMouseMove(UINT, POINT pt) {
  if (mouseOver_) {
    RECT client;
    ::GetClientRect(GetHwnd(), &client);
    if (::PtInRect(&client, pt)) return;
    mouseOver_ = 0;
    ::ReleaseCapture();
    Repaint();
    return;
  }
  mouseOver_ = 1;
  Repaint();
  ::SetCapture(GetHwnd());
}

void CHyperLink::OnLButtonDown(UINT, POINT) {
  if (options_ & kFocusOnClick) ::SetFocus(GetHwnd());
  active_ = 1;
}

void CHyperLink::OnLButtonUp(UINT, POINT) {
  if (active_) OpenLink();
}

void CHyperLink::OnSetFocus(HWND) {
  active_ = 1;
  Repaint();
}

void CHyperLink::OnKillFocus(HWND) {
  mouseOver_ = 0;
  active_ = 0;
  Repaint();
}

LRESULT CHyperLink::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCHITTEST:
      return HTCLIENT;  // a static is transparent to the mouse otherwise
    case WM_KEYDOWN:
      if (wp == VK_SPACE) {
        OpenLink();
        return 0;
      }
      break;
    default:
      break;
  }
  return Window::WindowProc(msg, wp, lp);
}

void CHyperLink::OpenLink() {
  const INT_PTR code = ShellOpen(target_, SW_SHOW);
  if (code <= 32) {
    Platform().Beep();
    ShowOpenError(code);
    return;
  }
  visited_ = 1;
  Repaint();
}

INT_PTR CHyperLink::ShellOpen(const std::string& target, int show) {
  LinkPlatform& platform = Platform();
  const INT_PTR code = platform.ShellExecuteOpen(target, show);
  if (code > 32) return code;
  std::string className;
  if (!platform.ReadClassesRoot(".htm", className)) return code;
  std::string command;
  if (!platform.ReadClassesRoot(className + "\\shell\\open\\command", command)) return code;
  return static_cast<INT_PTR>(platform.RunCommand(FallbackCommandLine(command, target, &IsLeadByte), show));
}

void CHyperLink::ShowOpenError(INT_PTR code) {
  Platform().ShowMessage(GetHwnd() ? ::GetParent(GetHwnd()) : nullptr, OpenErrorMessage(code));
}

}  // namespace glyph
