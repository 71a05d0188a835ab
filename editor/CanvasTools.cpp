#include "editor/CanvasTools.h"

#include <algorithm>
#include <cstring>

#include "editor/LinePoints.h"

namespace glyph {
namespace {

LOGFONTW DefaultGuiFont() {
  LOGFONTW font{};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
}

bool InImage(const CDib& image, POINT p) {
  return p.x >= 0 && p.y >= 0 && p.x < static_cast<LONG>(image.GetWidth()) &&
         p.y < static_cast<LONG>(image.GetHeight());
}

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// What GDI draws into a layer: full coverage.
constexpr COLORREF kLit = RGB(255, 255, 255);

// The brush square of size s around p (the pen's dot box and the blur's
// square, give or take the blur's extra row) touches the image. A captured
// mouse can report points far outside: those cells are skipped.
bool BrushTouches(const CDib& image, POINT p, int s) {
  const int m = (s - 1) / 2;
  return p.x + s / 2 >= 0 && p.y + s / 2 + 1 >= 0 && p.x - m < static_cast<LONG>(image.GetWidth()) &&
         p.y - m - 1 < static_cast<LONG>(image.GetHeight());
}

// 1 when the platform's ellipse leaves the right and bottom edge of its
// box out, as its rectangle does, 0 when it draws on them (Wine's does).
// Implementations differ, so it is measured once on a small image.
int EllipseEdgeShortfall() {
  static const int shortfall = [] {
    CDib probe;
    if (!probe.Create(4, 4)) return 1;
    probe.Fill(0, 0, 0);
    probe.DrawEllipse(0, 0, 3, 3, RGB(255, 255, 255), 1, kOpaque);
    const PixelView view = probe.View();
    for (int y = 0; y < 4; ++y)
      if ((view.At(3, y) & 0xFFFFFF) != 0) return 0;
    return 1;
  }();
  return shortfall;
}

// The cells after `from` up to `to`: `from` was drawn by the step before.
std::vector<POINT> CellsAfter(POINT from, POINT to) {
  std::vector<POINT> cells;
  const auto run = LinePoints({from.x, from.y}, {to.x, to.y});
  for (size_t i = 1; i < run.size(); ++i) cells.push_back(POINT{run[i].x, run[i].y});
  return cells;
}

}  // namespace

CCanvasTools::CCanvasTools() : textFont_(DefaultGuiFont()) {}

void CCanvasTools::SetText(const std::wstring& text, const LOGFONTW& font) {
  text_ = text;
  textFont_ = font;
}

void CCanvasTools::ResetText() {
  text_.clear();
  textFont_ = DefaultGuiFont();
}

bool CCanvasTools::Press(CDib& image, POINT at) {
  const PixelView view = image.View();
  pressImage_.assign(view.bits, view.bits + view.Count());
  pressAt_ = lastAt_ = at;
  moved_ = false;
  switch (tool_) {
    case TOOL_PEN:
    case TOOL_ERASER:
      ClearLayer(image);
      DrawDot(layer_, at);
      ShowLayer(image);
      return true;
    case TOOL_TEXT:
      ClearLayer(image);
      DrawTextAt(layer_, at);
      ShowLayer(image);
      return true;
    default:
      return false;
  }
}

bool CCanvasTools::Drag(CDib& image, POINT at) {
  bool drawn = true;
  switch (tool_) {
    case TOOL_LINE:
    case TOOL_RECT:
    case TOOL_ELLIPSE:
    case TOOL_FILL_RECT:
    case TOOL_FILL_ELLIPSE:
      ClearLayer(image);
      DrawShape(layer_, pressAt_, at);
      ShowLayer(image);
      break;
    case TOOL_TEXT:
      ClearLayer(image);
      DrawTextAt(layer_, at);
      ShowLayer(image);
      break;
    case TOOL_PEN:
    case TOOL_ERASER:
      StrokeTo(image, at);
      break;
    case TOOL_BLUR:
      BlurTo(image, at);
      break;
    default:
      drawn = false;
      break;
  }
  lastAt_ = at;
  return drawn;
}

bool CCanvasTools::Release(CDib& image, POINT at) {
  switch (tool_) {
    case TOOL_FILL:
      FloodFill(image, at);
      return false;
    case TOOL_PICK:
      Pick(image, at, false);
      return true;
    case TOOL_BLUR:
      // Released where the last move was, the square is blurred once more.
      if (Same(at, lastAt_)) {
        BlurSquare(image, at);
      } else {
        BlurTo(image, at);
      }
      return false;
    default:
      // A release away from the last move draws as a move would, so the
      // result holds the cell under the release; a click draws no shape.
      if (!Same(at, lastAt_)) Drag(image, at);
      return false;
  }
}

bool CCanvasTools::ReleaseRight(CDib& image, POINT at) {
  if (tool_ != TOOL_PICK) return false;
  Pick(image, at, true);
  return true;
}

void CCanvasTools::RestorePress(CDib& image) const {
  const PixelView view = image.View();
  const size_t count = std::min(pressImage_.size(), static_cast<size_t>(view.Count()));
  std::memcpy(view.bits, pressImage_.data(), count * sizeof(Pixel));
}

void CCanvasTools::ClearLayer(const CDib& image) {
  if (layer_.GetWidth() != image.GetWidth() || layer_.GetHeight() != image.GetHeight()) {
    layer_.Create(image.GetWidth(), image.GetHeight());
  } else {
    layer_.Fill(0, 0, 0);
  }
}

Paint CCanvasTools::CurrentPaint() const {
  Paint paint;
  paint.color = PixelFromColor(brushColor_);
  paint.alpha = brushAlpha_;
  paint.opacity = opacity_;
  paint.transparent = PixelFromColor(transparentColor_);
  // The eraser takes alpha away by the opacity alone; a brush of the
  // transparent colour paints transparency, as strong as the brush is.
  if (tool_ == TOOL_ERASER) paint.alpha = kAlphaOpaque;
  paint.erase = tool_ == TOOL_ERASER || brushColor_ == transparentColor_;
  return paint;
}

void CCanvasTools::ShowLayer(CDib& image) {
  RestorePress(image);
  if (layer_.GetStride() != image.GetStride() || layer_.GetHeight() != image.GetHeight()) return;
  PaintThroughLayer(image.View(), layer_.GetBits(), CurrentPaint());
}

void CCanvasTools::StrokeTo(CDib& image, POINT to) {
  if (layer_.GetWidth() != image.GetWidth() || layer_.GetHeight() != image.GetHeight()) ClearLayer(image);
  for (POINT p : CellsAfter(lastAt_, to))
    if (BrushTouches(image, p, brushSize_)) DrawDot(layer_, p);
  ShowLayer(image);
}

void CCanvasTools::BlurTo(CDib& image, POINT to) {
  // The press only marks where the stroke starts: its cell is blurred with
  // the first move.
  if (!moved_) BlurSquare(image, lastAt_);
  moved_ = true;
  for (POINT p : CellsAfter(lastAt_, to))
    if (BrushTouches(image, p, brushSize_)) BlurSquare(image, p);
}

void CCanvasTools::DrawDot(CDib& layer, POINT p) const {
  const int s = brushSize_;
  if (s <= 1) {
    layer.DrawLine(p.x, p.y, p.x + 1, p.y, kLit, 1, kOpaque);
    return;
  }
  const int m = (s - 1) / 2;
  layer.FillEllipse(p.x - m, p.y - m, p.x + s / 2, p.y + s / 2, kLit, kOpaque);
}

// GDI leaves the right and bottom edge of a rectangle, and the last point
// of a line, out of what it draws: rectangles reach one past the far cell,
// ellipses as far as the platform needs, and the pen's dot puts the line's
// last cell back.
void CCanvasTools::DrawShape(CDib& layer, POINT from, POINT to) const {
  const int l = std::min<int>(from.x, to.x), r = std::max<int>(from.x, to.x);
  const int t = std::min<int>(from.y, to.y), b = std::max<int>(from.y, to.y);
  switch (tool_) {
    case TOOL_LINE:
      layer.DrawLine(from.x, from.y, to.x, to.y, kLit, brushSize_, kOpaque);
      DrawDot(layer, to);
      break;
    case TOOL_RECT:
      layer.DrawRect(l, t, r + 1, b + 1, kLit, brushSize_, kOpaque);
      break;
    case TOOL_ELLIPSE:
      layer.DrawEllipse(l, t, r + EllipseEdgeShortfall(), b + EllipseEdgeShortfall(), kLit, brushSize_,
                        kOpaque);
      break;
    case TOOL_FILL_RECT:
      layer.BlendRect(l, t, r - l + 1, b - t + 1, kLit, kOpaque);
      break;
    case TOOL_FILL_ELLIPSE:
      layer.FillEllipse(l, t, r + EllipseEdgeShortfall(), b + EllipseEdgeShortfall(), kLit, kOpaque);
      break;
    default:
      break;
  }
}

void CCanvasTools::DrawTextAt(CDib& layer, POINT p) const {
  if (text_.empty()) return;
  {
    HDC dc = layer.LockDC();
    UniqueFont font(::CreateFontIndirectW(&textFont_));
    ScopedSelect selectFont(dc, font.Get());
    ::SetTextColor(dc, kLit);
    ::SetBkMode(dc, TRANSPARENT);
    ::TextOutW(dc, p.x, p.y, text_.data(), static_cast<int>(text_.size()));
  }
  layer.UnlockDC();
}

void CCanvasTools::BlurSquare(CDib& image, POINT p) const {
  const int s = brushSize_;
  const int m = (s - 1) / 2;
  image.BlurRect(p.x - m, p.y - m - 1, p.x + s / 2, p.y + s / 2, transparentColor_, opacity_);
}

// The fill lays the brush as it is, whatever the opacity.
void CCanvasTools::FloodFill(CDib& image, POINT p) {
  if (!InImage(image, p)) return;
  const bool clears = brushColor_ == transparentColor_ || brushAlpha_ == 0;
  const Pixel value = clears ? WithAlpha(PixelFromColor(transparentColor_), 0)
                             : WithAlpha(PixelFromColor(brushColor_), brushAlpha_);
  FloodFillPixels(image.View(), p.x, p.y, value);
}

void CCanvasTools::Pick(const CDib& image, POINT p, bool transparent) {
  // Outside the image nothing is read; the pick still finishes so the
  // tool goes back.
  if (InImage(image, p)) {
    const Pixel pixel = image.View().At(p.x, p.y);
    const ColorValue color = ColorFromPixel(pixel) & kColorBits;
    if (transparent) {
      transparentColor_ = color;
    } else if (AlphaOf(pixel) == 0) {
      brushColor_ = transparentColor_;
      brushAlpha_ = kAlphaOpaque;
    } else {
      brushColor_ = color;
      brushAlpha_ = AlphaOf(pixel);
    }
  }
  tool_ = previousTool_;
}

}  // namespace glyph
