// A picture as straight (not premultiplied) 8-bit RGBA: rows top-down,
// each pixel R, G, B, A; width * height * 4 bytes.
#pragma once
#include <cstdint>
#include <vector>
namespace glyph::icon {
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};
}  // namespace glyph::icon
