// The family of flat-drawn controls that CFlatControlManager attaches to
// standard controls: each knows how to paint its own quiet frame over the
// control's edge after the control has painted itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace glyph {

class FlatControl {
 public:
  enum State : uint16_t { kHot = 1, kSmall = 2, kFocused = 4, kReadOnly = 8 };

  FlatControl(HWND hwnd, WNDPROC previous) : hwnd_(hwnd), previous_(previous) {}
  virtual ~FlatControl() = default;
  FlatControl(const FlatControl&) = delete;
  FlatControl& operator=(const FlatControl&) = delete;

  HWND GetHwnd() const { return hwnd_; }
  uint16_t GetState() const { return state_; }
  uint16_t GetDrawnState() const { return drawn_; }
  int GetDrawCount() const { return drawCount_; }
  void SetHot(bool hot);

  // The control's messages, before (and around) its own procedure.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // Paints the frame now, unless the system's own frame already shows the
  // hot or focused look it had at the last drawing.
  void Redraw();

 protected:
  LRESULT CallPrevious(UINT msg, WPARAM wp, LPARAM lp) {
    return ::CallWindowProcA(previous_, hwnd_, msg, wp, lp);
  }
  virtual bool IsFocused() const { return ::GetFocus() == hwnd_; }
  // The device context and rectangle the frame is drawn in (window DC and
  // the window rectangle moved to 0, 0 by default).
  virtual HWND FrameWindow() const { return hwnd_; }
  virtual RECT FrameRect() const;
  virtual void Draw(HDC dc, RECT r) = 0;

  bool Hot() const { return state_ & kHot; }
  bool Focused() const { return state_ & kFocused; }
  bool Small() const { return state_ & kSmall; }
  bool Enabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
  DWORD Style() const { return static_cast<DWORD>(::GetWindowLongPtrA(hwnd_, GWL_STYLE)); }

  HWND hwnd_;
  WNDPROC previous_;
  uint16_t state_ = 0;
  uint16_t drawn_ = 0;
  int drawCount_ = 0;
};

enum class FlatKind {
  kNone,
  kGeneric,
  kEdit,
  kEditInSimpleCombo,
  kComboBox,
  kDateTime,
  kPushButton,
  kCheckBox,
  kRadio,
  kUpDown,
  kScrollBar,
  kHeader,
  kTrackbar,
  kToolbar,
  kTab,
  kIpAddress,
};

std::shared_ptr<FlatControl> MakeFlatControl(FlatKind kind, HWND hwnd, WNDPROC previous);

// Drawing primitives, colours given as system colour indexes.
namespace flat {
void Fill(HDC dc, int x, int y, int width, int height, COLORREF colour);
void Frame(HDC dc, const RECT& r, int topLeft, int bottomRight);
void DoubleFrame(HDC dc, RECT r, int outerTopLeft, int outerBottomRight, int innerTopLeft,
                 int innerBottomRight);
void TripleFrame(HDC dc, RECT r, int outerTopLeft, int outerBottomRight, int middleTopLeft,
                 int middleBottomRight, int innerTopLeft, int innerBottomRight);
}  // namespace flat

}  // namespace glyph
