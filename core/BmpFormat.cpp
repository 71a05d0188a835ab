#include "core/BmpFormat.h"

#include <cstdlib>
#include <cstring>

namespace glyph {

uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(LoadU32(p)); }
void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

BmpInfo BmpInfo::From(const uint8_t* h) {
  BmpInfo info;
  info.size = LoadU32(h);
  info.width = LoadI32(h + 4);
  info.height = LoadI32(h + 8);
  info.planes = LoadU16(h + 12);
  info.bitCount = LoadU16(h + 14);
  info.compression = LoadU32(h + 16);
  info.imageSize = LoadU32(h + 20);
  info.colorsUsed = LoadU32(h + 32);
  return info;
}

size_t BmpInfo::RowBytes() const {
  return 4 * ((static_cast<size_t>(bitCount) * static_cast<uint32_t>(width) + 31) / 32);
}

uint16_t BmpInfo::ColorCount() const {
  if (colorsUsed) return static_cast<uint16_t>(colorsUsed);
  switch (bitCount) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

namespace {

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionBitfields = 3;

bool Supported(const BmpInfo& info) {
  if (info.size < kBmpInfoHeaderSize) return false;
  if (info.width <= 0 || info.width > kBmpMaxSide) return false;
  if (info.height == 0 || info.height < -kBmpMaxSide || info.height > kBmpMaxSide) return false;
  if (info.planes != 1) return false;
  switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
      if (info.compression != kCompressionRgb) return false;
      break;
    case 16:
    case 32:
      if (info.compression != kCompressionRgb && info.compression != kCompressionBitfields) return false;
      break;
    default:
      return false;
  }
  // A colour table can hold at most one entry per pixel value.
  if (info.bitCount <= 8 && info.colorsUsed > (1u << info.bitCount)) return false;
  if (info.bitCount > 8 && info.colorsUsed > 256) return false;
  return true;
}

}  // namespace

std::optional<BmpImage> ReadBmpStream(ByteStream& in) {
  uint8_t fileHeader[kBmpFileHeaderSize];
  if (in.Read(fileHeader, sizeof fileHeader) != sizeof fileHeader) return std::nullopt;
  if (LoadU16(fileHeader) != kBmpType) return std::nullopt;

  BmpImage image;
  image.reserved1 = LoadU16(fileHeader + 6);
  image.pixelOffset = LoadU32(fileHeader + 10);
  // The header and colour table lie between the file header and the
  // pixels: at least a whole info header, at most a header and 256 colours
  // plus bit masks.
  if (image.pixelOffset < kBmpFileHeaderSize + kBmpInfoHeaderSize ||
      image.pixelOffset > kBmpFileHeaderSize + kBmpInfoHeaderSize + 256 * 4 + 1024) {
    return std::nullopt;
  }
  const size_t headerBytes = image.pixelOffset - kBmpFileHeaderSize;
  image.header.assign(headerBytes + kBmpHeaderSlack, 0);
  if (in.Read(image.header.data(), headerBytes) != headerBytes) return std::nullopt;

  const BmpInfo info = image.Info();
  if (!Supported(info)) return std::nullopt;
  // The colour table must fit in what was read (with the slack for
  // tables written shorter than their count).
  if (info.size > headerBytes || info.size + 4u * info.ColorCount() > image.header.size())
    return std::nullopt;

  const size_t rowBytes = info.RowBytes();
  const size_t height = static_cast<size_t>(std::abs(info.height));
  const size_t pixelBytes = rowBytes * height;
  // The stated image size may be larger (padding at the end) but never
  // smaller than the rows themselves.
  size_t imageSize = info.imageSize ? info.imageSize : pixelBytes;
  if (imageSize < pixelBytes || imageSize > pixelBytes + 4 * rowBytes + 4096) return std::nullopt;

  std::vector<uint8_t> data(imageSize);
  if (in.Read(data.data(), imageSize) != imageSize) return std::nullopt;
  image.rows.resize(pixelBytes);
  for (size_t k = 0; k < height; ++k) {
    const size_t target = info.height > 0 ? height - 1 - k : k;  // positive height: bottom row first
    std::memcpy(image.rows.data() + target * rowBytes, data.data() + k * rowBytes, rowBytes);
  }
  return image;
}

size_t WriteBmpStream(ByteStream& out, const uint8_t* header, size_t headerBytes, const uint8_t* rows,
                      uint16_t logicalWidth) {
  if (headerBytes < kBmpInfoHeaderSize) return 0;
  std::vector<uint8_t> h(header, header + headerBytes);
  BmpInfo info = BmpInfo::From(h.data());
  const size_t height = static_cast<size_t>(std::abs(info.height));
  StoreU32(h.data() + 8, static_cast<uint32_t>(height));
  const size_t rowBytes = info.RowBytes();
  if (info.compression != 1 && info.compression != 2) {
    StoreU32(h.data() + 20, static_cast<uint32_t>(rowBytes * height));
  }
  const uint32_t imageSize = LoadU32(h.data() + 20);
  const size_t tableBytes = 4u * info.ColorCount();
  const size_t headAndTable = std::min(headerBytes, static_cast<size_t>(info.size) + tableBytes);

  uint8_t fileHeader[kBmpFileHeaderSize] = {};
  StoreU16(fileHeader, kBmpType);
  StoreU32(fileHeader + 2, static_cast<uint32_t>(kBmpFileHeaderSize + info.size + tableBytes + imageSize));
  StoreU16(fileHeader + 6, logicalWidth);
  StoreU32(fileHeader + 10, static_cast<uint32_t>(kBmpFileHeaderSize + info.size + tableBytes));

  size_t written = out.Write(fileHeader, sizeof fileHeader);
  written += out.Write(h.data(), headAndTable);
  for (size_t k = height; k-- > 0;) written += out.Write(rows + k * rowBytes, rowBytes);
  const size_t expected = kBmpFileHeaderSize + headAndTable + rowBytes * height;
  return written == expected ? written : 0;
}

}  // namespace glyph
