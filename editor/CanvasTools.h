// CCanvasTools: what the canvas's tools do to the image, apart from window
// messages. It holds the current tool and the brush (colour, size,
// opacity, transparent colour, text and font) and turns the three steps of
// a gesture, in image pixels, into drawing: pen strokes, the shapes
// (redrawn from the image as it was at the press on every move), text, the
// blur brush, the flood fill and the colour pick. The canvas (CBitmapView)
// maps the mouse to pixels, keeps the undo history and repaints.
//
// A stroke joins successive pointer positions: the pen and the blur brush
// visit every cell between them, at the brush size. Every shape covers
// both the cell of the press and the cell under the pointer, whichever way
// it is dragged; the release counts as the last move, so the drag shows
// exactly what the release leaves. Pen strokes and shapes are drawn at
// full strength into a layer over the press image and mixed into the
// image once, so a stroke crossing itself is not mixed twice.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/Dib.h"
#include "editor/Tool.h"
#include "framework/Handles.h"

namespace glyph {

class CCanvasTools {
 public:
  CCanvasTools();

  int GetTool() const { return tool_; }
  // Chooses a tool as the tool buttons do: the tool in use before a pick
  // was chosen is the one a finished pick returns to.
  void SelectTool(int tool) {
    if (tool_ != TOOL_PICK) previousTool_ = tool_;
    tool_ = tool;
  }
  void SetTool(int tool) { tool_ = tool; }
  int GetPreviousTool() const { return previousTool_; }
  void SetPreviousTool(int tool) { previousTool_ = tool; }

  void SetBrushColor(ColorValue color) { brushColor_ = color; }
  ColorValue GetBrushColor() const { return brushColor_; }
  ColorValue GetTransparentColor() const { return transparentColor_; }
  void SetTransparentColor(ColorValue color) { transparentColor_ = color; }
  void SetBrushSize(int size) { brushSize_ = size < 1 ? 1 : size; }
  int GetBrushSize() const { return brushSize_; }
  void SetOpacity(int opacity) { opacity_ = opacity < 0 ? 0 : (opacity > kOpaque ? kOpaque : opacity); }
  int GetOpacity() const { return opacity_; }
  // Text in any script, drawn with the wide text functions.
  void SetText(const std::wstring& text, const LOGFONTW& font);
  // No text, in the platform's GUI font.
  void ResetText();
  const std::wstring& GetText() const { return text_; }
  const LOGFONTW& GetTextFont() const { return textFont_; }

  // False for a tool that only reads the image (the pick): the canvas saves
  // an undo state before a gesture of any other.
  bool ChangesImage() const { return tool_ != TOOL_PICK; }

  // The steps of a left-button gesture on a non-empty image. Points are in
  // image pixels and may lie outside it (the mouse is captured). Press and
  // Drag return true when the image was drawn on.
  bool Press(CDib& image, POINT at);
  bool Drag(CDib& image, POINT at);
  // The release is the gesture's last move. True when a pick finished: the
  // colour is taken (if the point was in the image) and the tool is back
  // to the one chosen before the pick.
  bool Release(CDib& image, POINT at);
  // The right button's release: a pick takes the transparent colour.
  bool ReleaseRight(CDib& image, POINT at);

 private:
  // Full strength, into the layer.
  void DrawDot(CDib& layer, POINT p) const;
  void DrawShape(CDib& layer, POINT from, POINT to) const;
  // The image becomes the press image with the layer mixed over it.
  void ShowLayer(CDib& image);
  void StrokeTo(CDib& image, POINT to);
  void BlurTo(CDib& image, POINT to);
  void DrawTextAt(CDib& image, POINT p) const;
  void BlurSquare(CDib& image, POINT p) const;
  void FloodFill(CDib& image, POINT p);
  void Pick(const CDib& image, POINT p, bool transparent);
  void RestorePress(CDib& image) const;

  int tool_ = TOOL_PEN;
  int previousTool_ = TOOL_PEN;
  ColorValue brushColor_ = 0;
  ColorValue transparentColor_ = RGB(192, 192, 192);
  int brushSize_ = 1;
  int opacity_ = kOpaque;
  std::wstring text_;
  LOGFONTW textFont_{};
  // The image at the press: shapes and text are redrawn from it on every
  // move, so only the last one stays.
  std::vector<Pixel> pressImage_;
  POINT pressAt_{};
  // Where the gesture last drew: a stroke continues from here.
  POINT lastAt_{};
  // The blur brush has left the press cell.
  bool moved_ = false;
  // The press image with the gesture's pen stroke or shape at full strength.
  CDib layer_;
  // The flood fill draws through GDI into the image's bitmap.
  UniqueDC fillContext_;
};

}  // namespace glyph
