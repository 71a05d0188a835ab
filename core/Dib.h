// CDib: the one image type. A 32-bit top-down DIB section with its own
// memory device context, so the same pixels are reachable through a
// pointer and through GDI; the editor's drawing primitives, mixing with an
// opacity, blur, and the .bmp stream.
//
// Pixels carry straight alpha (core/Pixels.h). GDI knows nothing of it, so
// the shapes are drawn by GDI as coverage into a scratch layer and the
// colour is laid over the image from there; whoever draws into LockDC()
// directly sets alpha afterwards.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/Pixels.h"
#include "core/Stream.h"
#include "framework/Handles.h"
#include "framework/PaintBuffer.h"

namespace glyph {

class CDib {
 public:
  CDib();
  virtual ~CDib();
  CDib(const CDib&) = delete;
  CDib& operator=(const CDib&) = delete;

  static const char* GetRuntimeClassName() { return "CDib"; }
  // Stores the .bmp stream, or replaces the image by one read.
  virtual bool Serialize(ByteStream& stream, bool storing);

  // A zero-filled (transparent black) 32-bit image; returns 1 (0 if the platform
  // refused the DIB section, leaving the image empty).
  int Create(uint32_t width, uint32_t height);
  void Release();

  uint32_t GetWidth() const;
  uint32_t GetHeight() const;
  int GetStride() const { return stride_; }
  uint16_t GetColorCount() const;
  uint16_t GetColorTableSize() const { return static_cast<uint16_t>(4 * GetColorCount()); }
  bool BuildPalette();
  HPALETTE GetPalette() const { return palette_.Get(); }
  HBITMAP GetBitmap() const { return bitmap_.Get(); }
  // The pixel memory: 0xAARRGGBB, top row first, GetStride() per row.
  Pixel* GetBits() const { return bits_; }
  PixelView View() const;
  bool IsEmpty() const { return !bitmap_; }

  void CopyTo(CDib& other) const;
  // Alpha 0 by default: Clear's transparent image in that colour.
  void Fill(int red, int green, int blue, int alpha = 0);
  // MixPixels of each pixel toward the other image's.
  void BlendFrom(const CDib& other, int opacity);
  // The shapes lay an opaque colour over the image at the opacity.
  void BlendRect(int x, int y, int width, int height, ColorValue color, int opacity);
  void DrawRect(int x1, int y1, int x2, int y2, ColorValue color, int penWidth, int opacity);
  void DrawLine(int x1, int y1, int x2, int y2, ColorValue color, int penWidth, int opacity);
  void DrawEllipse(int left, int top, int right, int bottom, ColorValue color, int penWidth, int opacity);
  void FillEllipse(int left, int top, int right, int bottom, ColorValue color, int opacity);
  void BlurRect(int x1, int y1, int x2, int y2, ColorValue transparent, int opacity);
  void BlurAll(ColorValue transparent);

  // Selects the bitmap into the image's memory DC for GDI drawing; every
  // LockDC must be followed by UnlockDC before the pixels are used again.
  HDC LockDC();
  void UnlockDC();

  // Returns the bytes written (0 when the stream took fewer).
  size_t WriteBmp(ByteStream& out);
  // Returns the bytes read, 0 on failure (the image is then empty).
  size_t ReadBmp(ByteStream& in);

 private:
  enum class Shape { kRect, kLine, kEllipse, kFilledEllipse };
  void DrawShape(Shape shape, int x1, int y1, int x2, int y2, ColorValue color, int penWidth, int opacity);
  bool CreateSection(const std::vector<uint8_t>& header);

  UniqueBitmap bitmap_;
  UniqueDC dc_;
  Pixel* bits_ = nullptr;
  // The bitmap-info header and colour table (44 bytes for a created image).
  std::vector<uint8_t> header_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  int stride_ = 0;
  UniquePalette palette_;
};

// The paint buffer under the name the editor's painting code knows it by.
using CPaintBuffer = PaintBuffer;

}  // namespace glyph
