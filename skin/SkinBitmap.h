// Bitmaps of the skin: reading pictures out of the skin's archive, the
// window shape from a mask, recolouring, cutting and drawing pieces.
//
// Pictures are read through a skin context's archive (files relative to
// the current directory when it has none), and a picture that cannot be
// decoded is reported through the context's prompt.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "framework/Handles.h"
#include "skin/SkinContext.h"

namespace glyph::skin {

// Reads and decodes a picture (bitmap, JPEG, GIF) into dest and reports its
// size. An unreadable item changes nothing; an undecodable one shows "err"
// and changes nothing. Returns true when dest got the picture.
// At a display scale other than 100 % the picture comes at that scale: its
// art drawn for the scale when the skin has it (ScaledPictureName), else
// the nearest art resampled.
bool LoadSkinPicture(const SkinContext& context, const std::string& name, UniqueBitmap& dest, SIZE* size);
// The bytes of a picture's art for the context's scale, and the scale that
// art was drawn at: the art for ArtScaleFor(scale) when the skin carries
// it, else the picture itself (100).
struct PictureArt {
  std::optional<std::string> bytes;
  int scale = 100;
};
PictureArt ReadPictureArt(const SkinContext& context, const std::string& name);
// Resamples a picture drawn at artScale to the context's scale; nothing
// when the two agree or the picture is missing.
void FitPictureToScale(const SkinContext& context, UniqueBitmap& picture, int artScale);

// Decodes picture bytes; exposed for the loader's tests.
bool DecodeSkinPicture(const SkinContext& context, const std::string& bytes, UniqueBitmap& dest, SIZE* size);
// The decoding alone, without a report: null when the bytes are not a
// picture. Safe on any thread.
UniqueBitmap DecodePictureBytes(const std::string& bytes);

// The region of all pixels outside the transparent colour range (see
// ScanOpaqueRuns). Null when the bitmap is missing or cannot be read; an
// all-transparent bitmap gives an empty region.
UniqueRegion RegionFromBitmap(HBITMAP bitmap, COLORREF transparent, COLORREF tolerance);

// Shifts hue, lightness and saturation of every pixel of the bitmap's
// top-left width x height part by the offsets. dc may be null.
void AdjustBitmapHls(const HlsOffsets& offsets, HDC dc, HBITMAP bitmap, int width, int height);

// dest becomes a new bitmap compatible with dc holding that rectangle of
// source; without a dc, a 32-bit DIB section, which needs no window's DC
// (getting one costs a round trip to the Wine server). Nothing when source
// is null.
void CopyBitmapRect(HDC dc, UniqueBitmap& dest, HBITMAP source, int left, int top, int right, int bottom);

// The same rectangle of several pictures (a control's states), each as
// CopyBitmapRect makes it, through one pair of memory DCs.
struct PieceCopy {
  UniqueBitmap* dest;
  HBITMAP source;
};
void CopyBitmapRects(HDC dc, const RECT& rect, std::initializer_list<PieceCopy> copies);

// Draws the bitmap's top-left (right-left) x (bottom-top) part at (left, top).
void DrawBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom, bool stretch);

// The bitmap's size, or 0 x 0 without a bitmap.
SIZE BitmapSize(HBITMAP bitmap);
// A 32-bit DIB section holding the bitmap's pixels, or null. Wine checks
// its display devices (three server round trips) each time a device bitmap
// is selected into a DC; a DIB section costs nothing there.
UniqueBitmap DibSectionCopy(HBITMAP bitmap);

}  // namespace glyph::skin
