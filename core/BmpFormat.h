// The .bmp stream: a 14-byte file header, the bitmap-info header with its
// colour table, then the rows.
//
// Reading checks every size against what the stream holds and against
// sane limits before anything is allocated or copied; a file that lies
// about its sizes is refused, never trusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Stream.h"

namespace glyph {

constexpr uint16_t kBmpType = 0x4D42;  // "BM"
constexpr size_t kBmpFileHeaderSize = 14;
constexpr size_t kBmpInfoHeaderSize = 40;
// Room kept after the header and colour table read from a file, so that a
// colour count larger than the table actually stored reads zeros.
constexpr size_t kBmpHeaderSlack = 1024;
// The largest image a stream may describe (either side, in pixels).
constexpr int32_t kBmpMaxSide = 16384;

// Little-endian field access on a byte buffer.
uint16_t LoadU16(const uint8_t* p);
uint32_t LoadU32(const uint8_t* p);
int32_t LoadI32(const uint8_t* p);
void StoreU16(uint8_t* p, uint16_t v);
void StoreU32(uint8_t* p, uint32_t v);

// Fields of a bitmap-info header (offsets as in the file).
struct BmpInfo {
  uint32_t size = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint32_t compression = 0;
  uint32_t imageSize = 0;
  uint32_t colorsUsed = 0;

  static BmpInfo From(const uint8_t* header);
  // Bytes per row of pixel data, rows padded to 4 bytes.
  size_t RowBytes() const;
  // The colour count: colours used, else 2/16/256 for 1/4/8 bits, else 0.
  uint16_t ColorCount() const;
};

// A stream read into memory.
struct BmpImage {
  uint16_t reserved1 = 0;  // the logical width, when a writer stored one
  uint32_t pixelOffset = 0;
  // The bitmap-info header and colour table as read, followed by
  // kBmpHeaderSlack zero bytes.
  std::vector<uint8_t> header;
  // Pixel data, top row first, RowBytes() per row.
  std::vector<uint8_t> rows;
  BmpInfo Info() const { return BmpInfo::From(header.data()); }
};

// Reads one .bmp stream; nothing on a short read, a wrong type mark or
// sizes that the stream or the limits cannot hold. Row order is resolved:
// rows come back top first whatever the file's order.
std::optional<BmpImage> ReadBmpStream(ByteStream& in);

// Writes a .bmp stream bottom-up. `header` holds the bitmap-info header
// and colour table (its height may be negative for top-down memory);
// `rows` are top first. The header's height is written positive and its
// image size recomputed for uncompressed data. Returns the bytes written,
// or 0 when the stream took fewer.
size_t WriteBmpStream(ByteStream& out, const uint8_t* header, size_t headerBytes, const uint8_t* rows,
                      uint16_t logicalWidth);

}  // namespace glyph
