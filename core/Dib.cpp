#include "core/Dib.h"

#include <algorithm>
#include <cstring>

#include "core/BmpFormat.h"

namespace glyph {
namespace {

constexpr size_t kCreatedHeaderSize = kBmpInfoHeaderSize + 4;  // header + one colour entry

// The object that LockDC displaced; one slot for all images, since every
// memory DC starts with the same default bitmap selected.
HGDIOBJ g_displaced = nullptr;

}  // namespace

CDib::CDib() : dc_(::CreateCompatibleDC(nullptr)) {}

CDib::~CDib() { Release(); }

bool CDib::Serialize(ByteStream& stream, bool storing) {
  return storing ? WriteBmp(stream) != 0 : ReadBmp(stream) != 0;
}

void CDib::Release() {
  bitmap_.Reset();
  bits_ = nullptr;
  header_.clear();
  palette_.Reset();
  width_ = height_ = 0;
  stride_ = 0;
}

uint32_t CDib::GetWidth() const { return header_.empty() ? 0 : width_; }
uint32_t CDib::GetHeight() const { return header_.empty() ? 0 : height_; }

uint16_t CDib::GetColorCount() const {
  return header_.empty() ? 0 : BmpInfo::From(header_.data()).ColorCount();
}

PixelView CDib::View() const {
  return PixelView{bits_, static_cast<int>(width_), static_cast<int>(height_), stride_};
}

bool CDib::CreateSection(const std::vector<uint8_t>& header) {
  void* bits = nullptr;
  bitmap_.Reset(::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(header.data()),
                                   DIB_RGB_COLORS, &bits, nullptr, 0));
  bits_ = static_cast<Pixel*>(bits);
  return bitmap_ && bits_;
}

int CDib::Create(uint32_t width, uint32_t height) {
  Release();
  if (width == 0 || height == 0 || width > static_cast<uint32_t>(kBmpMaxSide) ||
      height > static_cast<uint32_t>(kBmpMaxSide)) {
    return 0;
  }
  const int stride = static_cast<int>((width + 3) & ~3u);
  std::vector<uint8_t> header = PixelMemoryHeader(static_cast<uint32_t>(stride), height);
  header.resize(kCreatedHeaderSize, 0);
  if (!CreateSection(header)) {
    Release();
    return 0;
  }
  header_ = std::move(header);
  stride_ = stride;
  width_ = width;
  height_ = height;
  std::memset(bits_, 0, static_cast<size_t>(height) * stride * 4);
  return 1;
}

bool CDib::BuildPalette() {
  const uint16_t count = GetColorCount();
  if (header_.empty() || count == 0) return false;
  const BmpInfo info = BmpInfo::From(header_.data());
  if (info.size + 4u * count > header_.size()) return false;
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = count;
  const uint8_t* table = header_.data() + info.size;
  for (uint16_t i = 0; i < count; ++i) {
    palette->palPalEntry[i].peRed = table[4 * i + 2];
    palette->palPalEntry[i].peGreen = table[4 * i + 1];
    palette->palPalEntry[i].peBlue = table[4 * i];
    palette->palPalEntry[i].peFlags = 0;
  }
  palette_.Reset(::CreatePalette(palette));
  return static_cast<bool>(palette_);
}

void CDib::CopyTo(CDib& other) const {
  if (!bits_) return;
  if (other.width_ != width_ || other.height_ != height_ || other.header_.empty() ||
      BmpInfo::From(other.header_.data()).bitCount != 32 || !other.bits_) {
    other.Create(width_, height_);
  }
  // Same width, same stride: both were made by Create or ReadBmp, which
  // keep the stride at the width rounded up to 4.
  if (!other.bits_ || other.stride_ != stride_) return;
  std::memcpy(other.bits_, bits_, static_cast<size_t>(stride_) * height_ * 4);
}

void CDib::Fill(int red, int green, int blue, int alpha) {
  if (bits_) FillPixels(View(), red, green, blue, alpha);
}

void CDib::BlendFrom(const CDib& other, int opacity) {
  if (!bits_ || !other.bits_ || other.width_ != width_ || other.height_ != height_ ||
      other.stride_ != stride_) {
    return;
  }
  BlendPixels(View(), other.bits_, opacity);
}

void CDib::BlendRect(int x, int y, int width, int height, ColorValue color, int opacity) {
  if (bits_) BlendRectPixels(View(), x, y, width, height, color, opacity);
}

void CDib::DrawRect(int x1, int y1, int x2, int y2, ColorValue color, int penWidth, int opacity) {
  DrawShape(Shape::kRect, x1, y1, x2, y2, color, penWidth, opacity);
}
void CDib::DrawLine(int x1, int y1, int x2, int y2, ColorValue color, int penWidth, int opacity) {
  DrawShape(Shape::kLine, x1, y1, x2, y2, color, penWidth, opacity);
}
void CDib::DrawEllipse(int left, int top, int right, int bottom, ColorValue color, int penWidth,
                       int opacity) {
  DrawShape(Shape::kEllipse, left, top, right, bottom, color, penWidth, opacity);
}
void CDib::FillEllipse(int left, int top, int right, int bottom, ColorValue color, int opacity) {
  DrawShape(Shape::kFilledEllipse, left, top, right, bottom, color, 1, opacity);
}

// GDI draws each shape white on a black layer; the colour goes over the
// image wherever the layer is lit.
void CDib::DrawShape(Shape shape, int x1, int y1, int x2, int y2, ColorValue color, int penWidth,
                     int opacity) {
  if (!bits_) return;
  CDib layer;
  if (!layer.Create(width_, height_) || layer.stride_ != stride_) return;
  {
    HDC dc = layer.dc_.Get();
    constexpr COLORREF kLit = RGB(255, 255, 255);
    ScopedSelect bitmap(dc, layer.bitmap_.Get());
    UniquePen pen(::CreatePen(PS_SOLID, penWidth, kLit));
    UniqueBrush brush(shape == Shape::kFilledEllipse ? ::CreateSolidBrush(kLit) : nullptr);
    ScopedSelect selectPen(dc, pen.Get());
    ScopedSelect selectBrush(dc, brush ? static_cast<HGDIOBJ>(brush.Get()) : ::GetStockObject(NULL_BRUSH));
    switch (shape) {
      case Shape::kRect:
        ::Rectangle(dc, std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
        break;
      case Shape::kLine:
        ::MoveToEx(dc, x1, y1, nullptr);
        ::LineTo(dc, x2, y2);
        break;
      case Shape::kEllipse:
      case Shape::kFilledEllipse:
        ::Ellipse(dc, x1, y1, x2 + 1, y2 + 1);
        break;
    }
    ::GdiFlush();
  }
  PaintThroughLayer(View(), layer.bits_, Paint{.color = PixelFromColor(color), .opacity = opacity});
}

void CDib::BlurRect(int x1, int y1, int x2, int y2, ColorValue transparent, int opacity) {
  if (!bits_) return;
  const int w = static_cast<int>(width_), h = static_cast<int>(height_);
  if (x1 >= w || y1 >= h || x2 < 0 || y2 < 0) return;
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, w - 1);
  y2 = std::min(y2, h - 1);
  if (x1 > x2 || y1 > y2) return;
  CDib temp;
  CopyTo(temp);
  if (!temp.bits_) return;
  BlurPixels(View(), temp.bits_, x1, y1, x2, y2, PixelFromColor(transparent));
  BlendFrom(temp, opacity);
}

void CDib::BlurAll(ColorValue transparent) {
  if (!bits_) return;
  std::vector<Pixel> result(bits_, bits_ + static_cast<size_t>(stride_) * height_);
  BlurPixels(View(), result.data(), 0, 0, static_cast<int>(width_) - 1, static_cast<int>(height_) - 1,
             PixelFromColor(transparent));
  std::memcpy(bits_, result.data(), result.size() * sizeof(Pixel));
}

HDC CDib::LockDC() {
  g_displaced = ::SelectObject(dc_.Get(), bitmap_.Get());
  return dc_.Get();
}

void CDib::UnlockDC() {
  if (g_displaced) ::SelectObject(dc_.Get(), g_displaced);
  ::GdiFlush();
}

size_t CDib::WriteBmp(ByteStream& out) {
  if (header_.empty() || !bits_) return 0;
  return WriteBmpStream(out, header_.data(), header_.size(), reinterpret_cast<const uint8_t*>(bits_),
                        static_cast<uint16_t>(width_));
}

size_t CDib::ReadBmp(ByteStream& in) {
  Release();
  std::optional<BmpImage> image = ReadBmpStream(in);
  if (!image) return 0;
  // The header describes exactly the converted pixels (32 bits, top-down,
  // the stride as its width), so the section is as large as they are.
  if (!CreateSection(image->header)) {
    Release();
    return 0;
  }
  std::memcpy(bits_, image->pixels.data(), image->pixels.size() * sizeof(Pixel));
  header_ = std::move(image->header);
  stride_ = static_cast<int>(image->stride);
  width_ = image->width;
  height_ = image->height;
  BuildPalette();
  return image->bytesRead;
}

}  // namespace glyph
