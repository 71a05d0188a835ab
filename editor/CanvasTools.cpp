#include "editor/CanvasTools.h"

#include <algorithm>
#include <cstring>

namespace glyph {
namespace {

LOGFONTA DefaultGuiFont() {
  LOGFONTA font{};
  ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  return font;
}

bool InImage(const CDib& image, POINT p) {
  return p.x >= 0 && p.y >= 0 && p.x < static_cast<LONG>(image.GetWidth()) &&
         p.y < static_cast<LONG>(image.GetHeight());
}

}  // namespace

CCanvasTools::CCanvasTools() : textFont_(DefaultGuiFont()), fillContext_(::CreateCompatibleDC(nullptr)) {}

void CCanvasTools::SetText(const std::string& text, const LOGFONTA& font) {
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
  pressAt_ = at;
  switch (tool_) {
    case TOOL_PEN:
      DrawDot(image, at);
      return true;
    case TOOL_TEXT:
      DrawTextAt(image, at);
      return true;
    default:
      return false;
  }
}

bool CCanvasTools::Drag(CDib& image, POINT at) {
  switch (tool_) {
    case TOOL_LINE:
    case TOOL_RECT:
    case TOOL_ELLIPSE:
    case TOOL_FILL_RECT:
    case TOOL_FILL_ELLIPSE:
      RestorePress(image);
      DrawShape(image, pressAt_, at);
      return true;
    case TOOL_TEXT:
      RestorePress(image);
      DrawTextAt(image, at);
      return true;
    case TOOL_PEN:
      DrawDot(image, at);
      return true;
    case TOOL_BLUR:
      BlurSquare(image, at);
      return true;
    default:
      return false;
  }
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
      BlurSquare(image, at);
      return false;
    default:
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

void CCanvasTools::DrawDot(CDib& image, POINT p) const {
  const int s = brushSize_;
  if (s <= 1) {
    image.DrawLine(p.x, p.y, p.x + 1, p.y, brushColor_, 1, opacity_);
    return;
  }
  const int m = (s - 1) / 2;
  image.FillEllipse(p.x - m, p.y - m, p.x + s / 2, p.y + s / 2, brushColor_, opacity_);
}

void CCanvasTools::DrawShape(CDib& image, POINT from, POINT to) const {
  const int l = std::min<int>(from.x, to.x), r = std::max<int>(from.x, to.x);
  const int t = std::min<int>(from.y, to.y), b = std::max<int>(from.y, to.y);
  switch (tool_) {
    case TOOL_LINE:
      image.DrawLine(from.x, from.y, to.x, to.y, brushColor_, brushSize_, opacity_);
      break;
    case TOOL_RECT:
      image.DrawRect(from.x, from.y, to.x, to.y, brushColor_, brushSize_, opacity_);
      break;
    case TOOL_ELLIPSE:
      image.DrawEllipse(l, t, r, b, brushColor_, brushSize_, opacity_);
      break;
    case TOOL_FILL_RECT:
      image.BlendRect(l, t, r - l + 1, b - t + 1, brushColor_, opacity_);
      break;
    case TOOL_FILL_ELLIPSE:
      image.FillEllipse(l, t, r, b, brushColor_, opacity_);
      break;
    default:
      break;
  }
}

void CCanvasTools::DrawTextAt(CDib& image, POINT p) const {
  if (text_.empty()) return;
  // Drawn into a copy and mixed back, so the text takes the opacity.
  CDib copy;
  if (!copy.Create(image.GetWidth(), image.GetHeight())) return;
  image.CopyTo(copy);
  {
    HDC dc = copy.LockDC();
    UniqueFont font(::CreateFontIndirectA(&textFont_));
    ScopedSelect selectFont(dc, font.Get());
    ::SetTextColor(dc, brushColor_);
    ::SetBkMode(dc, TRANSPARENT);
    ::TextOutA(dc, p.x, p.y, text_.data(), static_cast<int>(text_.size()));
  }
  copy.UnlockDC();
  image.BlendFrom(copy, opacity_);
}

void CCanvasTools::BlurSquare(CDib& image, POINT p) const {
  const int s = brushSize_;
  const int m = (s - 1) / 2;
  image.BlurRect(p.x - m, p.y - m - 1, p.x + s / 2, p.y + s / 2, transparentColor_, opacity_);
}

void CCanvasTools::FloodFill(CDib& image, POINT p) {
  if (!InImage(image, p)) return;
  {
    ScopedSelect bitmap(fillContext_.Get(), image.GetBitmap());
    UniqueBrush brush(::CreateSolidBrush(brushColor_));
    ScopedSelect selectBrush(fillContext_.Get(), brush.Get());
    const COLORREF target = ::GetPixel(fillContext_.Get(), p.x, p.y);
    if (target != CLR_INVALID) ::ExtFloodFill(fillContext_.Get(), p.x, p.y, target, FLOODFILLSURFACE);
  }
  ::GdiFlush();
}

void CCanvasTools::Pick(const CDib& image, POINT p, bool transparent) {
  // Outside the image nothing is read; the pick still finishes so the
  // tool goes back.
  if (InImage(image, p)) {
    const ColorValue color = ColorFromPixel(image.View().At(p.x, p.y)) & 0xFFFFFF;
    (transparent ? transparentColor_ : brushColor_) = color;
  }
  tool_ = previousTool_;
}

}  // namespace glyph
