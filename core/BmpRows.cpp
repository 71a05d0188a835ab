#include "core/BmpRows.h"

namespace glyph {
namespace {

// The red, green and blue masks follow a 40-byte header or lie at the same
// place inside a longer one; the alpha mask follows them in headers of 56
// bytes or more.
constexpr size_t kMasksOffset = 40;
constexpr size_t kAlphaMaskOffset = 52;
constexpr uint32_t kAlphaMaskHeaderSize = 56;
// 16-bit pixels without bit fields: five bits each of red, green and blue.
constexpr uint32_t kRed555 = 0x7C00, kGreen555 = 0x03E0, kBlue555 = 0x001F;

}  // namespace

BmpRowDecoder::BmpRowDecoder(const BmpInfo& info, const uint8_t* header)
    : width_(info.width), bitCount_(info.bitCount) {
  if (bitCount_ <= 8) {
    // Indices past the colour count are black, whatever follows the table.
    const uint8_t* table = header + info.size;
    const unsigned count = info.ColorCount();
    for (unsigned i = 0; i < count && i < palette_.size(); ++i)
      palette_[i] = LoadU32(table + 4 * i) & 0xFFFFFF;
    return;
  }
  if (info.compression == kBmpCompressionBitfields) {
    fields_ = true;
    red_ = ChannelOf(LoadU32(header + kMasksOffset));
    green_ = ChannelOf(LoadU32(header + kMasksOffset + 4));
    blue_ = ChannelOf(LoadU32(header + kMasksOffset + 8));
    if (info.size >= kAlphaMaskHeaderSize) alpha_ = ChannelOf(LoadU32(header + kAlphaMaskOffset));
  } else if (bitCount_ == 16) {
    fields_ = true;
    red_ = ChannelOf(kRed555);
    green_ = ChannelOf(kGreen555);
    blue_ = ChannelOf(kBlue555);
  }
}

// A mask's lowest run of set bits is the channel; bits above a gap are
// ignored, so any mask a file holds gives a value of 0..255.
BmpRowDecoder::Channel BmpRowDecoder::ChannelOf(uint32_t mask) {
  Channel c;
  if (!mask) return c;
  while (!(mask >> c.shift & 1)) ++c.shift;
  const uint32_t run = mask >> c.shift;
  uint32_t bits = 0;
  while (bits < 32 && (run >> bits & 1)) ++bits;
  c.max = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
  return c;
}

uint8_t BmpRowDecoder::Channel::Of(uint32_t value) const {
  if (!max) return 0;
  return static_cast<uint8_t>(static_cast<uint64_t>((value >> shift) & max) * 255 / max);
}

void BmpRowDecoder::Decode(const uint8_t* row, Pixel* out) const {
  if (bitCount_ <= 8) return DecodeIndices(row, out);
  if (fields_) return DecodeFields(row, out);
  if (bitCount_ == 24) {
    for (int x = 0; x < width_; ++x, row += 3)
      out[x] = row[0] | row[1] << 8 | static_cast<Pixel>(row[2]) << 16;
    return;
  }
  for (int x = 0; x < width_; ++x) out[x] = LoadU32(row + 4 * x);  // 32 bits as they are, alpha included
}

void BmpRowDecoder::DecodeIndices(const uint8_t* row, Pixel* out) const {
  const unsigned valueMask = (1u << bitCount_) - 1;
  for (int x = 0; x < width_; ++x) {
    // The leftmost pixel lies in the highest bits of its byte.
    const size_t bit = static_cast<size_t>(x) * bitCount_;
    const unsigned index = (row[bit / 8] >> (8 - bitCount_ - bit % 8)) & valueMask;
    out[x] = palette_[index];
  }
}

void BmpRowDecoder::DecodeFields(const uint8_t* row, Pixel* out) const {
  const int bytes = bitCount_ / 8;
  for (int x = 0; x < width_; ++x, row += bytes) {
    const uint32_t v = bytes == 2 ? LoadU16(row) : LoadU32(row);
    out[x] = static_cast<Pixel>(alpha_.Of(v)) << 24 | static_cast<Pixel>(red_.Of(v)) << 16 |
             static_cast<Pixel>(green_.Of(v)) << 8 | blue_.Of(v);
  }
}

}  // namespace glyph
