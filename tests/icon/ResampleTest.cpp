#include "icon/Resample.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace glyph::icon {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

RgbaImage Make(int width, int height, const std::function<Rgba(int, int)>& at) {
  RgbaImage image{width, height, {}};
  image.pixels.reserve(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgba p = at(x, y);
      image.pixels.insert(image.pixels.end(), p.begin(), p.end());
    }
  }
  return image;
}

Rgba At(const RgbaImage& image, int x, int y) {
  const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

struct SizeCase {
  int inW, inH, outW, outH;
};

// Shrinks past the pre-pass, small shrinks, enlargements, 1 x 1 and thin strips.
constexpr SizeCase kSizes[] = {
    {256, 256, 16, 16}, {300, 200, 48, 20}, {40, 40, 32, 32}, {1, 1, 256, 256}, {1, 1, 1, 1},
    {1000, 1, 16, 16},  {1, 700, 24, 3},    {3, 2, 256, 5},   {17, 9, 1, 1},    {16, 16, 16, 16},
};

TEST(Resample, FlatPicturesStayExactlyFlatAtEverySize) {
  constexpr Rgba kColours[] = {{12, 200, 77, 255}, {255, 255, 255, 1}, {3, 250, 128, 129}, {90, 90, 90, 0}};
  for (const SizeCase& s : kSizes) {
    for (const Rgba& colour : kColours) {
      const RgbaImage in = Make(s.inW, s.inH, [&](int, int) { return colour; });
      for (ResampleMode mode : {ResampleMode::kQuality, ResampleMode::kSharp}) {
        const auto out = Resample(in, s.outW, s.outH, mode);
        ASSERT_TRUE(out) << s.inW << "x" << s.inH;
        ASSERT_EQ(out->width, s.outW);
        ASSERT_EQ(out->height, s.outH);
        ASSERT_EQ(out->pixels.size(), static_cast<std::size_t>(s.outW) * s.outH * 4);
        // Fully transparent comes out transparent; in quality mode as transparent black.
        const Rgba want = colour[3] == 0 && mode == ResampleMode::kQuality ? Rgba{} : colour;
        for (int y = 0; y < s.outH; ++y) {
          for (int x = 0; x < s.outW; ++x) {
            ASSERT_EQ(At(*out, x, y), want) << s.inW << "x" << s.inH << " -> " << s.outW << "x" << s.outH
                                            << " at " << x << "," << y << " mode " << static_cast<int>(mode);
          }
        }
      }
    }
  }
}

// An opaque white disc on transparent black: filtering straight RGBA would
// darken its rim with the black of the ground.
TEST(Resample, ShrunkDiscHasNoDarkFringe) {
  const RgbaImage disc = Make(256, 256, [](int x, int y) {
    const int dx = 2 * x + 1 - 256, dy = 2 * y + 1 - 256;
    return dx * dx + dy * dy <= 200 * 200 ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 0};
  });
  const auto out = Resample(disc, 16, 16, ResampleMode::kQuality);
  ASSERT_TRUE(out);
  int rim = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const Rgba p = At(*out, x, y);
      if (p[3] == 0) continue;
      rim += p[3] < 255;
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], 255, 1) << x << "," << y;
    }
  }
  EXPECT_GT(rim, 8);  // the check above saw the partly transparent edge
}

// Output pixel centres sit over input pixel centres: a ramp shrinks to a
// ramp symmetric about the middle, with no half-pixel shift either way.
TEST(Resample, ShrunkRampStaysCentred) {
  for (const SizeCase& s : {SizeCase{1024, 4, 16, 1}, SizeCase{200, 3, 48, 2}, SizeCase{7, 1, 40, 1}}) {
    const RgbaImage ramp = Make(s.inW, s.inH, [&](int x, int) {
      const auto v = static_cast<std::uint8_t>((2 * x + 1) * 255 / (2 * s.inW));
      return Rgba{v, 0, static_cast<std::uint8_t>(255 - v), 255};
    });
    const auto out = Resample(ramp, s.outW, s.outH, ResampleMode::kQuality);
    ASSERT_TRUE(out);
    for (int x = 0; x < s.outW; ++x) {
      const Rgba left = At(*out, x, 0), right = At(*out, s.outW - 1 - x, 0);
      EXPECT_NEAR(left[0] + right[0], 255, 2) << s.inW << " -> " << s.outW << " at " << x;
      EXPECT_NEAR(left[0], right[2], 1) << s.inW << " -> " << s.outW << " at " << x;
      if (x > 0) {
        EXPECT_GE(left[0], At(*out, x - 1, 0)[0]);
      }
    }
  }
}

TEST(Resample, SharpRepeatsOrPicksWholePixels) {
  const RgbaImage art = Make(16, 16, [](int x, int y) {
    return Rgba{static_cast<std::uint8_t>(x * 16), static_cast<std::uint8_t>(y * 16),
                static_cast<std::uint8_t>((x ^ y) & 1 ? 255 : 0), static_cast<std::uint8_t>(x * 17)};
  });
  struct Case {
    int outW, outH;
    int (*sourceX)(int), (*sourceY)(int);
  };
  const Case cases[] = {
      {32, 32, [](int x) { return x / 2; }, [](int y) { return y / 2; }},
      {48, 16, [](int x) { return x / 3; }, [](int y) { return y; }},
      {8, 4, [](int x) { return 2 * x + 1; }, [](int y) { return 4 * y + 2; }},
      {1, 1, [](int) { return 8; }, [](int) { return 8; }},
  };
  for (const Case& c : cases) {
    const auto out = Resample(art, c.outW, c.outH, ResampleMode::kSharp);
    ASSERT_TRUE(out);
    for (int y = 0; y < c.outH; ++y) {
      for (int x = 0; x < c.outW; ++x) {
        ASSERT_EQ(At(*out, x, y), At(art, c.sourceX(x), c.sourceY(y)))
            << c.outW << "x" << c.outH << " at " << x << "," << y;
      }
    }
  }
}

TEST(Resample, RefusesWhatItCannotMake) {
  const RgbaImage good = Make(4, 4, [](int, int) { return Rgba{1, 2, 3, 4}; });
  RgbaImage shortPixels = good;
  shortPixels.pixels.pop_back();
  const RgbaImage wide{kMaxResampleInputSide + 1, 1,
                       std::vector<std::uint8_t>((kMaxResampleInputSide + 1) * 4)};
  const RgbaImage empty{0, 0, {}};
  struct Case {
    const RgbaImage* in;
    int width, height;
  };
  const Case cases[] = {{&good, 0, 16},         {&good, 16, 0},  {&good, 257, 16}, {&good, 16, -3},
                        {&shortPixels, 16, 16}, {&wide, 16, 16}, {&empty, 16, 16}};
  for (const Case& c : cases) {
    for (ResampleMode mode : {ResampleMode::kQuality, ResampleMode::kSharp}) {
      EXPECT_FALSE(Resample(*c.in, c.width, c.height, mode))
          << c.in->width << "x" << c.in->height << " -> " << c.width << "x" << c.height;
    }
  }
}

// The shared reduction takes the box steps in two: its sizes may differ
// from separate resampling by rounding, never by more; a size it cannot
// take refuses the whole call.
TEST(Resample, SharedReductionMatchesSeparateResampling) {
  const RgbaImage picture = Make(600, 420, [](int x, int y) {
    const bool inside = (x - 300) * (x - 300) + (y - 210) * (y - 210) < 180 * 180;
    return Rgba{static_cast<std::uint8_t>(x * 255 / 600), static_cast<std::uint8_t>(y * 255 / 420), 90,
                static_cast<std::uint8_t>(inside ? 255 : 40)};
  });
  const std::vector<PictureSize> sizes{{64, 48}, {16, 16}, {33, 7}};
  const auto shared = ResampleShrinks(picture, sizes);
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    const auto alone = Resample(picture, sizes[i].width, sizes[i].height, ResampleMode::kQuality);
    ASSERT_TRUE(shared[i] && alone);
    int worst = 0;
    for (std::size_t k = 0; k < alone->pixels.size(); ++k) {
      worst = std::max(worst, std::abs(shared[i]->pixels[k] - alone->pixels[k]));
    }
    EXPECT_LE(worst, 2) << sizes[i].width << "x" << sizes[i].height;
  }
  EXPECT_FALSE(ResampleShrinks(picture, {{16, 16}, {101, 16}})[0]);
}

}  // namespace
}  // namespace glyph::icon
