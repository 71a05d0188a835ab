// Colour shading shared by the widgets' 3-D borders.
//
// Colours are 0x00BBGGRR values (red in the low byte). Shade adds the same
// delta to red, green and blue separately and clamps each to 0..255, so a
// light face colour lit by +25 caps at white instead of wrapping.
#pragma once

#include <cstdint>

namespace glyph {

constexpr uint32_t ShadeColour(uint32_t colour, int delta) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    int channel = static_cast<int>((colour >> shift) & 0xFF) + delta;
    if (channel < 0) channel = 0;
    if (channel > 255) channel = 255;
    out |= static_cast<uint32_t>(channel) << shift;
  }
  return out;
}

}  // namespace glyph
