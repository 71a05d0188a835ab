// The .bmp stream: a 14-byte file header, the bitmap-info header with its
// colour table, then the rows.
//
// Reading checks every size against what the stream holds and against
// sane limits before anything is allocated or copied; a file that lies
// about its sizes is refused, never trusted. What it reads comes back in
// the program's one image form, 32-bit top-down pixels; 1-, 4- and 8-bit
// palette files, 16-bit (5-5-5 or bit fields), 24-bit and 32-bit (plain or
// bit fields) are converted on the way in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Pixels.h"
#include "core/Stream.h"

namespace glyph {

constexpr uint16_t kBmpType = 0x4D42;  // "BM"
constexpr size_t kBmpFileHeaderSize = 14;
constexpr size_t kBmpInfoHeaderSize = 40;
// Room kept after the header and colour table read from a file, so that a
// colour count larger than the table actually stored reads zeros.
constexpr size_t kBmpHeaderSlack = 1024;
// The compressions read: none, or bit fields for 16 and 32 bits.
constexpr uint32_t kBmpCompressionRgb = 0;
constexpr uint32_t kBmpCompressionBitfields = 3;
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

// The header of 32-bit top-down memory, `stride` pixels a row: the form of
// every image this program holds (40 bytes, no colour table).
std::vector<uint8_t> PixelMemoryHeader(uint32_t stride, uint32_t height);

// A stream read into memory and converted to the one image form: 32-bit
// pixels (see core/Pixels.h), top row first, whatever the file's depth and
// row order, so every pixel primitive can work on it.
struct BmpImage {
  uint32_t width = 0;  // visible columns
  uint32_t height = 0;
  uint32_t stride = 0;  // pixels a row: the width rounded up to 4
  // PixelMemoryHeader(stride, height), followed by the file's colour table
  // when it had one (its count in the header), so a palette survives.
  std::vector<uint8_t> header;
  std::vector<Pixel> pixels;  // stride x height; columns past the file's width are 0
  size_t bytesRead = 0;       // the file header, headers, table and image size
  PixelView View() {
    return PixelView{pixels.data(), static_cast<int>(width), static_cast<int>(height),
                     static_cast<int>(stride)};
  }
};

// Reads one .bmp stream; nothing on a short read, a wrong type mark or
// sizes that the stream or the limits cannot hold.
//
// Reserved field 1 of the file header carries the logical width our writer
// stores for an image narrower than its rows. It is honoured only when the
// file's width is exactly that width rounded up to 4 (as the writer makes
// it); any other value is ignored, so it can never make the image narrower
// than its memory allows for.
std::optional<BmpImage> ReadBmpStream(ByteStream& in);

// Writes a .bmp stream bottom-up. `header` holds the bitmap-info header
// and colour table (its height may be negative for top-down memory);
// `rows` are top first. The header's height is written positive and its
// image size recomputed for uncompressed data. Returns the bytes written,
// or 0 when the stream took fewer.
size_t WriteBmpStream(ByteStream& out, const uint8_t* header, size_t headerBytes, const uint8_t* rows,
                      uint16_t logicalWidth);

}  // namespace glyph
