#include "icon/IcoWriter.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <unordered_map>

#include "core/BmpFormat.h"
#include "icon/IconPalette.h"
#include "icon/PngCodec.h"

namespace glyph::icon {
namespace {

// The icon file's own fields.
constexpr std::uint16_t kIconFileType = 1;
constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kIconDirEntrySize = 16;
constexpr std::uint64_t kMaxIconFileBytes = std::numeric_limits<std::uint32_t>::max();

std::size_t RowBytes(int width, int bits) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
}

bool CheckImage(const IconDocumentImage& image, std::size_t index, std::string& why) {
  const RgbaImage& pixels = image.pixels;
  const std::string which = "Image " + std::to_string(index + 1);
  if (pixels.width < 1 || pixels.width > kMaxIconSide || pixels.height < 1 || pixels.height > kMaxIconSide) {
    why = which + " is " + std::to_string(pixels.width) + " x " + std::to_string(pixels.height) +
          " pixels; an icon image is 1 to " + std::to_string(kMaxIconSide) + " pixels a side.";
    return false;
  }
  if (pixels.pixels.size() != static_cast<std::size_t>(pixels.width) * pixels.height * 4) {
    why = which + " holds " + std::to_string(pixels.pixels.size()) + " bytes of pixels, not the " +
          std::to_string(pixels.width * pixels.height * 4) + " its size needs.";
    return false;
  }
  if (image.storage == IconStorage::kBmp && image.bits != 1 && image.bits != 4 && image.bits != 8 &&
      image.bits != 24 && image.bits != 32) {
    why = which + " has " + std::to_string(image.bits) +
          " bits per pixel; a BMP icon image has 1, 4, 8, 24 or 32.";
    return false;
  }
  return true;
}

// The colour table of a palette image, and each pixel's entry.
struct PaletteImage {
  std::vector<std::uint32_t> table;  // 1 << bits entries
  std::vector<std::uint8_t> index;   // one per pixel, top-down
};

PaletteImage MapToPalette(const RgbaImage& image, int bits) {
  std::vector<std::uint32_t> colours;
  if (bits == 1) {
    colours.assign(kMonochromeColours.begin(), kMonochromeColours.end());
  } else if (bits == 4) {
    colours.assign(kStandardColours.begin(), kStandardColours.end());
  } else {
    colours = AdaptivePalette(image, 256);
  }
  const int count = static_cast<int>(colours.size());
  const int black = NearestColour(colours.data(), count, kBlack);
  PaletteImage out;
  std::unordered_map<std::uint32_t, std::uint8_t> known;
  out.index.reserve(image.pixels.size() / 4);
  for (std::size_t i = 0; i < image.pixels.size(); i += 4) {
    const std::uint8_t* p = &image.pixels[i];
    if (p[3] < kMaskAlphaThreshold) {
      out.index.push_back(static_cast<std::uint8_t>(black));
      continue;
    }
    const std::uint32_t rgb = static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
    auto [at, added] = known.try_emplace(rgb, 0);
    if (added) at->second = static_cast<std::uint8_t>(NearestColour(colours.data(), count, rgb));
    out.index.push_back(at->second);
  }
  colours.resize(std::size_t{1} << bits, kBlack);
  out.table = std::move(colours);
  return out;
}

std::size_t BmpImageBytes(const IconDocumentImage& image) {
  const int w = image.pixels.width, h = image.pixels.height;
  const std::size_t table = image.bits <= 8 ? (std::size_t{4} << image.bits) : 0;
  return kBmpInfoHeaderSize + table +
         (RowBytes(w, image.bits) + RowBytes(w, 1)) * static_cast<std::size_t>(h);
}

// Writes the BMP form of `image` at `out`, which has BmpImageBytes of room.
void WriteBmpImage(const IconDocumentImage& image, std::uint8_t* out) {
  const RgbaImage& pixels = image.pixels;
  const int w = pixels.width, h = pixels.height, bits = image.bits;
  const std::size_t xorRow = RowBytes(w, bits), andRow = RowBytes(w, 1);
  std::fill(out, out + BmpImageBytes(image), std::uint8_t{0});
  StoreU32(out, kBmpInfoHeaderSize);
  StoreU32(out + 4, static_cast<std::uint32_t>(w));
  StoreU32(out + 8, static_cast<std::uint32_t>(2 * h));
  StoreU16(out + 12, 1);
  StoreU16(out + 14, static_cast<std::uint16_t>(bits));
  StoreU32(out + 20, static_cast<std::uint32_t>((xorRow + andRow) * static_cast<std::size_t>(h)));
  std::uint8_t* at = out + kBmpInfoHeaderSize;

  PaletteImage palette;
  if (bits <= 8) {
    palette = MapToPalette(pixels, bits);
    for (std::uint32_t rgb : palette.table) {
      at[0] = static_cast<std::uint8_t>(rgb);
      at[1] = static_cast<std::uint8_t>(rgb >> 8);
      at[2] = static_cast<std::uint8_t>(rgb >> 16);
      at += 4;
    }
  }
  std::uint8_t* colourPlane = at;
  std::uint8_t* maskPlane = at + xorRow * static_cast<std::size_t>(h);
  for (int y = 0; y < h; ++y) {
    const std::size_t fileRow = static_cast<std::size_t>(h - 1 - y);  // bottom-up
    std::uint8_t* colour = colourPlane + fileRow * xorRow;
    std::uint8_t* mask = maskPlane + fileRow * andRow;
    for (int x = 0; x < w; ++x) {
      const std::size_t n =
          static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
      const std::uint8_t* p = &pixels.pixels[4 * n];
      const bool masked = p[3] < kMaskAlphaThreshold;
      if (masked) mask[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      switch (bits) {
        case 1:
          colour[x / 8] |= static_cast<std::uint8_t>(palette.index[n] << (7 - x % 8));
          break;
        case 4:
          colour[x / 2] |= static_cast<std::uint8_t>(palette.index[n] << (x % 2 ? 0 : 4));
          break;
        case 8:
          colour[x] = palette.index[n];
          break;
        case 24:
          if (masked) break;  // black
          colour[3 * x] = p[2];
          colour[3 * x + 1] = p[1];
          colour[3 * x + 2] = p[0];
          break;
        default:                 // 32
          if (p[3] == 0) break;  // nothing to show: all four bytes 0
          colour[4 * x] = p[2];
          colour[4 * x + 1] = p[1];
          colour[4 * x + 2] = p[0];
          colour[4 * x + 3] = p[3];
          break;
      }
    }
  }
}

std::uint8_t DirectorySide(int side) { return static_cast<std::uint8_t>(side == kMaxIconSide ? 0 : side); }

std::uint8_t DirectoryColourCount(const IconDocumentImage& image) {
  if (image.storage == IconStorage::kPng || image.bits >= 8) return 0;
  return static_cast<std::uint8_t>(1 << image.bits);
}

int EntryBits(const IconDocumentImage& image) { return image.storage == IconStorage::kPng ? 32 : image.bits; }

}  // namespace

bool WriteIcoFile(const IconDocument& document, std::vector<std::uint8_t>& out, std::string& why) {
  const std::vector<IconDocumentImage>& images = document.images;
  if (images.empty()) {
    why = "The icon has no images.";
    return false;
  }
  if (images.size() > kMaxIconFileImages) {
    why = "The icon has " + std::to_string(images.size()) + " images; an icon file holds at most " +
          std::to_string(kMaxIconFileImages) + ".";
    return false;
  }
  for (std::size_t i = 0; i < images.size(); ++i) {
    if (!CheckImage(images[i], i, why)) return false;
  }

  std::vector<std::size_t> order(images.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&images](std::size_t a, std::size_t b) {
    const RgbaImage& pa = images[a].pixels;
    const RgbaImage& pb = images[b].pixels;
    if (pa.width != pb.width) return pa.width > pb.width;
    if (pa.height != pb.height) return pa.height > pb.height;
    return EntryBits(images[a]) > EntryBits(images[b]);
  });

  // PNG streams first, so that every byte count is known before the
  // directory is written.
  std::vector<std::vector<std::uint8_t>> pngs(images.size());
  std::vector<std::size_t> sizes(images.size());
  std::uint64_t total = kIconDirSize + kIconDirEntrySize * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    if (images[i].storage == IconStorage::kPng) {
      std::string codecWhy;
      if (!EncodePng(images[i].pixels, pngs[i], codecWhy)) {
        why = "Image " + std::to_string(i + 1) + " cannot be stored as PNG: " + codecWhy;
        return false;
      }
      sizes[i] = pngs[i].size();
    } else {
      sizes[i] = BmpImageBytes(images[i]);
    }
    total += sizes[i];
  }
  if (total > kMaxIconFileBytes) {
    why = "The icon file would be " + std::to_string(total) + " bytes; an icon file ends within 4 GiB.";
    return false;
  }

  out.assign(static_cast<std::size_t>(total), 0);
  StoreU16(&out[2], kIconFileType);
  StoreU16(&out[4], static_cast<std::uint16_t>(images.size()));
  std::size_t offset = kIconDirSize + kIconDirEntrySize * images.size();
  for (std::size_t e = 0; e < order.size(); ++e) {
    const std::size_t i = order[e];
    const IconDocumentImage& image = images[i];
    std::uint8_t* entry = &out[kIconDirSize + kIconDirEntrySize * e];
    entry[0] = DirectorySide(image.pixels.width);
    entry[1] = DirectorySide(image.pixels.height);
    entry[2] = DirectoryColourCount(image);
    StoreU16(entry + 4, 1);
    StoreU16(entry + 6, static_cast<std::uint16_t>(EntryBits(image)));
    StoreU32(entry + 8, static_cast<std::uint32_t>(sizes[i]));
    StoreU32(entry + 12, static_cast<std::uint32_t>(offset));
    if (image.storage == IconStorage::kPng) {
      std::copy(pngs[i].begin(), pngs[i].end(), out.begin() + static_cast<std::ptrdiff_t>(offset));
    } else {
      WriteBmpImage(image, &out[offset]);
    }
    offset += sizes[i];
  }
  return true;
}

void StoreAsPngFrom(IconDocument& document, int side) {
  for (IconDocumentImage& image : document.images) {
    if (std::max(image.pixels.width, image.pixels.height) >= side) {
      image.storage = IconStorage::kPng;
      image.bits = 32;
    } else {
      image.storage = IconStorage::kBmp;
    }
  }
}

}  // namespace glyph::icon
