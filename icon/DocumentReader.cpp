#include "icon/DocumentReader.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>

#include "core/BmpFormat.h"
#include "core/BmpRows.h"
#include "core/Stream.h"
#include "icon/PngCodec.h"
#include "icon/PngHeader.h"

namespace glyph::icon {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Icon DIB headers: the plain info header up to the largest (V5) header.
constexpr uint32_t kMinDibHeader = 40;
constexpr uint32_t kMaxDibHeader = 124;
// Bit fields in a plain info header follow it: red, green, blue.
constexpr size_t kTrailingMasks = 12;

// A .bmp picture's fields this reader looks at before the stream reader
// does: the width, height and depth of its info header.
constexpr size_t kBmpWidthAt = kBmpFileHeaderSize + 4;
constexpr size_t kBmpHeightAt = kBmpFileHeaderSize + 8;
constexpr size_t kBmpBitCountAt = kBmpFileHeaderSize + 14;

std::string Size(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

std::string TooLarge(const std::string& what, int width, int height) {
  const std::string max = std::to_string(kMaxIconSide);
  return what + " is " + Size(width, height) + "; an icon image is at most " + max + " x " + max;
}

// The codec's sentences, fitted inside one of ours.
std::string Clause(std::string sentence) {
  if (!sentence.empty() && sentence.back() == '.') sentence.pop_back();
  if (!sentence.empty() && sentence[0] >= 'A' && sentence[0] <= 'Z')
    sentence[0] = static_cast<char>(sentence[0] + 32);
  return sentence;
}

bool StartsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> mark) {
  return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

bool IsPng(std::span<const uint8_t> bytes) { return StartsWith(bytes, kPngSignature); }
bool IsBmp(std::span<const uint8_t> bytes) { return bytes.size() >= 2 && LoadU16(bytes.data()) == kBmpType; }

// Where the parts of an icon DIB lie, once its header has been checked
// against the bytes it came with.
struct DibLayout {
  BmpInfo info;
  int width = 0, height = 0;
  size_t colourAt = 0;  // first colour row (the bottom one)
  size_t colourRow = 0;
  size_t maskAt = 0;  // first mask row (the bottom one)
  size_t maskRow = 0;
};

std::optional<DibLayout> LayOut(std::span<const uint8_t> bytes) {
  if (bytes.size() < kMinDibHeader) return std::nullopt;
  DibLayout d;
  d.info = BmpInfo::From(bytes.data());
  const BmpInfo& info = d.info;
  if (info.size < kMinDibHeader || info.size > kMaxDibHeader || info.planes != 1) return std::nullopt;
  // The height counts the colour plane and the mask plane.
  if (info.width < 1 || info.width > kMaxIconSide || info.height < 2 || info.height / 2 > kMaxIconSide) {
    return std::nullopt;
  }
  size_t masks = 0, entries = info.colorsUsed;
  switch (info.bitCount) {
    case 1:
    case 4:
    case 8:
      if (info.compression != kBmpCompressionRgb || info.colorsUsed > (1u << info.bitCount))
        return std::nullopt;
      entries = info.ColorCount();
      break;
    case 16:
    case 24:
    case 32:
      if (info.compression == kBmpCompressionBitfields && info.bitCount != 24) {
        if (info.size == kMinDibHeader) masks = kTrailingMasks;
      } else if (info.compression != kBmpCompressionRgb) {
        return std::nullopt;
      }
      if (info.colorsUsed > 256) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }
  d.width = info.width;
  d.height = info.height / 2;
  d.colourRow = info.RowBytes();
  d.maskRow = (static_cast<size_t>(d.width) + 31) / 32 * 4;
  d.colourAt = info.size + masks + 4 * entries;
  d.maskAt = d.colourAt + d.colourRow * static_cast<size_t>(d.height);
  if (d.maskAt + d.maskRow * static_cast<size_t>(d.height) > bytes.size()) return std::nullopt;
  return d;
}

// A DIB with both of its planes (as ReadIconImage gives it) as pixels.
bool DecodeDib(std::span<const uint8_t> bytes, IconDocumentImage& out) {
  const auto layout = LayOut(bytes);
  if (!layout) return false;
  const DibLayout& d = *layout;
  // The row decoder reads the header, then the colour table or the masks,
  // with room to spare behind them.
  std::vector<uint8_t> header(d.colourAt + kBmpHeaderSlack, 0);
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(d.colourAt), header.begin());
  const BmpRowDecoder decoder(d.info, header.data());

  RgbaImage& image = out.pixels;
  image.width = d.width;
  image.height = d.height;
  image.pixels.assign(static_cast<size_t>(d.width) * d.height * 4, 0);
  std::vector<Pixel> row(static_cast<size_t>(d.width));
  bool anyAlpha = false;
  for (int k = 0; k < d.height; ++k) {  // the bottom row first
    decoder.Decode(bytes.data() + d.colourAt + static_cast<size_t>(k) * d.colourRow, row.data());
    uint8_t* p = image.pixels.data() + static_cast<size_t>(d.height - 1 - k) * d.width * 4;
    for (const Pixel v : row) {
      *p++ = static_cast<uint8_t>(v >> 16);
      *p++ = static_cast<uint8_t>(v >> 8);
      *p++ = static_cast<uint8_t>(v);
      *p++ = static_cast<uint8_t>(v >> 24);
      anyAlpha |= (v >> 24) != 0;
    }
  }
  if (d.info.bitCount < 32 || !anyAlpha) {
    for (int k = 0; k < d.height; ++k) {
      const uint8_t* mask = bytes.data() + d.maskAt + static_cast<size_t>(k) * d.maskRow;
      uint8_t* p = image.pixels.data() + static_cast<size_t>(d.height - 1 - k) * d.width * 4 + 3;
      for (int x = 0; x < d.width; ++x, p += 4) *p = (mask[x / 8] >> (7 - x % 8) & 1) ? 0 : 255;
    }
  }
  out.storage = IconStorage::kBmp;
  out.bits = d.info.bitCount == 16 ? 24 : d.info.bitCount;
  return true;
}

std::string ImageName(const IconImage& image) {
  std::string name = "image " + std::to_string(image.entry);
  if (image.resourceId) name += " (icon resource " + std::to_string(image.resourceId) + ")";
  return name;
}

// The bytes of a picture as the .bmp reader takes them, without a copy.
class SpanStream final : public ByteStream {
 public:
  explicit SpanStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t Read(void* data, size_t size) override {
    const size_t n = std::min(size, bytes_.size() - at_);
    std::copy_n(bytes_.data() + at_, n, static_cast<uint8_t*>(data));
    at_ += n;
    return n;
  }
  size_t Write(const void*, size_t) override { return 0; }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

// A picture's pixels as a document holds them: `alpha` says whether the
// picture's own alpha stands (a 32-bit BMP with some alpha that is not 0).
RgbaImage FromBmp(const BmpImage& bmp, bool alpha) {
  RgbaImage image{static_cast<int>(bmp.width), static_cast<int>(bmp.height), {}};
  image.pixels.resize(static_cast<size_t>(bmp.width) * bmp.height * 4);
  uint8_t* p = image.pixels.data();
  for (uint32_t y = 0; y < bmp.height; ++y) {
    const Pixel* row = bmp.pixels.data() + static_cast<size_t>(y) * bmp.stride;
    for (uint32_t x = 0; x < bmp.width; ++x) {
      *p++ = static_cast<uint8_t>(row[x] >> 16);
      *p++ = static_cast<uint8_t>(row[x] >> 8);
      *p++ = static_cast<uint8_t>(row[x]);
      *p++ = alpha ? static_cast<uint8_t>(row[x] >> 24) : 255;
    }
  }
  return image;
}

// A .bmp picture of at most `maxSide` a side and within the PNG codec's
// limits, its size checked before any pixel is read; `bits` is its depth.
bool ReadBmpPicture(std::span<const uint8_t> file, int maxSide, RgbaImage& out, int& bits, std::string& why) {
  if (file.size() < kBmpBitCountAt + 2) {
    why = "the BMP picture is cut short";
    return false;
  }
  const int32_t width = LoadI32(file.data() + kBmpWidthAt), height = LoadI32(file.data() + kBmpHeightAt);
  const int side = height == INT32_MIN ? 0 : std::abs(height);
  if (width < 1 || side < 1) {
    why = "the BMP picture is " + Size(width, side) + ", an empty picture";
    return false;
  }
  if (width > maxSide || side > maxSide) {
    why = TooLarge("the picture", width, side);
    return false;
  }
  std::string limit;
  if (!PngSizeAllowed(width, side, limit)) {
    why = "the picture is " + Size(width, side) + ", more pixels than a picture may hold";
    return false;
  }
  SpanStream stream(file);
  const std::optional<BmpImage> bmp = ReadBmpStream(stream);
  if (!bmp) {
    why = "the BMP picture is damaged or of a kind that cannot be read";
    return false;
  }
  bits = LoadU16(file.data() + kBmpBitCountAt);
  // An image whose alpha is 0 everywhere has no alpha: it is drawn opaque.
  const bool alpha = bits == 32 && std::any_of(bmp->pixels.begin(), bmp->pixels.end(),
                                               [](Pixel p) { return (p >> 24) != 0; });
  out = FromBmp(*bmp, alpha);
  return true;
}

// The number of an image already read whose bytes overlap [start, start + size).
std::optional<uint16_t> Overlap(const std::map<size_t, std::pair<size_t, uint16_t>>& taken, size_t start,
                                size_t size) {
  auto next = taken.lower_bound(start);
  if (next != taken.end() && next->first < start + size) return next->second.second;
  if (next != taken.begin() && std::prev(next)->second.first > start) return std::prev(next)->second.second;
  return std::nullopt;
}

DocumentRead Failure(std::string why) {
  DocumentRead read;
  read.error = std::move(why);
  return read;
}

// A small picture as a one-image document.
DocumentRead ReadPictureDocument(std::span<const uint8_t> file) {
  IconDocumentImage image;
  std::string why;
  if (IsPng(file)) {
    PngHeader header;
    if (!CheckPngHeader(file, header, why)) return Failure(Clause(why));
    if (header.width > kMaxIconSide || header.height > kMaxIconSide) {
      return Failure(TooLarge("the picture", header.width, header.height));
    }
    if (!DecodePng(file, image.pixels, why)) return Failure(Clause(why));
    image.storage = IconStorage::kPng;
    image.bits = 32;
  } else {
    int bits = 0;
    if (!ReadBmpPicture(file, kMaxIconSide, image.pixels, bits, why)) return Failure(why);
    image.bits = bits == 16 ? 24 : bits;
  }
  DocumentRead read;
  read.document.images.push_back(std::move(image));
  return read;
}

}  // namespace

DocumentRead ReadGroupDocument(const IconGroup& group, ByteReader& file) {
  DocumentRead read;
  // The byte ranges read so far (start -> end, and the image's number):
  // each image is read from bytes of its own, so the document's memory
  // stays in proportion to the file's size.
  std::map<size_t, std::pair<size_t, uint16_t>> taken;
  for (const IconImage& found : group.images) {
    if (found.width > kMaxIconSide || found.height > kMaxIconSide) {
      read.notes.push_back(TooLarge(ImageName(found), found.width, found.height) + ": left out");
      continue;
    }
    if (const auto owner = Overlap(taken, found.offset, found.size)) {
      read.notes.push_back(ImageName(found) + " shares its bytes with image " + std::to_string(*owner) +
                           ": left out");
      continue;
    }
    taken[found.offset] = {found.offset + found.size, found.entry};
    const std::vector<uint8_t> bytes = ReadIconImage(found, file);
    IconDocumentImage image;
    std::string why;
    bool decoded = false;
    if (bytes.empty()) {
      why = "its bytes cannot be read";
    } else if (found.png) {
      decoded = DecodePng(bytes, image.pixels, why);
      if (!decoded) why = Clause(why);
      image.storage = IconStorage::kPng;
      image.bits = 32;
    } else {
      decoded = DecodeDib(bytes, image);
      if (!decoded) why = "its header does not describe its bytes";
    }
    // The decoded image must be the one the scan found, and fit.
    if (decoded && (image.pixels.width != found.width || image.pixels.height != found.height)) {
      decoded = false;
      why = "it is not the size its header said";
    }
    if (!decoded) {
      read.notes.push_back(ImageName(found) + " is damaged (" + why + "): left out");
      continue;
    }
    read.document.images.push_back(std::move(image));
  }
  if (read.document.images.empty()) {
    read.error = read.notes.empty() ? "the icon holds no image"
                                    : "the icon holds no image that can be read: " + read.notes.front();
  }
  return read;
}

DocumentRead ReadDocument(std::span<const uint8_t> file, size_t groupIndex) {
  if (file.empty()) return Failure("the file is empty");
  if (IsPicture(file)) {
    if (groupIndex != 0) return Failure("no icon " + std::to_string(groupIndex) + " (a picture holds one)");
    return ReadPictureDocument(file);
  }
  const IconScan scan = ReadIcons(file);
  if (scan.refused) return Failure(scan.problem);
  if (scan.groups.empty()) return Failure("the file holds no icon");
  if (groupIndex >= scan.groups.size()) {
    return Failure("no icon " + std::to_string(groupIndex) + " (the file holds " +
                   std::to_string(scan.groups.size()) + ")");
  }
  MemoryReader reader(file);
  DocumentRead read = ReadGroupDocument(scan.groups[groupIndex], reader);
  // An icon file's images the scan left out belong to its one group; in a
  // PE or NE file they may belong to any.
  if (scan.kind == IconFileKind::Ico && !scan.problem.empty()) {
    read.notes.insert(read.notes.begin(), scan.problem + ": left out");
  }
  return read;
}

bool IsPicture(std::span<const uint8_t> file) { return IsPng(file) || IsBmp(file); }

bool ReadPicture(std::span<const uint8_t> file, RgbaImage& out, std::string& why) {
  if (IsPng(file)) {
    if (DecodePng(file, out, why)) return true;
    why = Clause(why);
    return false;
  }
  if (IsBmp(file)) {
    int bits = 0;
    return ReadBmpPicture(file, kMaxPngSide, out, bits, why);
  }
  why = "not a PNG or BMP picture";
  return false;
}

}  // namespace glyph::icon
