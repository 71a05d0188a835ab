// Bitmaps of the skin: reading pictures out of the skin's archive, the
// window shape from a mask, recolouring, cutting and drawing pieces.
//
// Pictures are read through the archive of the running skin load (set with
// ScopedSkinArchive); without one they are read as files relative to the
// current directory. Message boxes go through SkinPrompt so tests can see
// them without a box blocking.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "framework/Handles.h"

namespace glyph::skin {

// Where skin items come from during a load: the archive appended to the
// program file, with ordinary files as the fallback.
class SkinArchive {
 public:
  virtual ~SkinArchive() = default;
  // The item's bytes, or nothing when neither the archive nor the disk has it.
  virtual std::optional<std::string> ReadFile(const std::string& name) = 0;
};

// Reads names as files relative to the current directory.
class DiskSkinArchive : public SkinArchive {
 public:
  std::optional<std::string> ReadFile(const std::string& name) override;
};

// Makes an archive the one pictures are read through, for one scope.
class ScopedSkinArchive {
 public:
  explicit ScopedSkinArchive(SkinArchive* archive);
  ~ScopedSkinArchive();
  ScopedSkinArchive(const ScopedSkinArchive&) = delete;
  ScopedSkinArchive& operator=(const ScopedSkinArchive&) = delete;

 private:
  SkinArchive* previous_;
};
SkinArchive* CurrentSkinArchive();
// Reads through the current archive, or from disk when there is none.
std::optional<std::string> ReadSkinItem(const std::string& name);

// The skin's message boxes ("err", "Hata").
class SkinPrompt {
 public:
  virtual ~SkinPrompt() = default;
  // caption may be null (the platform's default caption).
  virtual void Show(HWND owner, const char* text, const char* caption) = 0;
};
// Replaces the prompt; null restores MessageBoxA. Returns the previous one.
SkinPrompt* SetSkinPrompt(SkinPrompt* prompt);
void ShowSkinMessage(HWND owner, const char* text, const char* caption);

// Process-wide colour offsets used by AdjustBitmapHls; the skin loader
// sets them at each load. All zero: no adjustment.
struct HlsOffsets {
  double hue = 0, lightness = 0, saturation = 0;
};
void SetHlsOffsets(const HlsOffsets& offsets);
HlsOffsets GetHlsOffsets();

// Reads and decodes a picture (bitmap, JPEG, GIF) into dest and reports its
// size. An unreadable item changes nothing; an undecodable one shows "err"
// and changes nothing. Returns true when dest got the picture.
bool LoadSkinPicture(const std::string& name, UniqueBitmap& dest, SIZE* size);
// Decodes picture bytes; exposed for the loader's tests.
bool DecodeSkinPicture(const std::string& bytes, UniqueBitmap& dest, SIZE* size);

// The region of all pixels outside the transparent colour range (see
// ScanOpaqueRuns). Null when the bitmap is missing or cannot be read; an
// all-transparent bitmap gives an empty region.
UniqueRegion RegionFromBitmap(HBITMAP bitmap, COLORREF transparent, COLORREF tolerance);

// Shifts hue, lightness and saturation of every pixel by the offsets.
void AdjustBitmapHls(HDC dc, HBITMAP bitmap, int width, int height);

// dest becomes a new bitmap compatible with dc holding that rectangle of
// source. Nothing when source is null.
void CopyBitmapRect(HDC dc, UniqueBitmap& dest, HBITMAP source, int left, int top, int right, int bottom);

// Draws the bitmap's top-left (right-left) x (bottom-top) part at (left, top).
void DrawBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom, bool stretch);

// The bitmap's size, or 0 x 0 without a bitmap.
SIZE BitmapSize(HBITMAP bitmap);

}  // namespace glyph::skin
