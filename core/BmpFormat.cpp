#include "core/BmpFormat.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/BmpRows.h"

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

// Bit fields need their three masks after the 40-byte header.
constexpr size_t kBitfieldsHeaderBytes = kBmpInfoHeaderSize + 12;
// Pixel data is read in pieces of this size, so a stream that claims more
// than it holds never makes the reader allocate what it claims.
constexpr size_t kReadChunk = 1 << 20;

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
      if (info.compression != kBmpCompressionRgb) return false;
      break;
    case 16:
    case 32:
      if (info.compression != kBmpCompressionRgb && info.compression != kBmpCompressionBitfields)
        return false;
      break;
    default:
      return false;
  }
  // A colour table can hold at most one entry per pixel value.
  if (info.bitCount <= 8 && info.colorsUsed > (1u << info.bitCount)) return false;
  if (info.bitCount > 8 && info.colorsUsed > 256) return false;
  return true;
}

bool ReadExactly(ByteStream& in, size_t size, std::vector<uint8_t>& out) {
  out.clear();
  while (out.size() < size) {
    const size_t done = out.size();
    const size_t piece = std::min(kReadChunk, size - done);
    out.resize(done + piece);
    if (in.Read(out.data() + done, piece) != piece) return false;
  }
  return true;
}

// The colour table follows the header, and the bit masks when a 40-byte
// header leaves them outside.
size_t TableOffset(const BmpInfo& info) {
  return info.compression == kBmpCompressionBitfields && info.size < kBitfieldsHeaderBytes
             ? kBitfieldsHeaderBytes
             : info.size;
}

uint32_t LogicalWidth(uint16_t reserved1, uint32_t fileWidth) {
  const uint32_t padded = (static_cast<uint32_t>(reserved1) + 3) & ~3u;
  return reserved1 != 0 && padded == fileWidth ? reserved1 : fileWidth;
}

}  // namespace

std::vector<uint8_t> PixelMemoryHeader(uint32_t stride, uint32_t height) {
  std::vector<uint8_t> header(kBmpInfoHeaderSize, 0);
  StoreU32(header.data(), kBmpInfoHeaderSize);
  StoreU32(header.data() + 4, stride);
  StoreU32(header.data() + 8, static_cast<uint32_t>(-static_cast<int32_t>(height)));  // top row first
  StoreU16(header.data() + 12, 1);
  StoreU16(header.data() + 14, 32);
  StoreU32(header.data() + 20, stride * height * 4);
  return header;
}

std::optional<BmpImage> ReadBmpStream(ByteStream& in) {
  uint8_t fileHeader[kBmpFileHeaderSize];
  if (in.Read(fileHeader, sizeof fileHeader) != sizeof fileHeader) return std::nullopt;
  if (LoadU16(fileHeader) != kBmpType) return std::nullopt;

  const uint16_t reserved1 = LoadU16(fileHeader + 6);
  const uint32_t pixelOffset = LoadU32(fileHeader + 10);
  // The header and colour table lie between the file header and the
  // pixels: at least a whole info header, at most a header and 256 colours
  // plus bit masks.
  if (pixelOffset < kBmpFileHeaderSize + kBmpInfoHeaderSize ||
      pixelOffset > kBmpFileHeaderSize + kBmpInfoHeaderSize + 256 * 4 + 1024) {
    return std::nullopt;
  }
  const size_t headerBytes = pixelOffset - kBmpFileHeaderSize;
  std::vector<uint8_t> header(headerBytes + kBmpHeaderSlack, 0);
  if (in.Read(header.data(), headerBytes) != headerBytes) return std::nullopt;

  const BmpInfo info = BmpInfo::From(header.data());
  if (!Supported(info)) return std::nullopt;
  // The colour table must fit in what was read (with the slack for
  // tables written shorter than their count), the masks in the file.
  if (info.compression == kBmpCompressionBitfields && headerBytes < kBitfieldsHeaderBytes)
    return std::nullopt;
  const size_t tableOffset = TableOffset(info);
  const size_t tableBytes = 4u * info.ColorCount();
  if (info.size > headerBytes || tableOffset + tableBytes > header.size()) return std::nullopt;

  const size_t rowBytes = info.RowBytes();
  const size_t height = static_cast<size_t>(std::abs(info.height));
  const size_t pixelBytes = rowBytes * height;
  // The stated image size may be larger (padding at the end) but never
  // smaller than the rows themselves.
  size_t imageSize = info.imageSize ? info.imageSize : pixelBytes;
  if (imageSize < pixelBytes || imageSize > pixelBytes + 4 * rowBytes + 4096) return std::nullopt;
  std::vector<uint8_t> data;
  if (!ReadExactly(in, imageSize, data)) return std::nullopt;

  BmpImage image;
  image.width = LogicalWidth(reserved1, static_cast<uint32_t>(info.width));
  image.height = static_cast<uint32_t>(height);
  image.stride = (image.width + 3) & ~3u;  // never less than the file's width
  image.header = PixelMemoryHeader(image.stride, image.height);
  if (tableBytes) {
    StoreU32(image.header.data() + 32, info.ColorCount());
    image.header.insert(image.header.end(), header.begin() + tableOffset,
                        header.begin() + tableOffset + tableBytes);
  }
  image.pixels.assign(static_cast<size_t>(image.stride) * height, 0);
  const BmpRowDecoder decoder(info, header.data());
  for (size_t k = 0; k < height; ++k) {
    const size_t target = info.height > 0 ? height - 1 - k : k;  // positive height: bottom row first
    decoder.Decode(data.data() + k * rowBytes, image.pixels.data() + target * image.stride);
  }
  image.bytesRead = pixelOffset + imageSize;
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
