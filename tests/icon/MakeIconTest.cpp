#include "icon/MakeIcon.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace glyph::icon {
namespace {

RgbaImage Picture(int width, int height, std::uint8_t seed) {
  RgbaImage image{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(x * 7 + seed),
                                               static_cast<std::uint8_t>(y * 5), seed, 255});
    }
  }
  return image;
}

TEST(MakeDocument, TakesExactInputsAndResamplesTheLargestForTheRest) {
  const RgbaImage large = Picture(64, 64, 1);
  const RgbaImage hand16 = Picture(16, 16, 200);
  MakeOptions options;
  options.sizes = {16, 32, 256, 16};
  options.pngFrom = 256;
  options.bits = 8;
  IconDocument document;
  std::string why;
  ASSERT_TRUE(MakeDocument({hand16, large}, options, document, why)) << why;
  ASSERT_EQ(document.images.size(), 3u);  // the second 16 is dropped
  EXPECT_EQ(document.images[0].pixels.pixels, hand16.pixels);
  EXPECT_EQ(document.images[1].pixels.pixels, Resample(large, 32, 32, ResampleMode::kQuality)->pixels);
  EXPECT_EQ(document.images[2].pixels.width, 256);
  EXPECT_EQ(document.images[0].storage, IconStorage::kBmp);
  EXPECT_EQ(document.images[0].bits, 8);
  EXPECT_EQ(document.images[2].storage, IconStorage::kPng);
  EXPECT_EQ(document.images[2].bits, 32);
}

TEST(MakeDocument, FitsAWidePictureCentredOnTransparentGround) {
  MakeOptions options;
  options.sizes = {32};
  options.mode = ResampleMode::kSharp;
  IconDocument document;
  std::string why;
  ASSERT_TRUE(MakeDocument({Picture(100, 50, 9)}, options, document, why)) << why;
  const RgbaImage& image = document.images[0].pixels;
  ASSERT_EQ(image.width, 32);
  ASSERT_EQ(image.height, 32);
  for (int y = 0; y < 32; ++y) {
    const bool inside = y >= 8 && y < 24;
    EXPECT_EQ(image.pixels[(static_cast<std::size_t>(y) * 32 + 5) * 4 + 3], inside ? 255 : 0) << "row " << y;
  }
}

TEST(MakeDocument, RefusesWhatCannotBeAnIcon) {
  struct Case {
    std::vector<int> sizes;
    int bits;
    bool input;
  };
  const Case cases[] = {
      {{0}, 32, true}, {{16, 257}, 32, true}, {{}, 32, true}, {{16}, 16, true}, {{16}, 32, false}};
  for (const Case& c : cases) {
    MakeOptions options;
    options.sizes = c.sizes;
    options.bits = c.bits;
    IconDocument document;
    std::string why;
    const std::vector<RgbaImage> inputs =
        c.input ? std::vector<RgbaImage>{Picture(8, 8, 0)} : std::vector<RgbaImage>{};
    EXPECT_FALSE(MakeDocument(inputs, options, document, why));
    EXPECT_FALSE(why.empty());
  }
}

}  // namespace
}  // namespace glyph::icon
