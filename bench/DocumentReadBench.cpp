// Times reading an icon file into a document: the sizes Windows asks for,
// 256 as a PNG entry and 16 to 64 as 32-bit BMP entries with their masks,
// the file built here byte by byte.
//
//   document_read_bench   mean time per read of drawn and of grainy art, and
//                         the shares of the PNG entry and of the BMP entries
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "icon/DocumentReader.h"
#include "icon/PngCodec.h"
#include "tests/common/Xorshift.h"

namespace {

using glyph::icon::RgbaImage;
using Bytes = std::vector<std::uint8_t>;

constexpr int kBmpSizes[] = {16, 20, 24, 32, 40, 48, 64};
constexpr int kPngSize = 256;
constexpr int kRuns = 500;

void Put(Bytes& v, std::uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

// A shaded disc with a soft edge on a transparent ground, as drawn icons
// look; `noise` levels of grain in it, as rendered (photographic) ones have.
RgbaImage Art(int side, int noise) {
  RgbaImage image{side, side, std::vector<std::uint8_t>(static_cast<size_t>(side) * side * 4)};
  glyph::test::Xorshift rng{0x5eed + static_cast<std::uint64_t>(side)};
  std::uint8_t* p = image.pixels.data();
  const double r = side * 0.45, c = (side - 1) / 2.0;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x, p += 4) {
      const int grain = static_cast<int>(rng.Next() % static_cast<std::uint32_t>(noise));
      const double dx = x - c, dy = y - c, d = std::max(0.0, r - std::sqrt(dx * dx + dy * dy));
      p[0] = static_cast<std::uint8_t>(40 + 180 * x / side + grain);
      p[1] = static_cast<std::uint8_t>(90 + 120 * y / side);
      p[2] = static_cast<std::uint8_t>(200 - 100 * (x + y) / (2 * side) + grain);
      p[3] = static_cast<std::uint8_t>(std::min(255.0, d * 128));
    }
  }
  return image;
}

// A 32-bit icon DIB: info header (height doubled), rows bottom-up as BGRA,
// then the mask, set where alpha is 0.
Bytes Dib(const RgbaImage& image) {
  Bytes v;
  Put(v, 40, 4);
  Put(v, static_cast<std::uint32_t>(image.width), 4);
  Put(v, static_cast<std::uint32_t>(image.height * 2), 4);
  Put(v, 1, 2);
  Put(v, 32, 2);
  for (int i = 0; i < 6; ++i) Put(v, 0, 4);
  for (int y = image.height; y-- > 0;) {
    const std::uint8_t* p = image.pixels.data() + static_cast<size_t>(y) * image.width * 4;
    for (int x = 0; x < image.width; ++x, p += 4) v.insert(v.end(), {p[2], p[1], p[0], p[3]});
  }
  const int maskRow = (image.width + 31) / 32 * 4;
  for (int y = image.height; y-- > 0;) {
    Bytes row(static_cast<size_t>(maskRow), 0);
    for (int x = 0; x < image.width; ++x) {
      if (image.pixels[(static_cast<size_t>(y) * image.width + x) * 4 + 3] == 0) {
        row[static_cast<size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    v.insert(v.end(), row.begin(), row.end());
  }
  return v;
}

Bytes IconFile(const std::vector<Bytes>& images, const std::vector<int>& sides) {
  Bytes v;
  Put(v, 0, 2);
  Put(v, 1, 2);
  Put(v, static_cast<std::uint32_t>(images.size()), 2);
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    Put(v, static_cast<std::uint32_t>(sides[i] & 0xFF), 1);  // 256 is written 0
    Put(v, static_cast<std::uint32_t>(sides[i] & 0xFF), 1);
    Put(v, 0, 2);
    Put(v, 1, 2);
    Put(v, 32, 2);
    Put(v, static_cast<std::uint32_t>(images[i].size()), 4);
    Put(v, offset, 4);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const Bytes& image : images) v.insert(v.end(), image.begin(), image.end());
  return v;
}

// Mean wall and processor time of one read, in microseconds; the processor
// time is the figure to trust on a machine busy with other work.
void PrintMean(const char* what, const Bytes& file, size_t expectImages) {
  if (glyph::icon::ReadDocument(file).document.images.size() != expectImages) std::abort();  // and warm up
  const std::clock_t cpuStart = std::clock();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRuns; ++i) {
    if (!glyph::icon::ReadDocument(file).Ok()) std::abort();
  }
  const auto stop = std::chrono::steady_clock::now();
  const double cpu = 1e6 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC / kRuns;
  const double wall = std::chrono::duration<double, std::micro>(stop - start).count() / kRuns;
  std::printf("%-26s %9.1f us wall %9.1f us processor\n", what, wall, cpu);
}

void Measure(const char* art, int noise) {
  std::vector<Bytes> images;
  std::vector<int> sides;
  Bytes png;
  std::string why;
  if (!glyph::icon::EncodePng(Art(kPngSize, noise), png, why)) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(1);
  }
  images.push_back(png);
  sides.push_back(kPngSize);
  for (int side : kBmpSizes) {
    images.push_back(Dib(Art(side, noise)));
    sides.push_back(side);
  }
  const Bytes whole = IconFile(images, sides);
  const Bytes pngOnly = IconFile({png}, {kPngSize});
  const Bytes bmpOnly = IconFile(std::vector<Bytes>(images.begin() + 1, images.end()),
                                 std::vector<int>(sides.begin() + 1, sides.end()));
  std::printf("%s: icon file of %zu bytes (PNG entry %zu bytes), mean of %d reads\n", art, whole.size(),
              png.size(), kRuns);
  PrintMean("256 PNG + 7 BMP entries", whole, images.size());
  PrintMean("256 PNG entry alone", pngOnly, 1);
  PrintMean("7 BMP entries alone", bmpOnly, images.size() - 1);
}

}  // namespace

int main() {
  Measure("drawn art", 1);
  Measure("grainy art", 8);
  return 0;
}
