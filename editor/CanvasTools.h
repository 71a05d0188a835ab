// CCanvasTools: what the canvas's tools do to the image, apart from window
// messages. It holds the current tool and the brush (colour, alpha, size,
// opacity, transparent colour, text and font) and turns the three steps of
// a gesture, in image pixels, into drawing: pen and eraser strokes, the
// shapes (redrawn from the image as it was at the press on every move),
// text, the blur brush, the flood fill and the colour pick. The canvas
// (CBitmapView) maps the mouse to pixels, keeps the undo history and
// repaints.
//
// A stroke joins successive pointer positions: the pen, the eraser and the
// blur brush visit every cell between them, at the brush size. Every shape
// covers both the cell of the press and the cell under the pointer,
// whichever way it is dragged; the release counts as the last move, so the
// drag shows exactly what the release leaves. Pen strokes, shapes and text
// are drawn by GDI as coverage into a layer (white on black) and the brush
// is laid over the press image where the layer is lit, once, so a stroke
// crossing itself is not mixed twice.
//
// Pixels have straight alpha (core/Pixels.h). The brush colour goes over a
// pixel with the brush alpha times the opacity; a brush of the transparent
// colour, and the eraser, take alpha away instead (by the opacity), and a
// pixel left with none takes the transparent colour.
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

  void SetBrushColor(ColorValue color) { brushColor_ = color & kColorBits; }
  ColorValue GetBrushColor() const { return brushColor_; }
  // 0 (lays nothing) .. 255 (opaque, the default).
  void SetBrushAlpha(int alpha) {
    brushAlpha_ = alpha < 0 ? 0 : (alpha > kAlphaOpaque ? kAlphaOpaque : alpha);
  }
  int GetBrushAlpha() const { return brushAlpha_; }
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
  // colour and its alpha are taken (if the point was in the image) and the
  // tool is back to the one chosen before the pick. A transparent pixel
  // (alpha 0) gives the transparent colour, opaque: the brush then erases.
  bool Release(CDib& image, POINT at);
  // The right button's release: a pick takes the transparent colour (the
  // pixel's RGB, whatever its alpha).
  bool ReleaseRight(CDib& image, POINT at);

 private:
  // Coverage, into the layer.
  void DrawDot(CDib& layer, POINT p) const;
  void DrawShape(CDib& layer, POINT from, POINT to) const;
  void DrawTextAt(CDib& layer, POINT p) const;
  // A layer of the image's size with nothing drawn on it.
  void ClearLayer(const CDib& image);
  // What the gesture's tool lays where the layer is lit.
  Paint CurrentPaint() const;
  // The image becomes the press image with the paint applied through the
  // layer.
  void ShowLayer(CDib& image);
  void StrokeTo(CDib& image, POINT to);
  void BlurTo(CDib& image, POINT to);
  void BlurSquare(CDib& image, POINT p) const;
  void FloodFill(CDib& image, POINT p);
  void Pick(const CDib& image, POINT p, bool transparent);
  void RestorePress(CDib& image) const;

  int tool_ = TOOL_PEN;
  int previousTool_ = TOOL_PEN;
  ColorValue brushColor_ = 0;
  int brushAlpha_ = kAlphaOpaque;
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
  // The coverage of the gesture's stroke, shape or text.
  CDib layer_;
};

}  // namespace glyph
