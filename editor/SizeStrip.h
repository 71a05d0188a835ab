// CSizeStrip: the sizes of the edited icon, one row each, beside the
// canvas: a thumbnail and the size ("16", "256"), with how the image is
// stored when that is not the usual 32 bits ("8 bit", "PNG"). The row of
// the image being edited is marked, and its thumbnail is drawn live from
// the canvas's image. A click on a row posts kSizeChosenMessage to the
// parent with the row's index; the wheel scrolls when the rows do not fit.
//
// It subclasses a static control of the window's template, as the
// preview does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/Dib.h"
#include "editor/EditDocument.h"
#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph {

// Posted to the parent: wParam is the chosen row.
constexpr UINT kSizeChosenMessage = WM_APP + 0x20;

class CSizeStrip : public Window {
 public:
  // At 100 %; a display scale multiplies them (SetScale).
  static constexpr int kRowHeight = 28;
  static constexpr int kThumbnailBox = 24;

  // Lays the rows out at a display scale (percent). The thumbnails are
  // made at it by the next SetSizes.
  void SetScale(int percent);
  int RowHeight() const { return Scaled(kRowHeight); }
  int ThumbnailBox() const { return Scaled(kThumbnailBox); }

  // The document's images in their order; the current one is drawn from
  // `live` (the canvas's image) rather than from the document.
  void SetSizes(const EditDocument& document, const CDib* live);
  size_t GetCount() const { return rows_.size(); }
  size_t GetCurrent() const { return current_; }
  const std::wstring& GetLabel(size_t row) const { return rows_[row].label; }
  // The row at a client point, or GetCount().
  size_t RowAt(POINT client) const;
  int GetFirstVisible() const { return first_; }

 protected:
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }
  void OnPaint() override;
  void OnLButtonDown(UINT flags, POINT p) override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  struct Row {
    std::wstring label;
    std::wstring detail;
    // Already shrunk to the box, over the ground: ThumbnailBox() squared.
    std::vector<Pixel> thumbnail;
  };
  int Scaled(int v) const { return ::MulDiv(v, scale_, 100); }
  int VisibleRows() const;
  void Scroll(int rows);
  void KeepCurrentVisible();

  std::vector<Row> rows_;
  size_t current_ = 0;
  const CDib* live_ = nullptr;
  int first_ = 0;
  CDib buffer_;
  int scale_ = 100;
  UniqueFont font_;
};

}  // namespace glyph
