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

// The picture resampled to fit a side x side square, centred on
// transparent ground.
std::optional<RgbaImage> Fit(const RgbaImage& in, int side, ResampleMode mode) {
  const bool wide = in.width >= in.height;
  const long long longer = wide ? in.width : in.height;
  const long long shorter = wide ? in.height : in.width;
  // Rounded to nearest, never below one pixel.
  const int fitted = static_cast<int>(std::max<long long>(1, (shorter * side + longer / 2) / longer));
  const int width = wide ? side : fitted;
  const int height = wide ? fitted : side;
  std::optional<RgbaImage> scaled = Resample(in, width, height, mode);
  if (!scaled || (width == side && height == side)) return scaled;
  RgbaImage square{side, side,
                   std::vector<std::uint8_t>(static_cast<std::size_t>(side) * side * kChannels, 0)};
  const int left = (side - width) / 2;
  const int top = (side - height) / 2;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * kChannels;
  for (int y = 0; y < height; ++y) {
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
  // The largest sizes cost the most: start them first.
  std::sort(jobs.begin(), jobs.end(), [&](size_t a, size_t b) { return sides[a] > sides[b]; });
  RunJobs(jobs.size(), [&](size_t j) { fitted[jobs[j]] = Fit(*largest, sides[jobs[j]], options.mode); });
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
