#include "icon/ClipboardDib.h"

#include <algorithm>
#include <cstdlib>

#include "core/BmpFormat.h"
#include "icon/DocumentReader.h"
#include "icon/PngHeader.h"

namespace glyph::icon {

namespace {

// Headers from the plain info header (40 bytes) up to BITMAPV5HEADER.
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kV5HeaderSize = 124;
// Fields of the info header, as offsets into it.
constexpr size_t kCompressionAt = 16;
constexpr size_t kImageSizeAt = 20;
constexpr size_t kMasksAt = 40;  // red, green, blue; alpha after them in V4/V5
constexpr size_t kColourSpaceAt = 56;
constexpr size_t kIntentAt = 108;
// The three bit masks of a shorter header follow it, ending here (as the
// BMP reader takes them).
constexpr uint32_t kMasksEnd = 52;
// The plain 8-8-8 layout of a 32-bit pixel, and the alpha above it.
constexpr uint32_t kRedMask = 0x00FF0000, kGreenMask = 0x0000FF00, kBlueMask = 0x000000FF;
constexpr uint32_t kAlphaMask = 0xFF000000;
// BITMAPV5HEADER's colour space and rendering intent: sRGB ('sRGB' read
// as a little-endian number) and LCS_GM_IMAGES.
constexpr uint32_t kColourSpaceSrgb = 0x73524742;
constexpr uint32_t kIntentImages = 4;

std::string Size(int64_t width, int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// Where the rows start, or 0 with `why` when the header cannot be read.
size_t RowsOffset(const BmpInfo& info, std::string& why) {
  if (info.planes != 1) {
    why = "the picture's header is damaged (" + std::to_string(info.planes) + " planes)";
    return 0;
  }
  const bool fields = info.compression == kBmpCompressionBitfields;
  const bool packed = info.bitCount == 16 || info.bitCount == 32;
  switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      why = "the picture has " + std::to_string(info.bitCount) + " bits a pixel, which cannot be read";
      return 0;
  }
  if (info.compression != kBmpCompressionRgb && !(fields && packed)) {
    why = "the picture is compressed (kind " + std::to_string(info.compression) + "), which cannot be read";
    return 0;
  }
  const uint32_t maxColours = info.bitCount <= 8 ? 1u << info.bitCount : 256;
  if (info.colorsUsed > maxColours) {
    why = "the picture's colour table claims " + std::to_string(info.colorsUsed) + " colours";
    return 0;
  }
  const size_t tableAt = fields && info.size < kMasksEnd ? kMasksEnd : info.size;
  return tableAt + 4u * info.ColorCount();
}

}  // namespace

bool ReadClipboardDib(std::span<const uint8_t> dib, RgbaImage& out, std::string& why) {
  if (dib.size() < 4) {
    why = "the picture is cut short";
    return false;
  }
  const uint32_t headerSize = LoadU32(dib.data());
  if (headerSize == kCoreHeaderSize) {
    why = "the picture has an old OS/2 header, which cannot be read";
    return false;
  }
  if (headerSize < kBmpInfoHeaderSize || headerSize > kV5HeaderSize) {
    why = "the picture's header is damaged (" + std::to_string(headerSize) + " bytes)";
    return false;
  }
  if (dib.size() < headerSize) {
    why = "the picture is cut short";
    return false;
  }
  const BmpInfo info = BmpInfo::From(dib.data());
  const int64_t height = std::llabs(static_cast<int64_t>(info.height));
  if (info.width < 1 || height < 1) {
    why = "the picture is " + Size(info.width, height) + ", an empty picture";
    return false;
  }
  std::string limit;
  if (info.width > kMaxPngSide || height > kMaxPngSide ||
      !PngSizeAllowed(info.width, static_cast<int>(height), limit)) {
    why = "the picture is " + Size(info.width, height) + ", more pixels than a picture may hold";
    return false;
  }
  const size_t rowsAt = RowsOffset(info, why);
  if (!rowsAt) return false;
  // Rows past the last are left behind (a colour profile may follow); the
  // stated image size is not trusted, the rows are counted.
  const size_t rowsEnd = rowsAt + info.RowBytes() * static_cast<size_t>(height);
  if (rowsEnd > dib.size()) {
    why = "the picture is cut short: its header calls for " + std::to_string(rowsEnd) + " bytes, it holds " +
          std::to_string(dib.size());
    return false;
  }

  // The BMP reader takes a file: the same bytes behind a file header that
  // says where the rows start.
  std::vector<uint8_t> file(kBmpFileHeaderSize + rowsEnd);
  StoreU16(file.data(), kBmpType);
  StoreU32(file.data() + 2, static_cast<uint32_t>(file.size()));
  StoreU32(file.data() + 10, static_cast<uint32_t>(kBmpFileHeaderSize + rowsAt));
  std::copy(dib.begin(), dib.begin() + static_cast<std::ptrdiff_t>(rowsEnd),
            file.begin() + kBmpFileHeaderSize);
  uint8_t* header = file.data() + kBmpFileHeaderSize;
  StoreU32(header + kImageSizeAt, 0);
  // A 40-byte header has no alpha mask; with the plain 8-8-8 fields its
  // top byte is the alpha, as in an uncompressed 32-bit picture.
  if (info.bitCount == 32 && info.compression == kBmpCompressionBitfields &&
      headerSize == kBmpInfoHeaderSize && LoadU32(header + kMasksAt) == kRedMask &&
      LoadU32(header + kMasksAt + 4) == kGreenMask && LoadU32(header + kMasksAt + 8) == kBlueMask) {
    StoreU32(header + kCompressionAt, kBmpCompressionRgb);
  }
  return ReadPicture(file, out, why);
}

namespace {

// The rows of `image` bottom-up as 32-bit BGRA after `header`.
std::vector<uint8_t> WithRows(std::vector<uint8_t> header, const RgbaImage& image) {
  const size_t width = static_cast<size_t>(image.width);
  const size_t height = static_cast<size_t>(image.height);
  const size_t headerBytes = header.size();
  header.resize(headerBytes + width * height * 4);
  uint8_t* p = header.data() + headerBytes;
  for (size_t y = height; y-- > 0;) {
    const uint8_t* s = image.pixels.data() + y * width * 4;
    for (size_t x = 0; x < width; ++x, s += 4, p += 4) {
      p[0] = s[2];
      p[1] = s[1];
      p[2] = s[0];
      p[3] = s[3];
    }
  }
  return header;
}

bool Writable(const RgbaImage& image) {
  return image.width >= 1 && image.height >= 1 && image.width <= kBmpMaxSide && image.height <= kBmpMaxSide &&
         image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 4;
}

// An info header of `size` bytes for a 32-bit bottom-up picture.
std::vector<uint8_t> InfoHeader(const RgbaImage& image, uint32_t size, uint32_t compression) {
  std::vector<uint8_t> header(size, 0);
  StoreU32(header.data(), size);
  StoreU32(header.data() + 4, static_cast<uint32_t>(image.width));
  StoreU32(header.data() + 8, static_cast<uint32_t>(image.height));  // positive: the bottom row first
  StoreU16(header.data() + 12, 1);
  StoreU16(header.data() + 14, 32);
  StoreU32(header.data() + kCompressionAt, compression);
  StoreU32(header.data() + kImageSizeAt, static_cast<uint32_t>(image.pixels.size()));
  return header;
}

}  // namespace

std::vector<uint8_t> WriteClipboardDibV5(const RgbaImage& image) {
  if (!Writable(image)) return {};
  std::vector<uint8_t> header = InfoHeader(image, kV5HeaderSize, kBmpCompressionBitfields);
  StoreU32(header.data() + kMasksAt, kRedMask);
  StoreU32(header.data() + kMasksAt + 4, kGreenMask);
  StoreU32(header.data() + kMasksAt + 8, kBlueMask);
  StoreU32(header.data() + kMasksAt + 12, kAlphaMask);
  StoreU32(header.data() + kColourSpaceAt, kColourSpaceSrgb);
  StoreU32(header.data() + kIntentAt, kIntentImages);
  return WithRows(std::move(header), image);
}

std::vector<uint8_t> WriteClipboardDib(const RgbaImage& image) {
  if (!Writable(image)) return {};
  return WithRows(InfoHeader(image, kBmpInfoHeaderSize, kBmpCompressionRgb), image);
}

}  // namespace glyph::icon
