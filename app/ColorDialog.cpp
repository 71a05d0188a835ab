#include "app/ColorDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <climits>

namespace glyph {
namespace {

// Where the hook keeps the alpha while the dialog is open.
constexpr wchar_t kAlphaProperty[] = L"GlyphsmithAlpha";
constexpr int kAlphaArrows = kColorAlphaField + 1;

// The field's row, in dialog units: a label and an edit box with arrows.
constexpr RECT kRowUnits{0, 0, 60, 14};
constexpr int kLabelUnits = 26;
constexpr int kGapUnits = 6;

HWND MakeChild(HWND dialog, const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int id,
               const RECT& at) {
  HWND child = ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top,
                                 at.right - at.left, at.bottom - at.top, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  if (child) ::SendMessageW(child, WM_SETFONT, ::SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
  return child;
}

// Lowest edge and leftmost edge of the dialog's own controls, in client
// coordinates. Controls the dialog keeps out of sight below its client
// area do not count.
void OwnControlsExtent(HWND dialog, int& left, int& bottom) {
  RECT client;
  ::GetClientRect(dialog, &client);
  left = INT_MAX;
  bottom = 0;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    // Not IsWindowVisible: the dialog itself is not shown yet.
    if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    if (r.bottom > client.bottom) continue;
    left = std::min(left, static_cast<int>(r.left));
    bottom = std::max(bottom, static_cast<int>(r.bottom));
  }
  if (left == INT_MAX) left = 0;
}

void AddAlphaField(HWND dialog, int alpha) {
  RECT row = kRowUnits;
  RECT units{kLabelUnits, kGapUnits, 0, 0};
  ::MapDialogRect(dialog, &row);
  ::MapDialogRect(dialog, &units);
  int left = 0, bottom = 0;
  OwnControlsExtent(dialog, left, bottom);
  const int top = bottom + units.top;

  RECT window;
  ::GetWindowRect(dialog, &window);
  ::SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top + row.bottom + 2 * units.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  const RECT label{left, top + 2, left + units.left, top + row.bottom};
  MakeChild(dialog, L"STATIC", L"&Alpha:", SS_LEFT, 0, -1, label);
  const RECT edit{label.right, top, label.right + row.right - units.left, top + row.bottom};
  HWND field =
      MakeChild(dialog, L"EDIT", L"", ES_NUMBER | WS_TABSTOP, WS_EX_CLIENTEDGE, kColorAlphaField, edit);
  HWND arrows = MakeChild(dialog, UPDOWN_CLASSW, L"", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0,
                          kAlphaArrows, edit);
  if (!field || !arrows) return;
  ::SendMessageW(field, EM_LIMITTEXT, 3, 0);
  ::SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
  ::SendMessageW(arrows, UDM_SETRANGE32, 0, kAlphaOpaque);
  ::SendMessageW(arrows, UDM_SETPOS32, 0, alpha);
}

UINT_PTR CALLBACK ColorHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    const auto* choose = reinterpret_cast<const CHOOSECOLORW*>(lp);
    auto* alpha = reinterpret_cast<int*>(choose->lCustData);
    ::SetPropW(dialog, kAlphaProperty, alpha);
    AddAlphaField(dialog, *alpha);
    return TRUE;
  }
  if (msg == WM_DESTROY) {
    // The value is taken whether the dialog ends by OK or not; the caller
    // only uses it after OK.
    auto* alpha = static_cast<int*>(::RemovePropW(dialog, kAlphaProperty));
    BOOL read = FALSE;
    const UINT value = ::GetDlgItemInt(dialog, kColorAlphaField, &read, FALSE);
    if (alpha && read) *alpha = static_cast<int>(std::min<UINT>(value, kAlphaOpaque));
  }
  return FALSE;
}

}  // namespace

bool ChooseColorWithAlpha(HWND owner, ColorValue& color, int* alpha, COLORREF (&custom)[16]) {
  int chosenAlpha = alpha ? std::clamp(*alpha, 0, kAlphaOpaque) : kAlphaOpaque;
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.rgbResult = color;
  choose.lpCustColors = custom;
  choose.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (alpha) {
    choose.Flags |= CC_ENABLEHOOK;
    choose.lpfnHook = &ColorHook;
    choose.lCustData = reinterpret_cast<LPARAM>(&chosenAlpha);
  }
  if (!::ChooseColorW(&choose)) return false;
  color = choose.rgbResult & 0xFFFFFF;
  if (alpha) *alpha = chosenAlpha;
  return true;
}

}  // namespace glyph
