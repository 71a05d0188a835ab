#include "icon/IconPalette.h"

#include <algorithm>
#include <cstddef>
#include <map>

namespace glyph::icon {

const std::array<std::uint32_t, 16> kStandardColours = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};
const std::array<std::uint32_t, 2> kMonochromeColours = {0x000000, 0xFFFFFF};

namespace {

struct ColourCount {
  std::uint32_t rgb;
  std::uint64_t count;
};

// Channel 0 is red, 1 green, 2 blue.
int Channel(std::uint32_t rgb, int channel) { return static_cast<int>((rgb >> (16 - 8 * channel)) & 0xFF); }

// A run of the colour list, and how it would be split.
struct Box {
  std::size_t begin = 0, end = 0;
  int channel = 0;  // the widest
  int range = 0;    // max - min on that channel; 0 when it cannot be split
};

Box Measure(const std::vector<ColourCount>& colours, std::size_t begin, std::size_t end) {
  Box box{begin, end, 0, 0};
  for (int c = 0; c < 3; ++c) {
    int lo = 255, hi = 0;
    for (std::size_t i = begin; i < end; ++i) {
      lo = std::min(lo, Channel(colours[i].rgb, c));
      hi = std::max(hi, Channel(colours[i].rgb, c));
    }
    if (hi - lo > box.range) {
      box.range = hi - lo;
      box.channel = c;
    }
  }
  return box;
}

std::uint32_t MeanColour(const std::vector<ColourCount>& colours, const Box& box) {
  std::uint64_t sum[3] = {}, total = 0;
  for (std::size_t i = box.begin; i < box.end; ++i) {
    for (int c = 0; c < 3; ++c)
      sum[c] += colours[i].count * static_cast<std::uint64_t>(Channel(colours[i].rgb, c));
    total += colours[i].count;
  }
  std::uint32_t rgb = 0;
  for (int c = 0; c < 3; ++c) rgb = rgb << 8 | static_cast<std::uint32_t>((sum[c] + total / 2) / total);
  return rgb;
}

std::vector<std::uint32_t> MedianCut(std::vector<ColourCount> colours, int boxes) {
  std::vector<Box> list = {Measure(colours, 0, colours.size())};
  while (static_cast<int>(list.size()) < boxes) {
    std::size_t widest = 0;
    for (std::size_t b = 1; b < list.size(); ++b) {
      if (list[b].range > list[widest].range) widest = b;
    }
    const Box box = list[widest];
    if (box.range == 0) break;  // every box is one colour
    const int c = box.channel;
    std::sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
              colours.begin() + static_cast<std::ptrdiff_t>(box.end),
              [c](const ColourCount& a, const ColourCount& b) {
                const int ca = Channel(a.rgb, c), cb = Channel(b.rgb, c);
                return ca != cb ? ca < cb : a.rgb < b.rgb;
              });
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) total += colours[i].count;
    // The first colour that brings the run to half its pixels ends the
    // lower box; both boxes keep at least one colour.
    std::uint64_t run = 0;
    std::size_t split = box.begin + 1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
      run += colours[i].count;
      split = i + 1;
      if (2 * run >= total) break;
    }
    list[widest] = Measure(colours, box.begin, split);
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(widest) + 1, Measure(colours, split, box.end));
  }
  std::vector<std::uint32_t> palette;
  for (const Box& box : list) palette.push_back(MeanColour(colours, box));
  return palette;
}

}  // namespace

std::vector<std::uint32_t> AdaptivePalette(const RgbaImage& image, int maxColours) {
  std::map<std::uint32_t, std::uint64_t> histogram;
  bool transparent = false;
  for (std::size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
    const std::uint8_t* p = &image.pixels[i];
    if (p[3] < kMaskAlphaThreshold) {
      transparent = true;
      continue;
    }
    ++histogram[static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2]];
  }
  const bool addBlack = transparent && !histogram.contains(kBlack);
  std::vector<std::uint32_t> palette;
  if (histogram.size() + (addBlack ? 1 : 0) <= static_cast<std::size_t>(maxColours)) {
    if (addBlack) palette.push_back(kBlack);
    for (const auto& [rgb, count] : histogram) palette.push_back(rgb);
  } else {
    std::vector<ColourCount> colours;
    for (const auto& [rgb, count] : histogram) colours.push_back({rgb, count});
    palette = MedianCut(std::move(colours), transparent ? maxColours - 1 : maxColours);
    if (transparent && std::find(palette.begin(), palette.end(), kBlack) == palette.end()) {
      palette.push_back(kBlack);
    }
  }
  std::sort(palette.begin(), palette.end());
  if (palette.empty()) palette.push_back(kBlack);  // a wholly transparent picture
  return palette;
}

int NearestColour(const std::uint32_t* palette, int count, std::uint32_t rgb) {
  int best = 0;
  int bestDistance = 0;
  for (int i = 0; i < count; ++i) {
    int distance = 0;
    for (int c = 0; c < 3; ++c) {
      const int d = Channel(palette[i], c) - Channel(rgb, c);
      distance += d * d;
    }
    if (i == 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace glyph::icon
