#include "skin/SkinGeometry.h"

#include <algorithm>
#include <iterator>

namespace glyph::skin {

void ScanOpaqueRuns(const std::uint32_t* pixels, int width, int height, std::size_t stride,
                    std::uint32_t transparent, std::uint32_t tolerance,
                    const std::function<void(int left, int y, int right)>& emit) {
  // Ranges per component, in the pixel layout: red, green, blue.
  int lo[3], hi[3];
  for (int i = 0; i < 3; ++i) {
    lo[i] = static_cast<int>((transparent >> (8 * i)) & 0xFF);
    hi[i] = std::min(255, lo[i] + static_cast<int>((tolerance >> (8 * i)) & 0xFF));
  }
  auto isTransparent = [&](std::uint32_t p) {
    const int r = static_cast<int>((p >> 16) & 0xFF);
    const int g = static_cast<int>((p >> 8) & 0xFF);
    const int b = static_cast<int>(p & 0xFF);
    return r >= lo[0] && r <= hi[0] && g >= lo[1] && g <= hi[1] && b >= lo[2] && b <= hi[2];
  };
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * stride;
    int x = 0;
    while (x < width) {
      while (x < width && isTransparent(row[x])) ++x;
      if (x >= width) break;
      const int x0 = x;
      while (x < width && !isTransparent(row[x])) ++x;
      emit(x0, y, x);
      ++x;  // the transparent pixel that ended the run needs no second look
    }
  }
}

SkinRect ThumbRect(const SliderGeometry& g, int position) {
  const long long range = static_cast<long long>(g.maximum) - g.minimum;
  SkinRect r;
  if (g.horizontal) {
    r.left =
        range == 0
            ? 0
            : static_cast<int>((g.clientWidth - g.thumbWidth) * static_cast<long long>(position) / range);
    r.right = r.left + g.thumbWidth;
    r.bottom = g.thumbHeight;
  } else {
    r.top =
        range == 0
            ? 0
            : static_cast<int>(static_cast<long long>(position) * (g.clientHeight - g.thumbHeight) / range);
    r.bottom = r.top + g.thumbHeight;
    r.right = g.thumbWidth;
  }
  return r;
}

int PositionFromPointer(const SliderGeometry& g, int x, int y) {
  const long long range = static_cast<long long>(g.maximum) - g.minimum;
  if (g.horizontal) {
    const int half = g.thumbWidth / 2;
    const int track = g.clientWidth - g.thumbWidth;
    if (track <= 0) return g.minimum;
    x = std::min(std::max(x, half), g.clientWidth - half);
    return static_cast<int>((x - half) * range / track);
  }
  const int track = g.clientHeight - g.thumbHeight;
  if (track <= 0) return g.minimum;
  return static_cast<int>((y - g.thumbHeight / 2) * range / track);
}

int PercentAt(int offset, int length) {
  if (length <= 0) return 0;
  return static_cast<int>(static_cast<long long>(offset) * 100 / length);
}

std::vector<std::size_t> ReadingOrder(const std::vector<SkinRect>& rects) {
  std::vector<std::size_t> byTop(rects.size());
  for (std::size_t i = 0; i < byTop.size(); ++i) byTop[i] = i;
  std::stable_sort(byTop.begin(), byTop.end(),
                   [&](std::size_t a, std::size_t b) { return rects[a].top < rects[b].top; });
  std::vector<std::size_t> order;
  order.reserve(rects.size());
  std::size_t rowStart = 0;
  auto closeRow = [&](std::size_t end) {
    std::stable_sort(byTop.begin() + static_cast<std::ptrdiff_t>(rowStart),
                     byTop.begin() + static_cast<std::ptrdiff_t>(end), [&](std::size_t a, std::size_t b) {
                       return rects[a].left != rects[b].left ? rects[a].left < rects[b].left
                                                             : rects[a].top < rects[b].top;
                     });
    order.insert(order.end(), byTop.begin() + static_cast<std::ptrdiff_t>(rowStart),
                 byTop.begin() + static_cast<std::ptrdiff_t>(end));
    rowStart = end;
  };
  for (std::size_t i = 0; i < byTop.size(); ++i) {
    const SkinRect& r = rects[byTop[i]];
    if (i > rowStart && (r.top + r.bottom) / 2 >= rects[byTop[rowStart]].bottom) closeRow(i);
  }
  closeRow(byTop.size());
  return order;
}

std::vector<bool> LongestIncreasing(const std::vector<int>& values) {
  // length[i]: the longest run ending at i; before[i]: the entry before it.
  const std::size_t n = values.size();
  std::vector<std::size_t> length(n, 1), before(n, n);
  std::size_t best = n;
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (values[j] < values[i] && length[j] + 1 > length[i]) {
        length[i] = length[j] + 1;
        before[i] = j;
      }
    }
    if (best == n || length[i] > length[best]) best = i;
  }
  std::vector<bool> kept(n, false);
  for (std::size_t i = best; i < n; i = before[i]) kept[i] = true;
  return kept;
}

int ScaleForDpi(int dpi) {
  constexpr int kBaseDpi = 96;
  if (dpi <= 0) return 100;
  return static_cast<int>((static_cast<long long>(dpi) * 100 + kBaseDpi / 2) / kBaseDpi);
}

int ScaleLength(int v, int scale) {
  // Halves round away from zero, so a shape keeps its size on either side of it.
  const long long scaled = static_cast<long long>(v) * scale;
  return static_cast<int>(scaled >= 0 ? (scaled + 50) / 100 : -((-scaled + 50) / 100));
}

SkinRect ScaleRect(const SkinRect& r, int scale) {
  return SkinRect{ScaleLength(r.left, scale), ScaleLength(r.top, scale), ScaleLength(r.right, scale),
                  ScaleLength(r.bottom, scale)};
}

int ArtScaleFor(int scale) {
  for (int art : kArtScales) {
    if (scale <= art) return art;
  }
  return kArtScales[std::size(kArtScales) - 1];
}

std::string ScaledPictureName(const std::string& name, int artScale) {
  if (artScale == 100 || name.empty()) return name;
  std::string suffix = "@" + std::to_string(artScale / 100);
  if (artScale % 100 != 0) suffix += "." + std::to_string(artScale % 100 / 10);
  suffix += "x";
  // The extension is the last dot's, in the last part of a path.
  const std::size_t dot = name.find_last_of('.');
  const std::size_t separator = name.find_last_of("\\/");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

}  // namespace glyph::skin
