// Skin description entries and picture headers from arbitrary bytes: the
// field reader, the number reader and the bitmap header check must accept
// anything without reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/PictureCheck.h"
#include "skin/SkinDescription.h"
#include "skin/SkinGeometry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  glyph::skin::PictureBytesPlausible(bytes);
  if (size == 0) return 0;
  const std::string entry = bytes.substr(1);
  switch (data[0] % 5) {
    case 0:
      glyph::skin::ParseButtonEntry(entry);
      break;
    case 1:
      glyph::skin::ParseTextEntry(entry);
      break;
    case 2: {
      const glyph::skin::TrackbarEntry t = glyph::skin::ParseTrackbarEntry(entry, "Skin\\");
      glyph::skin::SliderGeometry g;
      g.horizontal = t.horizontal;
      g.thumbWidth = t.rect.Width() & 0xFF;
      g.thumbHeight = t.rect.Height() & 0xFF;
      g.clientWidth = t.rect.left & 0xFFFF;
      g.clientHeight = t.rect.top & 0xFFFF;
      g.maximum = t.maximum;
      glyph::skin::ThumbRect(g, t.position);
      glyph::skin::PositionFromPointer(g, t.position, t.maximum);
      break;
    }
    case 3:
      glyph::skin::ParseProgressEntry(entry);
      break;
    default: {
      // A tiny picture of the bytes for the shape scan.
      const int w = 1 + data[0] % 7;
      const int h = static_cast<int>((size - 1) / 4 / static_cast<size_t>(w));
      if (h > 0) {
        // A copy: the bytes may not be aligned for 32-bit reads.
        std::string copy(entry.data(), static_cast<size_t>(w * h) * 4);
        glyph::skin::ScanOpaqueRuns(reinterpret_cast<const uint32_t*>(copy.data()), w, h,
                                    static_cast<size_t>(w), 0xFFFFFFFF, 0x101010, [](int, int, int) {});
      }
      break;
    }
  }
  return 0;
}
