#include "widgets/FlatControls.h"

#include <commctrl.h>

#include <cmath>

#include "framework/Handles.h"
#include "widgets/FlatControlManager.h"

namespace glyph {
namespace flat {

void Fill(HDC dc, int x, int y, int width, int height, COLORREF colour) {
  if (width <= 0 || height <= 0) return;
  const RECT r{x, y, x + width, y + height};
  ::SetBkColor(dc, colour);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void Frame(HDC dc, const RECT& r, int topLeft, int bottomRight) {
  const int x = r.left, y = r.top, w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  const COLORREF tl = ::GetSysColor(topLeft), br = ::GetSysColor(bottomRight);
  Fill(dc, x, y, w - 1, 1, tl);
  Fill(dc, x, y, 1, h - 1, tl);
  Fill(dc, x + w - 1, y, 1, h, br);
  Fill(dc, x, y + h - 1, w, 1, br);
}

void DoubleFrame(HDC dc, RECT r, int otl, int obr, int itl, int ibr) {
  Frame(dc, r, otl, obr);
  ::InflateRect(&r, -1, -1);
  Frame(dc, r, itl, ibr);
}

void TripleFrame(HDC dc, RECT r, int otl, int obr, int mtl, int mbr, int itl, int ibr) {
  DoubleFrame(dc, r, otl, obr, mtl, mbr);
  ::InflateRect(&r, -2, -2);
  Frame(dc, r, itl, ibr);
}

}  // namespace flat

namespace {

using flat::DoubleFrame;
using flat::Frame;
using flat::TripleFrame;

RECT WindowRectAtZero(HWND hwnd) {
  RECT r;
  ::GetWindowRect(hwnd, &r);
  ::OffsetRect(&r, -r.left, -r.top);
  return r;
}

// Rectangle of child in parent's window coordinates (0, 0 at the window's corner).
RECT RectInWindowOf(HWND child, HWND parent) {
  RECT r, p;
  ::GetWindowRect(child, &r);
  ::GetWindowRect(parent, &p);
  ::OffsetRect(&r, -p.left, -p.top);
  return r;
}

// Client coordinates of hwnd to its window coordinates (window DC).
void ToWindow(HWND hwnd, RECT& r) {
  POINT origin{0, 0};
  ::ClientToScreen(hwnd, &origin);
  RECT window;
  ::GetWindowRect(hwnd, &window);
  ::OffsetRect(&r, origin.x - window.left, origin.y - window.top);
}

bool CursorIn(HWND hwnd, const RECT& clientRect) {
  POINT pt;
  ::GetCursorPos(&pt);
  ::ScreenToClient(hwnd, &pt);
  return ::PtInRect(&clientRect, pt) != FALSE;
}

// The frame of list views, tree views, list boxes, edits and the like.
void GenericFrame(HDC dc, const RECT& r, bool hotOrFocused, bool flatFace, bool small) {
  if (hotOrFocused) {
    DoubleFrame(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  } else if (flatFace) {
    DoubleFrame(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE, COLOR_BTNFACE);
  } else if (small) {
    DoubleFrame(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT);
  } else {
    DoubleFrame(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT, COLOR_3DLIGHT);
  }
}

// A raised face (header and tab items, toolbar buttons, trackbar thumbs),
// lit while the pointer is over it or it has the focus.
void RaisedFrame(HDC dc, const RECT& r, bool lit) {
  if (lit) {
    DoubleFrame(dc, r, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNSHADOW);
  } else {
    DoubleFrame(dc, r, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNFACE);
  }
}

// An arrow button of a scroll bar or an up-down half.
void ArrowButton(HDC dc, const RECT& r, bool enabled, bool hotOrFocused) {
  if (enabled && hotOrFocused) {
    DoubleFrame(dc, r, COLOR_BTNFACE, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  } else {
    RaisedFrame(dc, r, false);
  }
}

// The two arrow buttons at the ends of a scroll bar lying in bar.
void ScrollArrows(HDC dc, const RECT& bar, bool vertical, bool enabled, bool hotOrFocused) {
  if (vertical) {
    const int length = bar.bottom - bar.top;
    int button = ::GetSystemMetrics(SM_CYVSCROLL);
    if (length < 2 * button) button = length / 2;
    ArrowButton(dc, RECT{bar.left, bar.top, bar.right, bar.top + button}, enabled, hotOrFocused);
    ArrowButton(dc, RECT{bar.left, bar.bottom - button, bar.right, bar.bottom}, enabled, hotOrFocused);
  } else {
    const int length = bar.right - bar.left;
    int button = ::GetSystemMetrics(SM_CXHSCROLL);
    if (length < 2 * button) button = length / 2;
    ArrowButton(dc, RECT{bar.left, bar.top, bar.left + button, bar.bottom}, enabled, hotOrFocused);
    ArrowButton(dc, RECT{bar.right - button, bar.top, bar.right, bar.bottom}, enabled, hotOrFocused);
  }
}

class Generic : public FlatControl {
 public:
  using FlatControl::FlatControl;

 protected:
  bool FlatFace() const { return !Enabled() || (state_ & kReadOnly); }
  void Draw(HDC dc, RECT r) override {
    GenericFrame(dc, r, Hot() || Focused(), FlatFace(), Small());
    DrawScrollBars(dc, r);
  }
  void DrawScrollBars(HDC dc, RECT r) {
    const DWORD style = Style();
    ::InflateRect(&r, -2, -2);
    const int cx = ::GetSystemMetrics(SM_CXVSCROLL), cy = ::GetSystemMetrics(SM_CYHSCROLL);
    const bool v = style & WS_VSCROLL, h = style & WS_HSCROLL;
    if (v)
      ScrollArrows(dc, RECT{r.right - cx, r.top, r.right, r.bottom - (h ? cy : 0)}, true, Enabled(),
                   Hot() || Focused());
    if (h)
      ScrollArrows(dc, RECT{r.left, r.bottom - cy, r.right - (v ? cx : 0), r.bottom}, false, Enabled(),
                   Hot() || Focused());
  }
};

// A buddy up-down aligned beside hwnd, if any.
HWND BuddyUpDown(HWND edit) {
  for (HWND next : {::GetWindow(edit, GW_HWNDNEXT), ::GetWindow(edit, GW_HWNDPREV)}) {
    char cls[64] = {};
    if (!next || !::GetClassNameA(next, cls, sizeof cls) || lstrcmpiA(cls, UPDOWN_CLASSA) != 0) continue;
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(next, GWL_STYLE));
    if (!(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) continue;
    if (reinterpret_cast<HWND>(::SendMessageA(next, UDM_GETBUDDY, 0, 0)) == edit) return next;
  }
  return nullptr;
}

class Edit : public Generic {
 public:
  using Generic::Generic;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_ENABLE) {
      CallPrevious(msg, wp, lp);
      Redraw();
      if (HWND upDown = BuddyUpDown(hwnd_)) ::SendMessageA(upDown, WM_PAINT, 0, 0);
      return 0;
    }
    return Generic::WindowProc(msg, wp, lp);
  }

 protected:
  void Draw(HDC dc, RECT r) override {
    if (Style() & ES_READONLY) {
      state_ |= kReadOnly;
    } else {
      state_ &= ~kReadOnly;
    }
    if (HWND upDown = BuddyUpDown(hwnd_)) {
      const RECT u = RectInWindowOf(upDown, hwnd_);
      const bool left = ::GetWindowLongPtrA(upDown, GWL_STYLE) & UDS_ALIGNLEFT;
      const COLORREF line = ::GetSysColor(!Enabled()             ? COLOR_BTNFACE
                                          : (Hot() || Focused()) ? COLOR_3DDKSHADOW
                                                                 : COLOR_BTNHIGHLIGHT);
      flat::Fill(dc, u.left, u.top, u.right - u.left, 1, line);
      if (left) flat::Fill(dc, u.left, u.top, 1, u.bottom - u.top, line);
      ::UnionRect(&r, &r, &u);
    }
    Generic::Draw(dc, r);
  }
};

class EditInSimpleCombo : public Edit {
 public:
  using Edit::Edit;

 protected:
  HWND FrameWindow() const override { return ::GetParent(hwnd_); }
  RECT FrameRect() const override {
    RECT e;
    ::GetWindowRect(hwnd_, &e);
    return RECT{0, 0, e.right - e.left + 6, e.bottom - e.top + 6};
  }
};

class ComboBox : public Generic {
 public:
  using Generic::Generic;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if ((msg == WM_COMMAND && HIWORD(wp) == EN_SETFOCUS) || (msg == WM_LBUTTONUP && lp == -1)) Redraw();
    return Generic::WindowProc(msg, wp, lp);
  }

 protected:
  bool IsFocused() const override {
    HWND focus = ::GetFocus();
    return focus && (focus == hwnd_ || ::GetParent(focus) == hwnd_);
  }
  void Draw(HDC dc, RECT r) override {
    GenericFrame(dc, r, Hot() || Focused(), FlatFace(), Small());
    RECT button = r;
    ::InflateRect(&button, -2, -2);
    button.left = button.right - ::GetSystemMetrics(SM_CXVSCROLL);
    if (!Enabled()) {
      DoubleFrame(dc, button, COLOR_BTNFACE, COLOR_BTNFACE, COLOR_BTNFACE, COLOR_BTNFACE);
    } else {
      ArrowButton(dc, button, true, Hot() || Focused());
    }
  }
};

class DateTime : public ComboBox {
 public:
  using ComboBox::ComboBox;

 protected:
  void Draw(HDC dc, RECT r) override {
    if (Style() & DTS_UPDOWN) {
      GenericFrame(dc, r, Hot() || Focused(), FlatFace(), Small());
    } else {
      ComboBox::Draw(dc, r);
    }
  }
};

class ButtonBase : public FlatControl {
 public:
  using FlatControl::FlatControl;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_SETTEXT || msg == BM_SETCHECK) {
      CallPrevious(msg, wp, lp);
      Redraw();
      return 0;
    }
    return FlatControl::WindowProc(msg, wp, lp);
  }

 protected:
  // A button made owner-drawn (or flat, or a group box) after it was
  // taken keeps its own look.
  bool DrawsItself() const {
    const DWORD style = Style();
    const DWORD type = style & BS_TYPEMASK;
    return type == BS_OWNERDRAW || type == BS_GROUPBOX || (style & BS_FLAT);
  }
  void DrawPush(HDC dc, const RECT& r) {
    const bool calm = !Hot() && !Focused();
    const int a = calm ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW;
    const int b = calm ? COLOR_BTNFACE : COLOR_3DLIGHT;
    const int c = calm ? COLOR_BTNFACE : COLOR_BTNSHADOW;
    const DWORD type = Style() & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON && Enabled()) {
      TripleFrame(dc, r, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, a, b, c);
    } else if (::SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      DoubleFrame(dc, r, a, COLOR_BTNHIGHLIGHT, c, b);
    } else {
      TripleFrame(dc, r, COLOR_BTNHIGHLIGHT, a, b, c, COLOR_BTNFACE, COLOR_BTNFACE);
    }
  }
  // Where the 13 x 13 box (or 12-pixel circle) of a check box or radio sits.
  RECT MarkRect(const RECT& r, int size, int rightInset, int leftInset) const {
    const DWORD style = Style();
    int top = r.top + (r.bottom - r.top - 13) / 2;
    if ((style & BS_VCENTER) == BS_TOP) top = r.top + 1;
    if ((style & BS_VCENTER) == BS_BOTTOM) top = r.bottom - 15;
    const int left = (style & BS_LEFTTEXT) ? r.right - rightInset : r.left + leftInset;
    return RECT{left, top, left + size, top + size};
  }
};

class PushButton : public ButtonBase {
 public:
  using ButtonBase::ButtonBase;

 protected:
  void Draw(HDC dc, RECT r) override {
    if (!DrawsItself()) DrawPush(dc, r);
  }
};

class CheckBox : public ButtonBase {
 public:
  using ButtonBase::ButtonBase;

 protected:
  bool IsFocused() const override { return false; }
  void Draw(HDC dc, RECT r) override {
    if (DrawsItself()) return;
    if (Style() & BS_PUSHLIKE) {
      DrawPush(dc, r);
      return;
    }
    const RECT box = MarkRect(r, 13, 13, 0);
    if (Hot() || Focused()) {
      DoubleFrame(dc, box, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNFACE);
    } else if (!Enabled()) {
      DoubleFrame(dc, box, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE, COLOR_BTNFACE);
    } else {
      const int inside =
          ::SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_INDETERMINATE ? COLOR_BTNHIGHLIGHT : COLOR_WINDOW;
      DoubleFrame(dc, box, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, inside, inside);
    }
  }
};

class Radio : public ButtonBase {
 public:
  using ButtonBase::ButtonBase;

 protected:
  bool IsFocused() const override { return false; }
  void Draw(HDC dc, RECT r) override {
    if (DrawsItself()) return;
    int otl, obr, itl, ibr;
    if (Hot() || Focused()) {
      otl = COLOR_3DDKSHADOW, obr = COLOR_BTNHIGHLIGHT, itl = COLOR_BTNSHADOW, ibr = COLOR_BTNFACE;
    } else if (!Enabled()) {
      otl = COLOR_BTNSHADOW, obr = COLOR_BTNHIGHLIGHT, itl = COLOR_BTNFACE, ibr = COLOR_BTNFACE;
    } else {
      otl = COLOR_BTNSHADOW, obr = COLOR_BTNHIGHLIGHT, itl = COLOR_WINDOW, ibr = COLOR_WINDOW;
    }
    const RECT box = MarkRect(r, 12, 12, 1);
    // Two rings of a circle 12 pixels across; the upper left half of each
    // ring takes the top-left colour.
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 12; ++x) {
        const double d = std::hypot(x - 5.5, y - 5.5);
        int colour;
        if (d >= 4.9 && d < 6.0) {
          colour = (x + y < 11) ? otl : obr;
        } else if (d >= 3.9 && d < 4.9) {
          colour = (x + y < 11) ? itl : ibr;
        } else {
          continue;
        }
        ::SetPixel(dc, box.left + x, box.top + y, ::GetSysColor(colour));
      }
    }
  }
};

class UpDown : public FlatControl {
 public:
  using FlatControl::FlatControl;

 protected:
  HWND Buddy() const { return reinterpret_cast<HWND>(::SendMessageA(hwnd_, UDM_GETBUDDY, 0, 0)); }
  void Draw(HDC dc, RECT r) override {
    const DWORD style = Style();
    HWND buddy = Buddy();
    const bool enabled = buddy ? ::IsWindowEnabled(buddy) != FALSE : Enabled();
    if (buddy && (style & UDS_ALIGNRIGHT)) r.left += 2;
    if (buddy && (style & UDS_ALIGNLEFT)) r.right -= 2;
    RECT first = r, second = r;
    if (style & UDS_HORZ) {
      first.right = second.left = (r.left + r.right) / 2;
    } else {
      first.bottom = second.top = (r.top + r.bottom) / 2;
    }
    ArrowButton(dc, first, enabled, Hot() || Focused());
    ArrowButton(dc, second, enabled, Hot() || Focused());
    CFlatControlManager* manager = CFlatControlManager::Current();
    FlatControl* buddyControl = manager && buddy ? manager->Find(buddy) : nullptr;
    // The two pixels given up on the buddy's side join the buddy's calm frame.
    if (buddyControl && !(buddyControl->GetState() & (kHot | kFocused)) &&
        (style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) {
      const COLORREF outer = ::GetSysColor(enabled ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE);
      const COLORREF inner = ::GetSysColor(enabled ? COLOR_3DLIGHT : COLOR_BTNFACE);
      const int height = r.bottom - r.top;
      if (style & UDS_ALIGNRIGHT) {
        flat::Fill(dc, r.left - 2, r.top, 1, height, inner);
        flat::Fill(dc, r.left - 1, r.top, 1, height, outer);
      } else {
        flat::Fill(dc, r.right, r.top, 1, height, outer);
        flat::Fill(dc, r.right + 1, r.top, 1, height, inner);
      }
    }
    // The buddy (or the parent) shares the up-down's hot look.
    HWND partner = buddy ? buddy : ::GetParent(hwnd_);
    if (FlatControl* other = manager ? manager->Find(partner) : nullptr) {
      if (((other->GetState() & kHot) != 0) != Hot()) {
        other->SetHot(Hot());
        other->Redraw();
      }
    }
  }
};

class ScrollBar : public FlatControl {
 public:
  using FlatControl::FlatControl;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    const bool redraw =
        (msg == SBM_SETPOS && wp) || (msg == SBM_SETRANGEREDRAW) || (msg == SBM_SETSCROLLINFO && wp);
    if (!redraw) return FlatControl::WindowProc(msg, wp, lp);
    const LRESULT result = CallPrevious(msg, wp, lp);
    Redraw();
    return result;
  }

 protected:
  void Draw(HDC dc, RECT r) override {
    ScrollArrows(dc, r, (Style() & SBS_VERT) != 0, Enabled(), Hot() || Focused());
  }
};

class Header : public FlatControl {
 public:
  using FlatControl::FlatControl;

 protected:
  void Draw(HDC dc, RECT r) override {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    HWND parent = ::GetParent(hwnd_);
    RECT parentClient{};
    if (parent) ::GetClientRect(parent, &parentClient);
    const bool inParent = parent && CursorIn(parent, parentClient);
    const int count = static_cast<int>(::SendMessageA(hwnd_, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int i = 0; i < count; ++i) {
      RECT item{};
      if (!::SendMessageA(hwnd_, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) continue;
      const bool under = Hot() && inParent && CursorIn(hwnd_, item);
      ToWindow(hwnd_, item);
      right = item.right;
      RaisedFrame(dc, item, under);
    }
    if (right < r.right) RaisedFrame(dc, RECT{right, r.top, r.right, r.bottom}, false);
  }
};

class Trackbar : public FlatControl {
 public:
  using FlatControl::FlatControl;

 protected:
  void Draw(HDC dc, RECT) override {
    if (!(Style() & WS_TABSTOP)) return;
    RECT thumb{};
    ::SendMessageA(hwnd_, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    ToWindow(hwnd_, thumb);
    const bool lit = Hot() || Focused();
    flat::Fill(dc, thumb.left, thumb.top, thumb.right - thumb.left, thumb.bottom - thumb.top,
               ::GetSysColor(COLOR_BTNFACE));
    // Square and pointed thumbs alike: the thumb rectangle's raised frame.
    RaisedFrame(dc, thumb, lit);
  }
};

class Toolbar : public FlatControl {
 public:
  using FlatControl::FlatControl;

 protected:
  void Draw(HDC dc, RECT) override {
    const int count = static_cast<int>(::SendMessageA(hwnd_, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      TBBUTTON button{};
      RECT item{};
      if (!::SendMessageA(hwnd_, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) ||
          (button.fsStyle & BTNS_SEP) ||
          !::SendMessageA(hwnd_, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) {
        continue;
      }
      const bool pressed = button.fsState & TBSTATE_CHECKED;
      const bool under = Hot() && (button.fsState & TBSTATE_ENABLED) && CursorIn(hwnd_, item);
      ToWindow(hwnd_, item);
      if (pressed && under) {
        DoubleFrame(dc, item, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
      } else if (pressed) {
        DoubleFrame(dc, item, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNFACE, COLOR_BTNFACE);
      } else {
        RaisedFrame(dc, item, under);
      }
    }
  }
};

class Tab : public FlatControl {
 public:
  using FlatControl::FlatControl;

 protected:
  void Draw(HDC dc, RECT) override {
    if (Style() & TCS_BUTTONS) return;
    RECT page;
    ::GetClientRect(hwnd_, &page);
    ::SendMessageA(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    ToWindow(hwnd_, page);
    ::InflateRect(&page, 3, 3);
    Frame(dc, page, COLOR_BTNFACE, COLOR_BTNFACE);
    const int count = static_cast<int>(::SendMessageA(hwnd_, TCM_GETITEMCOUNT, 0, 0));
    const int selected = static_cast<int>(::SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0));
    auto drawTab = [&](int i) {
      RECT item{};
      if (!::SendMessageA(hwnd_, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) return;
      const bool under = Hot() && CursorIn(hwnd_, item);
      ToWindow(hwnd_, item);
      RaisedFrame(dc, item, under);
    };
    for (int i = 0; i < count; ++i) {
      if (i != selected) drawTab(i);
    }
    if (selected >= 0 && selected < count) drawTab(selected);
  }
};

class IpAddress : public Generic {
 public:
  using Generic::Generic;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND && (HIWORD(wp) == EN_SETFOCUS || HIWORD(wp) == EN_KILLFOCUS)) {
      const LRESULT result = Generic::WindowProc(msg, wp, lp);
      Redraw();
      return result;
    }
    return Generic::WindowProc(msg, wp, lp);
  }

 protected:
  bool IsFocused() const override {
    HWND focus = ::GetFocus();
    return focus && (focus == hwnd_ || ::GetParent(focus) == hwnd_);
  }
};

}  // namespace

void FlatControl::SetHot(bool hot) {
  if (hot) {
    state_ |= kHot;
  } else {
    state_ &= ~kHot;
  }
}

RECT FlatControl::FrameRect() const { return WindowRectAtZero(hwnd_); }

LRESULT FlatControl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Redraw();
      return CallPrevious(msg, wp, lp);
    case WM_ENABLE:
    case WM_PAINT:
    case WM_NCPAINT:
      CallPrevious(msg, wp, lp);
      Redraw();
      return 0;
    default:
      return CallPrevious(msg, wp, lp);
  }
}

void FlatControl::Redraw() {
  HWND target = FrameWindow();
  if (!::IsWindow(hwnd_) || !target || !::IsWindowVisible(hwnd_)) return;
  NonClientDC dc(target);
  if (!dc.Get()) return;
  RECT r = FrameRect();
  // A client edge with an extra plain border around it: our frame goes
  // just inside that border.
  if (::GetWindowLongPtrA(hwnd_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
    POINT origin{0, 0};
    ::ClientToScreen(hwnd_, &origin);
    RECT window;
    ::GetWindowRect(hwnd_, &window);
    if (origin.x - window.left == 3) ::InflateRect(&r, -1, -1);
  }
  if (IsFocused()) {
    state_ |= kFocused;
  } else {
    state_ &= ~kFocused;
  }
  if (r.bottom - r.top < 30) {
    state_ |= kSmall;
  } else {
    state_ &= ~kSmall;
  }
  const bool stillHot = (drawn_ & kHot) && (state_ & kHot);
  const bool stillFocused = (drawn_ & kFocused) && (state_ & kFocused);
  if (!stillHot && !stillFocused) {
    Draw(dc.Get(), r);
    ++drawCount_;
  }
  drawn_ = state_;
}

std::shared_ptr<FlatControl> MakeFlatControl(FlatKind kind, HWND hwnd, WNDPROC previous) {
  switch (kind) {
    case FlatKind::kGeneric:
      return std::make_shared<Generic>(hwnd, previous);
    case FlatKind::kEdit:
      return std::make_shared<Edit>(hwnd, previous);
    case FlatKind::kEditInSimpleCombo:
      return std::make_shared<EditInSimpleCombo>(hwnd, previous);
    case FlatKind::kComboBox:
      return std::make_shared<ComboBox>(hwnd, previous);
    case FlatKind::kDateTime:
      return std::make_shared<DateTime>(hwnd, previous);
    case FlatKind::kPushButton:
      return std::make_shared<PushButton>(hwnd, previous);
    case FlatKind::kCheckBox:
      return std::make_shared<CheckBox>(hwnd, previous);
    case FlatKind::kRadio:
      return std::make_shared<Radio>(hwnd, previous);
    case FlatKind::kUpDown:
      return std::make_shared<UpDown>(hwnd, previous);
    case FlatKind::kScrollBar:
      return std::make_shared<ScrollBar>(hwnd, previous);
    case FlatKind::kHeader:
      return std::make_shared<Header>(hwnd, previous);
    case FlatKind::kTrackbar:
      return std::make_shared<Trackbar>(hwnd, previous);
    case FlatKind::kToolbar:
      return std::make_shared<Toolbar>(hwnd, previous);
    case FlatKind::kTab:
      return std::make_shared<Tab>(hwnd, previous);
    case FlatKind::kIpAddress:
      return std::make_shared<IpAddress>(hwnd, previous);
    case FlatKind::kNone:
      break;
  }
  return nullptr;
}

}  // namespace glyph
