#include "editor/Thumbnail.h"

#include <gtest/gtest.h>

#include <vector>

namespace glyph {
namespace {

constexpr Pixel kGround = 0x000080;

TEST(Thumbnail, SmallImagesAreCentredAtRealSizeLargeOnesShrunkByAlpha) {
  std::vector<Pixel> target(4 * 4, 0x123456);
  const PixelView box{target.data(), 4, 4, 4};
  Pixel two[4] = {0xFFFF0000, 0x00FFFFFF, 0x80FFFFFF, 0xFF00FF00};
  DrawThumbnail(box, 0, 0, 4, PixelView{two, 2, 2, 2}, kGround);
  EXPECT_EQ(target[0], 0x123456u);  // outside the centred 2 x 2: untouched
  EXPECT_EQ(target[5], 0xFF0000u);
  EXPECT_EQ(target[6], kGround);    // transparent: the ground
  EXPECT_EQ(target[9], 0x8080C0u);  // half white over the ground
  EXPECT_EQ(target[10], 0x00FF00u);

  // 4 x 2 into a box of 2: 2 x 1, each pixel the alpha-weighted mean of a
  // 2 x 2 block; the transparent white lends nothing.
  Pixel wide[8] = {0xFFFF0000, 0x00FFFFFF, 0xFF0000FF, 0xFF0000FF,
                   0xFFFF0000, 0x00FFFFFF, 0xFF0000FF, 0xFF0000FF};
  std::vector<Pixel> small(2 * 2, 0);
  DrawThumbnail(PixelView{small.data(), 2, 2, 2}, 0, 0, 2, PixelView{wide, 4, 2, 4}, kGround);
  EXPECT_EQ(small[0], 0x800040u);  // red at alpha 128 over the ground
  EXPECT_EQ(small[1], 0x0000FFu);
  EXPECT_EQ(small[2], 0u);  // the row below the 2 x 1 result is left alone
}

}  // namespace
}  // namespace glyph
