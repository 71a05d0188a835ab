// Times the icon resampler shrinking a 1024 x 1024 RGBA picture to each
// size an icon holds, and converts raw RGBA files for the comparison with
// Pillow (resample_pillow.py).
//
//   resample_bench                      time every size, both modes
//   resample_bench convert IN W H OUT OW OH [quality|sharp|catmullrom|lanczos-nobox|catmullrom-nobox|box2]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "icon/Resample.h"
#include "tests/common/Xorshift.h"

namespace {

using glyph::icon::QualityFilter;
using glyph::icon::ResampleKernel;
using glyph::icon::ResampleMode;
using glyph::icon::RgbaImage;

constexpr int kSide = 1024;
constexpr int kSizes[] = {256, 64, 48, 40, 32, 24, 20, 16};
constexpr int kRuns = 9;

std::optional<RgbaImage> Run(const RgbaImage& in, int w, int h, const std::string& how) {
  if (how == "sharp") return glyph::icon::Resample(in, w, h, ResampleMode::kSharp);
  QualityFilter filter;
  if (how == "catmullrom" || how == "catmullrom-nobox") filter.kernel = ResampleKernel::kCatmullRom;
  if (how == "lanczos-nobox" || how == "catmullrom-nobox") filter.prePassRatio = 0;
  if (how == "box2") filter.prePassRatio = 2;
  return glyph::icon::ResampleQuality(in, w, h, filter);
}

int Convert(char** argv, int argc) {
  RgbaImage in{std::atoi(argv[3]), std::atoi(argv[4]), {}};
  std::ifstream file(argv[2], std::ios::binary);
  in.pixels.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  const auto out = Run(in, std::atoi(argv[6]), std::atoi(argv[7]), argc > 8 ? argv[8] : "quality");
  if (!out) return 1;
  std::ofstream dst(argv[5], std::ios::binary);
  dst.write(reinterpret_cast<const char*>(out->pixels.data()),
            static_cast<std::streamsize>(out->pixels.size()));
  return dst ? 0 : 1;
}

// Smooth shading, noise and a hard-edged translucent shape, like a photo
// cut out on a transparent ground.
RgbaImage Picture() {
  RgbaImage image{kSide, kSide, std::vector<std::uint8_t>(kSide * kSide * 4)};
  glyph::test::Xorshift rng{0x1234567};
  std::uint8_t* p = image.pixels.data();
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x, p += 4) {
      const int noise = static_cast<int>(rng.Next() % 32);
      p[0] = static_cast<std::uint8_t>(x / 4 + noise / 2);
      p[1] = static_cast<std::uint8_t>(y / 4);
      p[2] = static_cast<std::uint8_t>(std::min(255, (x + y) / 8 + noise));
      const int dx = x - kSide / 2, dy = y - kSide / 2;
      p[3] = dx * dx + dy * dy < 480 * 480 ? 255 : (x + y) % 256;
    }
  }
  return image;
}

double MedianMs(const RgbaImage& in, int size, const std::string& how) {
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const auto out = Run(in, size, size, how);
    const auto stop = std::chrono::steady_clock::now();
    if (!out) std::abort();
    ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  std::nth_element(ms.begin(), ms.begin() + kRuns / 2, ms.end());
  return ms[kRuns / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 8 && std::string(argv[1]) == "convert") return Convert(argv, argc);
  if (argc != 1) {
    std::fprintf(stderr, "usage: resample_bench [convert IN W H OUT OW OH [MODE]]\n");
    return 2;
  }
  const RgbaImage picture = Picture();
  std::printf("1024x1024 RGBA shrunk, median of %d runs (ms)\n", kRuns);
  std::printf("%6s %10s %12s %10s %8s\n", "size", "quality", "lanczos-nobox", "catmullrom", "sharp");
  double total = 0;
  for (int size : kSizes) {
    const double q = MedianMs(picture, size, "quality");
    total += q;
    std::printf("%6d %10.2f %12.2f %10.2f %8.3f\n", size, q, MedianMs(picture, size, "lanczos-nobox"),
                MedianMs(picture, size, "catmullrom"), MedianMs(picture, size, "sharp"));
  }
  std::printf("all eight sizes, quality: %.2f ms\n", total);
  return 0;
}
