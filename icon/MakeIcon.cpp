#include "icon/MakeIcon.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

namespace glyph::icon {
namespace {

constexpr int kChannels = 4;
// Enough to keep a desktop's cores busy with eight sizes; more only costs.
constexpr size_t kMaxThreads = 4;

bool ValidBits(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

bool IsExactly(const RgbaImage& image, int side) { return image.width == side && image.height == side; }

const RgbaImage* Largest(const std::vector<RgbaImage>& inputs) {
  const RgbaImage* best = nullptr;
  for (const RgbaImage& image : inputs) {
    const int side = std::max(image.width, image.height);
    const long long area = static_cast<long long>(image.width) * image.height;
    if (!best) {
      best = &image;
      continue;
    }
    const int bestSide = std::max(best->width, best->height);
    const long long bestArea = static_cast<long long>(best->width) * best->height;
    if (side > bestSide || (side == bestSide && area > bestArea)) best = &image;
  }
  return best;
}

// The size of the picture fitted into a side x side square: its longer
// side becomes the square's, the shorter one in proportion, rounded to
// nearest and never below one pixel.
PictureSize FitSize(const RgbaImage& in, int side) {
  const bool wide = in.width >= in.height;
  const long long longer = wide ? in.width : in.height;
  const long long shorter = wide ? in.height : in.width;
  const int fitted = static_cast<int>(std::max<long long>(1, (shorter * side + longer / 2) / longer));
  return wide ? PictureSize{side, fitted} : PictureSize{fitted, side};
}

// A fitted picture centred on a transparent side x side square.
std::optional<RgbaImage> Centre(std::optional<RgbaImage> scaled, int side) {
  if (!scaled || (scaled->width == side && scaled->height == side)) return scaled;
  RgbaImage square{side, side,
                   std::vector<std::uint8_t>(static_cast<std::size_t>(side) * side * kChannels, 0)};
  const int left = (side - scaled->width) / 2;
  const int top = (side - scaled->height) / 2;
  const std::size_t rowBytes = static_cast<std::size_t>(scaled->width) * kChannels;
  for (int y = 0; y < scaled->height; ++y) {
    std::memcpy(&square.pixels[(static_cast<std::size_t>(top + y) * side + left) * kChannels],
                &scaled->pixels[static_cast<std::size_t>(y) * rowBytes], rowBytes);
  }
  return square;
}

// Runs job(0) .. job(count - 1) on up to kMaxThreads threads (the calling
// one among them), each job once.
void RunJobs(size_t count, const std::function<void(size_t)>& job) {
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t j; (j = next.fetch_add(1)) < count;) job(j);
  };
  const size_t threads =
      std::min<size_t>({count, kMaxThreads, std::max(1u, std::thread::hardware_concurrency())});
  std::vector<std::thread> helpers;
  for (size_t t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

bool MakeDocument(const std::vector<RgbaImage>& inputs, const MakeOptions& options, IconDocument& out,
                  std::string& why) {
  if (inputs.empty()) {
    why = "no picture to make the icon from.";
    return false;
  }
  if (options.sizes.empty()) {
    why = "no size to make.";
    return false;
  }
  for (int side : options.sizes) {
    if (side < 1 || side > kMaxIconSide) {
      why = "size " + std::to_string(side) + " is out of range (1 to " + std::to_string(kMaxIconSide) + ").";
      return false;
    }
  }
  if (!ValidBits(options.bits)) {
    why = std::to_string(options.bits) + " bits per pixel cannot be written (1, 4, 8, 24 or 32).";
    return false;
  }
  const RgbaImage* largest = Largest(inputs);
  IconDocument document;
  std::vector<int> sides;
  for (int side : options.sizes) {
    if (std::find(sides.begin(), sides.end(), side) == sides.end()) sides.push_back(side);
  }
  // Sizes without an input of their own are resampled side by side, each
  // on its own: the result does not depend on how many threads share them.
  std::vector<std::optional<RgbaImage>> fitted(sides.size());
  std::vector<size_t> jobs;
  for (size_t i = 0; i < sides.size(); ++i) {
    const auto exact = std::find_if(inputs.begin(), inputs.end(),
                                    [&](const RgbaImage& in) { return IsExactly(in, sides[i]); });
    if (exact != inputs.end()) {
      fitted[i] = *exact;
    } else {
      jobs.push_back(i);
    }
  }
  // Small sizes of a large picture share one reduction of it (one pass over
  // the picture instead of one each) and make one job; every other size is
  // a job of its own, the largest first since they cost the most.
  std::vector<size_t> shared;
  std::vector<size_t> own;
  for (size_t i : jobs) {
    const PictureSize size = FitSize(*largest, sides[i]);
    const bool small =
        options.mode == ResampleMode::kQuality && SharesReduction(*largest, size.width, size.height);
    (small ? shared : own).push_back(i);
  }
  std::sort(own.begin(), own.end(), [&](size_t a, size_t b) { return sides[a] > sides[b]; });
  const auto resampleShared = [&] {
    std::vector<PictureSize> sizes;
    for (size_t i : shared) sizes.push_back(FitSize(*largest, sides[i]));
    std::vector<std::optional<RgbaImage>> made = ResampleShrinks(*largest, sizes);
    for (size_t k = 0; k < shared.size(); ++k)
      fitted[shared[k]] = Centre(std::move(made[k]), sides[shared[k]]);
  };
  const size_t count = own.size() + (shared.empty() ? 0 : 1);
  RunJobs(count, [&](size_t j) {
    if (j == own.size()) return resampleShared();
    const PictureSize size = FitSize(*largest, sides[own[j]]);
    fitted[own[j]] = Centre(Resample(*largest, size.width, size.height, options.mode), sides[own[j]]);
  });
  for (size_t i = 0; i < sides.size(); ++i) {
    if (!fitted[i]) {
      why = "the picture of " + std::to_string(largest->width) + " x " + std::to_string(largest->height) +
            " pixels cannot be resampled.";
      return false;
    }
    IconDocumentImage image;
    image.pixels = std::move(*fitted[i]);
    const bool png = sides[i] >= options.pngFrom;
    image.storage = png ? IconStorage::kPng : IconStorage::kBmp;
    image.bits = png ? 32 : options.bits;
    document.images.push_back(std::move(image));
  }
  out = std::move(document);
  return true;
}

}  // namespace glyph::icon
