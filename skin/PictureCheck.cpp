#include "skin/PictureCheck.h"

#include <cstdint>

namespace glyph::skin {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;

std::uint32_t U32(std::string_view b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}
std::uint16_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    (static_cast<unsigned char>(b[at + 1]) << 8));
}

}  // namespace

bool PictureBytesPlausible(std::string_view b) {
  if (b.empty()) return false;
  if (b.size() < 2 || b[0] != 'B' || b[1] != 'M') return true;
  if (b.size() < kFileHeaderSize + 4) return false;
  const std::uint64_t offBits = U32(b, 10);
  const std::uint32_t headerSize = U32(b, kFileHeaderSize);
  if (headerSize < kCoreHeaderSize || kFileHeaderSize + static_cast<std::uint64_t>(headerSize) > b.size()) {
    return false;
  }
  std::int64_t width, height;
  unsigned bits;
  std::uint32_t compression = kRgb, colours = 0;
  if (headerSize == kCoreHeaderSize) {
    width = U16(b, 18);
    height = static_cast<std::int16_t>(U16(b, 20));
    bits = U16(b, 24);
  } else {
    if (headerSize < kInfoHeaderSize) return false;
    width = static_cast<std::int32_t>(U32(b, 18));
    height = static_cast<std::int32_t>(U32(b, 22));
    bits = U16(b, 28);
    compression = U32(b, 30);
    colours = U32(b, 46);
  }
  if (width <= 0 || height == 0 || width > 65535 || height > 65535 || height < -65535) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (offBits > b.size() || offBits < kFileHeaderSize + headerSize) return false;
  // The palette must lie before the pixels.
  const std::uint64_t entry = headerSize == kCoreHeaderSize ? 3 : 4;
  std::uint64_t paletteCount = bits <= 8 ? (colours ? colours : (1u << bits)) : colours;
  if (bits <= 8 && paletteCount > (1u << bits)) paletteCount = 1u << bits;
  if (compression == kBitfields && headerSize == kInfoHeaderSize) paletteCount += 3;
  if (kFileHeaderSize + headerSize + paletteCount * entry > offBits && bits <= 8) return false;
  if (compression == kRle8 || compression == kRle4) return true;  // run lengths: the decoder stops at the end
  if (compression != kRgb && compression != kBitfields) return false;
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
  return offBits + stride * rows <= b.size();
}

}  // namespace glyph::skin
