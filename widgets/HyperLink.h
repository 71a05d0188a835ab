// CHyperLink: a static text control that works as a link. Its caption is
// drawn in the link colour (lighter while the mouse is over it), it shows
// a hand cursor and a tooltip with the target, and a click or the space
// bar opens the target with the shell, falling back to the registered
// ".htm" open command. A failure beeps and explains itself in a box.
//
// Attach it to a static control with Subclass(); the parent must be a
// glyph::Window (it reflects WM_CTLCOLORSTATIC to the link).
#pragma once

#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph {

// What the link asks of the system; tests replace it so nothing is
// launched and no box blocks.
class LinkPlatform {
 public:
  virtual ~LinkPlatform() = default;
  // The shell's "open" (ShellExecuteW); values above 32 mean success.
  virtual INT_PTR ShellExecuteOpen(const std::string& target, int show);
  // The default value of a key under HKEY_CLASSES_ROOT (at most 260 bytes).
  virtual bool ReadClassesRoot(const std::string& key, std::string& value);
  // WinExec; values above 31 mean success.
  virtual UINT RunCommand(const std::string& commandLine, int show);
  virtual void Beep();
  virtual void ShowMessage(HWND owner, const std::string& text);

  static LinkPlatform& System();
};

class CHyperLink : public Window {
 public:
  enum Option : unsigned {
    kUnderline = 1,
    kUseHoverColour = 2,
    kFitToText = 4,
    kFocusOnClick = 16,
    kNoHandCursor = 32,
    kNoActiveColour = 64,
  };
  static constexpr unsigned kDefaultOptions = kUseHoverColour | kFitToText | kFocusOnClick;
  static constexpr COLORREF kLinkColour = RGB(48, 64, 149);
  static constexpr COLORREF kActiveColour = RGB(48, 64, 149);
  static constexpr COLORREF kVisitedColour = RGB(48, 64, 149);
  static constexpr COLORREF kHoverColour = RGB(112, 153, 239);
  static constexpr UINT_PTR kToolId = 1;

  CHyperLink() = default;
  ~CHyperLink() override;

  void SetLink(const std::string& target);
  const std::string& GetLink() const { return target_; }
  // Options take effect for what happens after they are set; set them
  // before Subclass for the ones read at initialisation.
  void SetOptions(unsigned options) { options_ = options; }
  unsigned GetOptions() const { return options_; }
  // Replaces the system calls (null: the real system).
  void SetPlatform(LinkPlatform* platform) { platform_ = platform; }

  void FitToText();
  void OpenLink();
  INT_PTR ShellOpen(const std::string& target, int show);
  void ShowOpenError(INT_PTR code);

  // The shared hand cursor, loaded once per process.
  static void LoadHandCursor();
  static HCURSOR GetHandCursor();

  bool IsActive() const { return active_ != 0; }
  bool IsMouseOver() const { return mouseOver_ != 0; }
  bool IsVisited() const { return visited_ != 0; }
  HWND GetToolTip() const { return toolTip_.Get(); }
  HFONT GetLinkFont() const { return font_.Get(); }
  COLORREF TextColour() const;

 protected:
  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  HBRUSH CtlColor(HDC dc, UINT msg) override;
  BOOL OnSetCursor(HWND, UINT, UINT) override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnLButtonUp(UINT flags, POINT pt) override;
  void OnSetFocus(HWND old) override;
  void OnKillFocus(HWND next) override;

 private:
  struct WindowTraits {
    using Type = HWND;
    static HWND Invalid() { return nullptr; }
    static void Free(HWND h) {
      if (::IsWindow(h)) ::DestroyWindow(h);
    }
  };
  using UniqueWindow = UniqueHandle<WindowTraits>;

  LinkPlatform& Platform() const { return platform_ ? *platform_ : LinkPlatform::System(); }
  void Repaint();
  void UpdateToolText();

  int active_ = 0;
  int mouseOver_ = 0;
  int visited_ = 0;
  unsigned options_ = kDefaultOptions;
  std::string target_;
  UniqueFont font_;
  HFONT originalFont_ = nullptr;  // the control's own font, given back on detach
  UniqueWindow toolTip_;
  LinkPlatform* platform_ = nullptr;
};

}  // namespace glyph
