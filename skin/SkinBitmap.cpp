#include "skin/SkinBitmap.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "core/BmpFormat.h"
#include "core/Stream.h"
#include "framework/ComScope.h"
#include "skin/HlsColor.h"
#include "skin/PictureCheck.h"
#include "skin/SkinGeometry.h"
#include "skin/StartupTrace.h"

namespace glyph::skin {
namespace {

// Regions are built from at most this many rectangles at a time.
constexpr std::size_t kRectsPerRegion = 2000;

BITMAPINFO Info32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

// A new 32-bit DIB section, rows top down; `bits`, if given, receives its
// pixels (null without a section).
UniqueBitmap NewDibSection(int width, int height, void** bits = nullptr) {
  const BITMAPINFO bi = Info32(width, height);
  void* pixels = nullptr;
  UniqueBitmap section(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (bits) *bits = section ? pixels : nullptr;
  return section;
}

UniqueRegion RegionFromRects(const std::vector<RECT>& rects, const RECT& bounds) {
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  RGNDATAHEADER header{};
  header.dwSize = sizeof header;
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<DWORD>(rects.size());
  header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  header.rcBound = rects.empty() ? RECT{0, 0, 0, 0} : bounds;
  std::memcpy(data.data(), &header, sizeof header);
  if (!rects.empty()) std::memcpy(data.data() + sizeof header, rects.data(), rects.size() * sizeof(RECT));
  HRGN rgn = ::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                               reinterpret_cast<const RGNDATA*>(data.data()));
  if (!rgn && rects.empty()) rgn = ::CreateRectRgn(0, 0, 0, 0);
  return UniqueRegion(rgn);
}

}  // namespace

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !::GetObjectA(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight};
}

UniqueBitmap DibSectionCopy(HBITMAP bitmap) {
  const SIZE size = BitmapSize(bitmap);
  if (size.cx <= 0 || size.cy <= 0) return {};
  void* bits = nullptr;
  UniqueBitmap copy = NewDibSection(size.cx, size.cy, &bits);
  BITMAPINFO bi = Info32(size.cx, size.cy);
  UniqueDC dc(::CreateCompatibleDC(nullptr));
  if (!copy || !dc || ::GetDIBits(dc.Get(), bitmap, 0, size.cy, bits, &bi, DIB_RGB_COLORS) != size.cy)
    return {};
  return copy;
}

namespace {

// Larger pictures are left to OleLoadPicture.
constexpr UINT kMaxImagingSide = 16384;

// JPEG and BMP, the formats skins are drawn in, decode through the imaging
// component straight into a DIB section: under Wine, OleLoadPicture takes
// three times as long and leaves a device bitmap to copy. The decoder is
// chosen by the first bytes, as asking the component to find one reads
// every decoder's registration (some 300 registry round trips). Null for
// another format or anything the decoder refuses.
UniqueBitmap DecodeWithImaging(const std::string& bytes) {
  CLSID decoderClass;
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF) {
    decoderClass = CLSID_WICJpegDecoder;
  } else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    decoderClass = CLSID_WICBmpDecoder;
  } else {
    return {};
  }
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.PutVoid())) ||
      FAILED(factory->CreateStream(stream.Put())) ||
      FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(::CoCreateInstance(decoderClass, nullptr, CLSCTX_INPROC_SERVER, IID_IWICBitmapDecoder,
                                decoder.PutVoid())) ||
      FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand))) {
    return {};
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  if (FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(factory->CreateFormatConverter(converter.Put())) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr,
                                   0.0, WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxImagingSide ||
      height > kMaxImagingSide) {
    return {};
  }
  void* bits = nullptr;
  UniqueBitmap picture = NewDibSection(static_cast<int>(width), static_cast<int>(height), &bits);
  const UINT stride = width * 4;
  if (!picture || FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    return {};
  }
  // The fourth byte stays 0, as in a bitmap the screen made.
  auto* pixel = static_cast<DWORD*>(bits);
  for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i) pixel[i] &= 0x00FFFFFF;
  return picture;
}

// Uncompressed palette and 24-bit bitmaps (the mask, the sliders' pieces)
// read with our own reader: the imaging component's decoder and format
// converter cost about 0.8 ms even for a 20 x 12 slider piece. Other
// bitmaps go to the component, which reads every variant.
UniqueBitmap DecodePlainBmp(const std::string& bytes) {
  if (bytes.size() < kBmpFileHeaderSize + kBmpInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return {};
  const BmpInfo info = BmpInfo::From(reinterpret_cast<const uint8_t*>(bytes.data()) + kBmpFileHeaderSize);
  const bool plain = info.size == kBmpInfoHeaderSize && info.compression == kBmpCompressionRgb &&
                     (info.bitCount == 1 || info.bitCount == 4 || info.bitCount == 8 || info.bitCount == 24);
  if (!plain) return {};
  MemoryStream in(bytes.data(), bytes.size());
  std::optional<BmpImage> image = ReadBmpStream(in);
  if (!image || image->width == 0 || image->height == 0) return {};
  void* bits = nullptr;
  UniqueBitmap picture =
      NewDibSection(static_cast<int>(image->width), static_cast<int>(image->height), &bits);
  if (!picture || !bits) return {};
  // The fourth byte 0, as the imaging component leaves it.
  auto* to = static_cast<Pixel*>(bits);
  for (uint32_t y = 0; y < image->height; ++y) {
    const Pixel* from = image->pixels.data() + static_cast<size_t>(y) * image->stride;
    for (uint32_t x = 0; x < image->width; ++x) *to++ = from[x] & kColorBits;
  }
  return picture;
}

}  // namespace

UniqueBitmap DecodePictureBytes(const std::string& bytes) {
  if (!PictureBytesPlausible(bytes)) return {};
  if (UniqueBitmap picture = DecodePlainBmp(bytes)) return picture;
  ComScope com;
  if (UniqueBitmap picture = DecodeWithImaging(bytes)) return picture;
  UniqueBitmap copy;
  UniqueHGlobal block;
  block.Reset(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
  if (block) {
    if (void* p = ::GlobalLock(block.Get())) {
      std::memcpy(p, bytes.data(), bytes.size());
      ::GlobalUnlock(block.Get());
      ComPtr<IStream> stream;
      // The stream frees the block when it is released.
      if (SUCCEEDED(::CreateStreamOnHGlobal(block.Get(), TRUE, stream.Put()))) {
        block.Release();
        ComPtr<IPicture> picture;
        short type = PICTYPE_NONE;
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(::OleLoadPicture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                       picture.PutVoid())) &&
            picture && SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
            SUCCEEDED(picture->get_Handle(&handle)) && handle) {
          // The picture owns its handle, and keeps it selected into a DC of
          // its own, where its pixels cannot be read: copy it, then keep a
          // DIB section of the copy, to be cut into dozens of pieces.
          UniqueBitmap plain(static_cast<HBITMAP>(
              ::CopyImage(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, 0)));
          copy = DibSectionCopy(plain.Get());
        }
      }
    }
  }
  return copy;
}

bool DecodeSkinPicture(const SkinContext& context, const std::string& bytes, UniqueBitmap& dest, SIZE* size) {
  UniqueBitmap copy = DecodePictureBytes(bytes);
  if (!copy) {
    context.ShowMessage(nullptr, "err", nullptr);
    return false;
  }
  dest = std::move(copy);
  if (size) *size = BitmapSize(dest.Get());
  return true;
}

bool LoadSkinPicture(const SkinContext& context, const std::string& name, UniqueBitmap& dest, SIZE* size) {
  if (UniqueBitmap copy = context.CopyOfPicture(name)) {
    dest = std::move(copy);
    if (size) *size = BitmapSize(dest.Get());
    StartupMark("copy", name.c_str());
    return true;
  }
  const PictureArt art = ReadPictureArt(context, name);
  StartupMark("read", name.c_str());
  if (!art.bytes) return false;
  const bool decoded = DecodeSkinPicture(context, *art.bytes, dest, size);
  StartupMark("decode", name.c_str());
  if (!decoded) return false;
  FitPictureToScale(context, dest, art.scale);
  if (size) *size = BitmapSize(dest.Get());
  context.KeepPicture(name, dest.Get());
  return true;
}

PictureArt ReadPictureArt(const SkinContext& context, const std::string& name) {
  const int art = ArtScaleFor(context.Scale());
  if (art != 100) {
    if (std::optional<std::string> bytes = context.ReadItem(ScaledPictureName(name, art)))
      return PictureArt{std::move(bytes), art};
  }
  return PictureArt{context.ReadItem(name), 100};
}

void FitPictureToScale(const SkinContext& context, UniqueBitmap& picture, int artScale) {
  const int scale = context.Scale();
  if (!picture || artScale == scale || artScale <= 0) return;
  const SIZE from = BitmapSize(picture.Get());
  const int width = std::max(1, ::MulDiv(from.cx, scale, artScale));
  const int height = std::max(1, ::MulDiv(from.cy, scale, artScale));
  UniqueDC source(::CreateCompatibleDC(nullptr));
  UniqueDC target(::CreateCompatibleDC(nullptr));
  UniqueBitmap fitted = NewDibSection(width, height);
  if (!source || !target || !fitted) return;
  {
    ScopedSelect in(source.Get(), picture.Get());
    ScopedSelect out(target.Get(), fitted.Get());
    ::SetStretchBltMode(target.Get(), HALFTONE);
    ::SetBrushOrgEx(target.Get(), 0, 0, nullptr);
    if (!::StretchBlt(target.Get(), 0, 0, width, height, source.Get(), 0, 0, from.cx, from.cy, SRCCOPY))
      return;
  }
  picture = std::move(fitted);
}

UniqueRegion RegionFromBitmap(HBITMAP bitmap, COLORREF transparent, COLORREF tolerance) {
  if (!bitmap) return {};
  const SIZE size = BitmapSize(bitmap);
  if (size.cx <= 0 || size.cy <= 0) return {};
  UniqueDC target(::CreateCompatibleDC(nullptr));
  UniqueDC source(::CreateCompatibleDC(nullptr));
  if (!target || !source) return {};
  void* bits = nullptr;
  UniqueBitmap section = NewDibSection(size.cx, size.cy, &bits);
  if (!section || !bits) return {};
  {
    ScopedSelect selTarget(target.Get(), section.Get());
    ScopedSelect selSource(source.Get(), bitmap);
    ::BitBlt(target.Get(), 0, 0, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
  }

  UniqueRegion result;
  std::vector<RECT> rects;
  rects.reserve(100);
  RECT bounds{};
  auto resetBounds = [&bounds] { bounds = RECT{2147483647, 2147483647, 0, 0}; };
  resetBounds();
  auto flush = [&] {
    UniqueRegion part = RegionFromRects(rects, bounds);
    rects.clear();
    resetBounds();
    if (!part) return;
    if (!result) {
      result = std::move(part);
    } else {
      ::CombineRgn(result.Get(), result.Get(), part.Get(), RGN_OR);
    }
  };
  ScanOpaqueRuns(static_cast<const std::uint32_t*>(bits), size.cx, size.cy, static_cast<std::size_t>(size.cx),
                 transparent, tolerance, [&](int left, int y, int right) {
                   rects.push_back(RECT{left, y, right, y + 1});
                   bounds.left = std::min<LONG>(bounds.left, left);
                   bounds.top = std::min<LONG>(bounds.top, y);
                   bounds.right = std::max<LONG>(bounds.right, right);
                   bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                   if (rects.size() == kRectsPerRegion) flush();
                 });
  flush();
  return result;
}

void AdjustBitmapHls(const HlsOffsets& o, HDC dc, HBITMAP bitmap, int width, int height) {
  if (o.IsZero() || !bitmap) return;
  if (width <= 0 || height <= 0) return;
  UniqueDC mem(::CreateCompatibleDC(dc));
  if (!mem) return;
  // The whole bitmap is read once and written back once; the selected
  // bitmap must be deselected for GetDIBits.
  const SIZE full = BitmapSize(bitmap);
  width = std::min<int>(width, full.cx);
  height = std::min<int>(height, full.cy);
  BITMAPINFO bi = Info32(full.cx, full.cy);
  std::vector<std::uint32_t> px(static_cast<std::size_t>(full.cx) * full.cy);
  if (::GetDIBits(mem.Get(), bitmap, 0, full.cy, px.data(), &bi, DIB_RGB_COLORS) != full.cy) return;
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      std::uint32_t& p = px[static_cast<std::size_t>(y) * full.cx + x];
      const std::uint32_t rgb = ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
      const std::uint32_t out = AdjustColorHls(rgb, o.hue, o.lightness, o.saturation);
      p = ((out & 0xFF) << 16) | (out & 0xFF00) | ((out >> 16) & 0xFF);
    }
  }
  bi = Info32(full.cx, full.cy);
  ::SetDIBits(mem.Get(), bitmap, 0, full.cy, px.data(), &bi, DIB_RGB_COLORS);
}

void CopyBitmapRect(HDC dc, UniqueBitmap& dest, HBITMAP source, int left, int top, int right, int bottom) {
  CopyBitmapRects(dc, RECT{left, top, right, bottom}, {PieceCopy{&dest, source}});
}

void CopyBitmapRects(HDC dc, const RECT& rect, std::initializer_list<PieceCopy> copies) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  UniqueDC src, dst;
  for (const PieceCopy& copy : copies) {
    if (!copy.source) continue;
    if (dc) {
      copy.dest->Reset(::CreateCompatibleBitmap(dc, w, h));
    } else {
      *copy.dest = NewDibSection(w, h);
    }
    if (!*copy.dest) continue;
    if (!src) src.Reset(::CreateCompatibleDC(dc));
    if (!dst) dst.Reset(::CreateCompatibleDC(dc));
    if (!src || !dst) continue;
    ScopedSelect selSrc(src.Get(), copy.source);
    ScopedSelect selDst(dst.Get(), copy.dest->Get());
    ::StretchBlt(dst.Get(), 0, 0, w, h, src.Get(), rect.left, rect.top, w, h, SRCCOPY);
  }
}

void DrawBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom, bool stretch) {
  if (!bitmap) return;
  UniqueDC mem(::CreateCompatibleDC(dc));
  if (!mem) return;
  ScopedSelect sel(mem.Get(), bitmap);
  const int w = right - left, h = bottom - top;
  if (stretch) {
    ::StretchBlt(dc, left, top, w, h, mem.Get(), 0, 0, w, h, SRCCOPY);
  } else {
    ::BitBlt(dc, left, top, w, h, mem.Get(), 0, 0, SRCCOPY);
  }
}

}  // namespace glyph::skin
