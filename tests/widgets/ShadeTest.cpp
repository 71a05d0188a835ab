#include <gtest/gtest.h>

#include "widgets/Shade.h"

namespace glyph {
namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

TEST(ShadeColour, ClampsEveryChannelSeparately) {
  struct Case {
    uint32_t colour;
    int delta;
    uint32_t expected;
  } cases[] = {
      {Rgb(240, 240, 240), 25, Rgb(255, 255, 255)},  // light face: capped, not wrapped
      {Rgb(212, 208, 200), 25, Rgb(237, 233, 225)},
      {Rgb(231, 100, 0), 25, Rgb(255, 125, 25)},  // one channel capped, others move
      {Rgb(200, 60, 10), -64, Rgb(136, 0, 0)},    // floor at 0
      {Rgb(212, 208, 200), -192, Rgb(20, 16, 8)},
      {Rgb(1, 2, 3), 0, Rgb(1, 2, 3)},
      {0x00FFFFFF, 64, 0x00FFFFFF},
      {0, -1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShadeColour(c.colour, c.delta), c.expected)
        << std::hex << c.colour << " " << std::dec << c.delta;
  }
}

TEST(ShadeColour, IgnoresTheTopByte) { EXPECT_EQ(ShadeColour(0xFF102030, 1), 0x00112131u); }

}  // namespace
}  // namespace glyph
