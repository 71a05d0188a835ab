#include "editor/IconFormat.h"

#include <algorithm>

#include "core/BmpFormat.h"
#include "icon/IconPalette.h"

namespace glyph {
namespace {

constexpr uint16_t kIconType = 1;

// The directory, its one entry and the image's bitmap header.
void PutIconHeaders(std::vector<uint8_t>& out, uint8_t colorCount, uint16_t entryPlanes, uint16_t entryBits,
                    uint16_t bitCount, uint32_t imageBytes) {
  uint8_t* p = out.data();
  StoreU16(p + 0, 0);
  StoreU16(p + 2, kIconType);
  StoreU16(p + 4, 1);
  p += kIconDirectoryBytes;
  p[0] = kIconSide;
  p[1] = kIconSide;
  p[2] = colorCount;
  p[3] = 0;
  StoreU16(p + 4, entryPlanes);
  StoreU16(p + 6, entryBits);
  StoreU32(p + 8, imageBytes);
  StoreU32(p + 12, static_cast<uint32_t>(kIconDirectoryBytes + kIconEntryBytes));
  p += kIconEntryBytes;
  StoreU32(p + 0, static_cast<uint32_t>(kIconHeaderBytes));
  StoreU32(p + 4, kIconSide);
  StoreU32(p + 8, 2 * kIconSide);  // colour plane and mask plane
  StoreU16(p + 12, 1);
  StoreU16(p + 14, bitCount);
  // Compression, image size, resolutions and colour counts stay 0.
}

}  // namespace

IconPlanes BuildIconPlanes(const PixelView& image, Pixel transparent, bool bottomUp) {
  IconPlanes planes;
  planes.color.assign(kIconColorPlaneBytes, 0);
  planes.mask.assign(kIconMaskPlaneBytes, 0);
  if (!image.bits || image.width < kIconSide || image.height < kIconSide) return planes;
  for (int i = 0; i < kIconSide * kIconSide; ++i) {
    const int x = i % kIconSide;
    const int row = i / kIconSide;
    const Pixel p = image.At(x, bottomUp ? kIconSide - 1 - row : row);
    if (IsMasked(p, transparent)) {
      planes.mask[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
      continue;
    }
    planes.color[3 * i + 0] = static_cast<uint8_t>(p);
    planes.color[3 * i + 1] = static_cast<uint8_t>(p >> 8);
    planes.color[3 * i + 2] = static_cast<uint8_t>(p >> 16);
  }
  return planes;
}

std::vector<uint8_t> BuildTrueColorIcon(const PixelView& image, Pixel transparent) {
  std::vector<uint8_t> out(kTrueColorIconBytes, 0);
  const uint32_t imageBytes =
      static_cast<uint32_t>(kIconHeaderBytes + kIconColorPlaneBytes + kIconMaskPlaneBytes);
  // The entry leaves planes and bit count 0; the bitmap header says 24 bits.
  PutIconHeaders(out, 0, 0, 0, 24, imageBytes);
  const IconPlanes planes = BuildIconPlanes(image, transparent, true);
  size_t at = kIconDirectoryBytes + kIconEntryBytes + kIconHeaderBytes;
  std::copy(planes.color.begin(), planes.color.end(), out.begin() + static_cast<ptrdiff_t>(at));
  at += kIconColorPlaneBytes;
  std::copy(planes.mask.begin(), planes.mask.end(), out.begin() + static_cast<ptrdiff_t>(at));
  return out;
}

const std::array<Pixel, kIconPaletteColors>& SixteenColorPalette() { return icon::kStandardColours; }

int NearestPaletteIndex(Pixel p) {
  return icon::NearestColour(icon::kStandardColours.data(), static_cast<int>(kIconPaletteColors),
                             p & kColorBits);
}

std::vector<uint8_t> BuildSixteenColorIcon(const PixelView& image, Pixel transparent) {
  std::vector<uint8_t> out(kSixteenColorIconBytes, 0);
  const uint32_t imageBytes = static_cast<uint32_t>(kIconHeaderBytes + 4 * kIconPaletteColors +
                                                    kIcon4BitPlaneBytes + kIconMaskPlaneBytes);
  PutIconHeaders(out, static_cast<uint8_t>(kIconPaletteColors), 1, 4, 4, imageBytes);
  size_t at = kIconDirectoryBytes + kIconEntryBytes + kIconHeaderBytes;
  for (Pixel c : SixteenColorPalette()) {
    StoreU32(out.data() + at, c & 0xFFFFFF);  // blue, green, red, 0
    at += 4;
  }
  const IconPlanes planes = BuildIconPlanes(image, transparent, true);
  uint8_t* indices = out.data() + at;
  for (int i = 0; i < kIconSide * kIconSide; ++i) {
    if (planes.mask[i / 8] & (0x80 >> (i % 8))) continue;  // index 0: black
    const Pixel p = planes.color[3 * i] | (planes.color[3 * i + 1] << 8) | (planes.color[3 * i + 2] << 16);
    const auto index = static_cast<uint8_t>(NearestPaletteIndex(p));
    indices[i / 2] |= (i % 2) ? index : static_cast<uint8_t>(index << 4);
  }
  at += kIcon4BitPlaneBytes;
  std::copy(planes.mask.begin(), planes.mask.end(), out.begin() + static_cast<ptrdiff_t>(at));
  return out;
}

}  // namespace glyph
