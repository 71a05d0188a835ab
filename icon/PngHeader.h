// What the PNG codecs check before they let a decoder allocate: the
// signature, the image header, and that the size it claims is sane and
// could come out of the compressed data the file really holds. Shared by
// both codecs, so a hostile file is refused the same way in both builds.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace glyph::icon {

inline constexpr int kMaxPngSide = 16384;
inline constexpr std::int64_t kMaxPngPixels = std::int64_t{1} << 24;  // 64 MiB of RGBA

struct PngHeader {
  int width = 0;
  int height = 0;
  int bitDepth = 0;
  int colorType = 0;
  bool interlaced = false;
};

// True when `bytes` starts like a PNG whose size passes the limits; fills
// `header`. Otherwise false with a reason.
bool CheckPngHeader(std::span<const std::uint8_t> bytes, PngHeader& header, std::string& why);

// Whether an image of this size fits the limits (for encoding too).
bool PngSizeAllowed(int width, int height, std::string& why);

}  // namespace glyph::icon
