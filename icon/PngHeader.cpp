#include "icon/PngHeader.h"

#include <algorithm>

namespace glyph::icon {
namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kChunkOverhead = 12;  // length, type, CRC
constexpr std::uint32_t kIhdrLength = 13;
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;  // larger is not PNG
// Deflate cannot expand one byte into more than 1032 (a 258-byte match in
// two one-bit codes); the slack covers tiny images and rounding.
constexpr std::int64_t kMaxInflateRatio = 1032;
constexpr std::int64_t kInflateSlack = 1024;

std::uint32_t Be32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

bool SameType(const std::uint8_t* p, const char* type) { return std::equal(p, p + 4, type); }

// Channels for a valid colour type and depth pair, else 0.
int ChannelsFor(int colorType, int depth) {
  switch (colorType) {
    case 0:
      return (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16) ? 1 : 0;
    case 3:
      return (depth == 1 || depth == 2 || depth == 4 || depth == 8) ? 1 : 0;
    case 2:
      return (depth == 8 || depth == 16) ? 3 : 0;
    case 4:
      return (depth == 8 || depth == 16) ? 2 : 0;
    case 6:
      return (depth == 8 || depth == 16) ? 4 : 0;
    default:
      return 0;
  }
}

// Bytes of IDAT payload actually present in the file.
std::int64_t ImageDataBytes(std::span<const std::uint8_t> bytes) {
  std::int64_t total = 0;
  std::size_t pos = sizeof kSignature;
  while (bytes.size() - pos >= kChunkOverhead) {
    const std::uint32_t length = Be32(&bytes[pos]);
    if (length > kMaxChunkLength) break;
    const std::uint8_t* type = &bytes[pos + 4];
    const std::size_t present = std::min<std::size_t>(length, bytes.size() - pos - 8);
    if (SameType(type, "IDAT")) total += static_cast<std::int64_t>(present);
    if (SameType(type, "IEND") || present < length) break;
    pos += kChunkOverhead + length;
    if (pos > bytes.size()) break;
  }
  return total;
}

}  // namespace

bool PngSizeAllowed(int width, int height, std::string& why) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width < 1 || height < 1) {
    why = "The PNG image size " + size + " is empty.";
    return false;
  }
  if (width > kMaxPngSide || height > kMaxPngSide) {
    why =
        "The PNG image is " + size + " pixels; the largest side read is " + std::to_string(kMaxPngSide) + ".";
    return false;
  }
  if (std::int64_t{width} * height > kMaxPngPixels) {
    why = "The PNG image is " + size + " pixels; at most " + std::to_string(kMaxPngPixels) +
          " pixels are read.";
    return false;
  }
  return true;
}

bool CheckPngHeader(std::span<const std::uint8_t> bytes, PngHeader& header, std::string& why) {
  if (bytes.size() < sizeof kSignature || !std::equal(kSignature, kSignature + 8, bytes.begin())) {
    why = "This is not a PNG file (no PNG signature).";
    return false;
  }
  const std::size_t ihdr = sizeof kSignature;
  if (bytes.size() < ihdr + kChunkOverhead + kIhdrLength || Be32(&bytes[ihdr]) != kIhdrLength ||
      !SameType(&bytes[ihdr + 4], "IHDR")) {
    why = "The PNG file has no complete image header.";
    return false;
  }
  const std::uint8_t* field = &bytes[ihdr + 8];
  const std::uint32_t width = Be32(field);
  const std::uint32_t height = Be32(field + 4);
  // Before the sides become int: a 32-bit field can exceed its range.
  if (width > kMaxPngSide || height > kMaxPngSide) {
    why = "The PNG image is " + std::to_string(width) + " x " + std::to_string(height) +
          " pixels; the largest side read is " + std::to_string(kMaxPngSide) + ".";
    return false;
  }
  header.width = static_cast<int>(width);
  header.height = static_cast<int>(height);
  header.bitDepth = field[8];
  header.colorType = field[9];
  header.interlaced = field[12] == 1;
  if (!PngSizeAllowed(header.width, header.height, why)) return false;
  const int channels = ChannelsFor(header.colorType, header.bitDepth);
  if (channels == 0 || field[10] != 0 || field[11] != 0 || field[12] > 1) {
    why = "The PNG image header is invalid (colour type " + std::to_string(header.colorType) +
          ", bit depth " + std::to_string(header.bitDepth) + ").";
    return false;
  }
  // Every row holds at least its samples, whatever the interlacing.
  const std::int64_t leastRaw = std::int64_t{header.width} * header.height * channels * header.bitDepth / 8;
  const std::int64_t imageData = ImageDataBytes(bytes);
  if (imageData == 0 || leastRaw > imageData * kMaxInflateRatio + kInflateSlack) {
    why = "The PNG file holds too little image data for " + std::to_string(width) + " x " +
          std::to_string(height) + " pixels (cut short or damaged).";
    return false;
  }
  return true;
}

}  // namespace glyph::icon
