// Any small picture to any icon size in either mode. The input's first five
// bytes give its width and height (1..64), the target width and height
// (1..256) and the mode; the rest, repeated, are its pixels. The output must
// have the asked size, and keep what the resampler promises: a flat colour
// stays exactly flat, transparent stays transparent, a single colour over a
// varying alpha keeps its colour (premultiplied filtering, no fringe), and
// sharp mode only ever copies input pixels. Sizes that share a reduction
// are also made that way.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "icon/Resample.h"

namespace {

using glyph::icon::ResampleMode;
using glyph::icon::RgbaImage;

constexpr size_t kHeader = 5;
constexpr int kMaxInputSide = 64;

void Check(bool ok) {
  if (!ok) std::abort();
}

uint32_t Packed(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeader) return 0;
  RgbaImage in{data[0] % kMaxInputSide + 1, data[1] % kMaxInputSide + 1, {}};
  const int width = data[2] + 1, height = data[3] + 1;
  const ResampleMode mode = data[4] & 1 ? ResampleMode::kSharp : ResampleMode::kQuality;
  const size_t count = static_cast<size_t>(in.width) * in.height * 4;
  const size_t body = size - kHeader;
  in.pixels.resize(count, 0);
  for (size_t i = 0; body > 0 && i < count; ++i) in.pixels[i] = data[kHeader + i % body];

  const auto out = glyph::icon::Resample(in, width, height, mode);
  Check(out && out->width == width && out->height == height &&
        out->pixels.size() == static_cast<size_t>(width) * height * 4);

  // What every input pixel with some alpha shares.
  bool flat = true, oneColour = true, transparent = true;
  const uint8_t* first = in.pixels.data();
  const uint8_t* firstVisible = nullptr;
  for (size_t i = 0; i < count; i += 4) {
    const uint8_t* p = &in.pixels[i];
    flat = flat && std::equal(p, p + 4, first);
    if (p[3] == 0) continue;
    transparent = false;
    if (!firstVisible) firstVisible = p;
    oneColour = oneColour && std::equal(p, p + 3, firstVisible);
  }

  std::vector<uint32_t> inputPixels(count / 4);
  for (size_t i = 0; i < count; i += 4) inputPixels[i / 4] = Packed(&in.pixels[i]);
  std::sort(inputPixels.begin(), inputPixels.end());

  for (size_t i = 0; i < out->pixels.size(); i += 4) {
    const uint8_t* q = &out->pixels[i];
    if (mode == ResampleMode::kSharp) {
      Check(std::binary_search(inputPixels.begin(), inputPixels.end(), Packed(q)));
      continue;
    }
    if (transparent) Check(q[3] == 0);
    if (flat && first[3] != 0) Check(std::equal(q, q + 4, first));
    if (oneColour && firstVisible && q[3] != 0) {
      for (int k = 0; k < 3; ++k) Check(std::abs(q[k] - firstVisible[k]) <= 1);
    }
  }
  // A size small enough to share a reduction comes out the same size and,
  // from a flat picture, just as flat.
  const int small = std::max(1, std::min(width, in.width / glyph::icon::kSharedShrink));
  const int smallHigh = std::max(1, std::min(height, in.height / glyph::icon::kSharedShrink));
  if (glyph::icon::SharesReduction(in, small, smallHigh)) {
    const auto shared = glyph::icon::ResampleShrinks(in, {{small, smallHigh}, {1, 1}});
    Check(shared.size() == 2 && shared[0] && shared[0]->width == small && shared[0]->height == smallHigh);
    if (flat && first[3] != 0) {
      for (size_t i = 0; i < shared[0]->pixels.size(); i += 4)
        Check(std::equal(&shared[0]->pixels[i], &shared[0]->pixels[i] + 4, first));
    }
  }
  return 0;
}
