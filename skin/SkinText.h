// Text fields of the skin: one line of text in its own font and two colours
// (the second drawn one pixel up and left, over the first, so the first
// shows as a shadow) over a piece of the skin, scrolling when it is wider
// than the field. CSkinText is one TEXTINFO entry and reports clicks, by
// mouse or by Space and Enter, by index to its parent (SkinNotify). A field
// without text draws nothing but its focus mark.
#pragma once

#include <string>

#include "framework/Handles.h"
#include "skin/SkinButton.h"

namespace glyph::skin {

class CScrollLabel : public CHoverButton {
 public:
  explicit CScrollLabel(const SkinContext& context);
  ~CScrollLabel() override;

  // A visible child with the given window text and control id 0.
  bool Create(HWND parent, const RECT& rect, const char* text);
  // The background: that rectangle of Main (not adjusted again).
  void SetBackground(const RECT& rect, HBITMAP main);
  void SetText(const std::string& text);
  // Keeps a font of its own with the same description.
  void SetFont(HFONT font);
  void SetColors(COLORREF first, COLORREF second) {
    first_ = first;
    second_ = second;
  }

  const std::string& Text() const { return text_; }
  HFONT Font() const { return font_.Get(); }
  bool IsScrolling() const { return scrolling_; }
  int ScrollOffset() const { return offset_; }

  static constexpr COLORREF kNoColor = 0xFFFFFFFF;  // second colour -1
  static constexpr UINT_PTR kScrollTimer = 1;
  static constexpr UINT kScrollInterval = 40;
  static constexpr char kSeparator[] = "  -  ";

 protected:
  bool DrawItem(const DRAWITEMSTRUCT& dis) override;
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;
  // Without text the field paints nothing of its own: what lies under its
  // mark is drawn again by its window.
  void RedrawFocus() override;

 private:
  int TextWidth(const std::string& s) const;
  void Layout();

  std::string text_;
  UniqueBitmap background_;
  UniqueFont font_;
  COLORREF first_ = 0;
  COLORREF second_ = kNoColor;
  bool scrolling_ = false;
  int offset_ = 0;
  ScopedTimer timer_;
};

class CSkinText : public CScrollLabel {
 public:
  CSkinText(const SkinContext& context, std::string name, int index)
      : CScrollLabel(context), name_(std::move(name)), index_(index) {}
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }

 protected:
  void OnLButtonUp(UINT flags, POINT point) override;
  void OnMouseMove(UINT flags, POINT point) override;
  void KeyPressed(bool down) override;

 private:
  std::string name_;
  int index_;
};

}  // namespace glyph::skin
