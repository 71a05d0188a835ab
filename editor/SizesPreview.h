// CSizesPreview: every size of the edited icon at its real size, as
// Windows will draw it, on a light and a dark ground side by side: each
// image becomes a platform icon made from the very bytes an icon file
// stores (so an 8-bit or 16-colour size shows its palette and mask), drawn
// with DrawIconEx. A small captioned window of its own, owned by the main
// window; it asks its source for the document each time it paints, so it
// follows the drawing as the canvas repaints it.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/Handles.h"
#include "framework/Window.h"
#include "icon/IconDocument.h"

namespace glyph {

class CSizesPreview : public Window {
 public:
  static constexpr wchar_t kTitle[] = L"Preview";
  // The grounds: a light and a dark desktop.
  static constexpr COLORREF kLight = RGB(255, 255, 255);
  static constexpr COLORREF kDark = RGB(32, 32, 32);
  static constexpr int kGap = 12;

  // Opens the window beside `owner`, or brings it up when open.
  void Show(HWND owner);
  bool IsOpen() const { return GetHwnd() && ::IsWindowVisible(GetHwnd()); }
  // Where the document to show comes from, as it would be saved.
  void SetSource(std::function<icon::IconDocument()> source) { source_ = std::move(source); }
  // Takes the source's document now (resizing the window to it).
  void Refresh();
  size_t GetIconCount() const { return icons_.size(); }
  // Where image `index` is drawn on the light ground, client coordinates.
  RECT LightPlace(size_t index) const;
  RECT DarkPlace(size_t index) const;

 protected:
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }
  void OnPaint() override;
  void OnClose() override;

 private:
  struct Shown {
    UniqueIcon icon;
    int width = 0;
    int height = 0;
  };
  SIZE ClientSize() const;
  int BandHeight() const;

  void Rebuild();

  std::function<icon::IconDocument()> source_;
  std::vector<Shown> icons_;
};

}  // namespace glyph
