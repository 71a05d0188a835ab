#include "icon/IconResources.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <unordered_map>

namespace glyph::icon {

namespace {

// Resource type numbers shared by PE and NE files.
constexpr uint32_t kTypeIcon = 3;
constexpr uint32_t kTypeGroupIcon = 14;

// Sizes of the icon directory records.
constexpr uint64_t kIconDirHeader = 6;    // reserved, type, count
constexpr uint64_t kIcoEntrySize = 16;    // ... bytes in image, file offset
constexpr uint64_t kGroupEntrySize = 14;  // ... bytes in image, resource id

// Bounds that no real file comes near; they keep hostile files cheap.
constexpr size_t kMaxImagesPerFile = 1u << 18;
constexpr int kMaxImageSide = 1024;
constexpr unsigned kMaxNeAlignShift = 24;

// Every read goes through here: offsets are 64-bit so that sums of 32-bit
// fields from the file never wrap, and each read is checked first. Bytes
// come straight from memory when the file lies in memory; otherwise from
// a few pages read on demand and kept, so the parser's many small reads
// cost few reads of the file. A read that fails gives zeros from then on
// and marks the whole scan failed: the parse ends harmlessly and its
// result is thrown away.
class Bytes {
 public:
  explicit Bytes(ByteReader& source) : source_(source), memory_(source.Memory()), size_(source.Size()) {}
  uint64_t Size() const { return size_; }
  bool Failed() const { return failed_; }
  bool Has(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }
  uint8_t U8(uint64_t at) const {
    if (!memory_.empty()) return memory_[static_cast<size_t>(at)];
    const Page* page = PageOf(at / kPageSize);
    return page ? page->bytes[static_cast<size_t>(at % kPageSize)] : 0;
  }
  uint16_t U16(uint64_t at) const { return static_cast<uint16_t>(U8(at) | U8(at + 1) << 8); }
  uint32_t U32(uint64_t at) const {
    return static_cast<uint32_t>(U16(at)) | static_cast<uint32_t>(U16(at + 2)) << 16;
  }
  uint32_t U32BigEndian(uint64_t at) const {
    return static_cast<uint32_t>(U8(at)) << 24 | static_cast<uint32_t>(U8(at + 1)) << 16 |
           static_cast<uint32_t>(U8(at + 2)) << 8 | U8(at + 3);
  }

 private:
  // A page holds what a small directory or header needs; a handful of them
  // holds the parts of a file the parser goes back and forth between.
  static constexpr uint64_t kPageSize = 4096;
  static constexpr size_t kPages = 16;
  struct Page {
    uint64_t number = 0;
    uint64_t lastUse = 0;  // 0: empty
    std::vector<uint8_t> bytes;
  };

  const Page* PageOf(uint64_t number) const {
    if (failed_) return nullptr;
    ++clock_;
    if (last_ && last_->number == number) {
      last_->lastUse = clock_;
      return last_;
    }
    Page* victim = &pages_[0];
    for (Page& p : pages_) {
      if (p.lastUse && p.number == number) {
        p.lastUse = clock_;
        return last_ = &p;
      }
      if (p.lastUse < victim->lastUse) victim = &p;
    }
    const uint64_t start = number * kPageSize;
    victim->bytes.resize(static_cast<size_t>(std::min(kPageSize, size_ - start)));
    if (!source_.Read(start, victim->bytes)) {
      failed_ = true;
      victim->lastUse = 0;
      last_ = nullptr;
      return nullptr;
    }
    victim->number = number;
    victim->lastUse = clock_;
    return last_ = victim;
  }

  ByteReader& source_;
  std::span<const uint8_t> memory_;
  uint64_t size_;
  mutable std::array<Page, kPages> pages_;
  mutable Page* last_ = nullptr;
  mutable uint64_t clock_ = 0;
  mutable bool failed_ = false;
};

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// What an image's own header says about it, and how far its bytes reach.
struct ImageShape {
  int width = 0, height = 0, bitsPerPixel = 0;
  uint64_t extent = 0;
  bool png = false;
  bool maskPlane = true;
};

// How far a directory's byte count may miss the image's own extent and
// the image still be read. Writers that get the count wrong get it wrong
// by a few bytes (a header or padding counted twice or not at all); a
// count further off says the entry is not to be trusted at all.
constexpr uint64_t kSizeSlack = 64;

// Whether an image of `extent` bytes at `at`, whose directory said
// `declared` bytes, can be read: the image itself lies in the file, and
// the count is too small by a few bytes at most, or too large but within
// the file or past its end by a few bytes at most.
bool SizeAgrees(const Bytes& f, uint64_t at, uint64_t declared, uint64_t extent) {
  if (!f.Has(at, extent)) return false;
  if (declared < extent) return extent - declared <= kSizeSlack;
  return f.Has(at, declared) || at + declared - f.Size() <= kSizeSlack;
}

// PNG stream: signature, then the IHDR chunk with the size and the pixel
// format. Its extent ends with its IEND chunk, looked for near the end
// the directory gave; without one nearby the directory's count stands.
std::optional<ImageShape> PngShape(const Bytes& f, uint64_t at, uint64_t declared) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  static constexpr uint8_t kEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  constexpr uint64_t kHeaderEnd = 33;  // signature and IHDR chunk
  if (!f.Has(at, kHeaderEnd)) return std::nullopt;
  for (uint64_t i = 0; i < 8; ++i) {
    if (f.U8(at + i) != kSignature[i]) return std::nullopt;
  }
  if (f.U32BigEndian(at + 8) != 13 || f.U8(at + 12) != 'I' || f.U8(at + 13) != 'H' || f.U8(at + 14) != 'D' ||
      f.U8(at + 15) != 'R') {
    return std::nullopt;
  }
  const uint32_t w = f.U32BigEndian(at + 16), h = f.U32BigEndian(at + 20);
  if (w < 1 || h < 1 || w > kMaxImageSide || h > kMaxImageSide) return std::nullopt;
  int channels = 0;
  switch (f.U8(at + 25)) {
    case 0:
      channels = 1;
      break;  // grey
    case 2:
      channels = 3;
      break;  // RGB
    case 3:
      channels = 1;
      break;  // palette
    case 4:
      channels = 2;
      break;  // grey + alpha
    case 6:
      channels = 4;
      break;  // RGBA
    default:
      return std::nullopt;
  }
  auto endsAt = [&](uint64_t end) {
    if (end < kHeaderEnd + sizeof kEnd || !f.Has(at + end - sizeof kEnd, sizeof kEnd)) return false;
    for (uint64_t i = 0; i < sizeof kEnd; ++i) {
      if (f.U8(at + end - sizeof kEnd + i) != kEnd[i]) return false;
    }
    return true;
  };
  ImageShape shape{static_cast<int>(w), static_cast<int>(h), channels * f.U8(at + 24), declared, true};
  for (uint64_t miss = 0; miss <= kSizeSlack; ++miss) {
    if (endsAt(declared - std::min(miss, declared))) {
      shape.extent = declared - std::min(miss, declared);
      break;
    }
    if (endsAt(declared + miss)) {
      shape.extent = declared + miss;
      break;
    }
  }
  if (shape.extent < kHeaderEnd || !SizeAgrees(f, at, declared, shape.extent)) return std::nullopt;
  return shape;
}

// DIB as icons hold it: an info header whose height counts the colour
// plane and the mask plane, the palette, the colour rows, the mask rows.
// Accepted only when all of it lies in the file.
std::optional<ImageShape> DibShape(const Bytes& f, uint64_t at, uint64_t declared) {
  constexpr uint32_t kRgb = 0, kBitFields = 3;
  constexpr uint64_t kInfoHeader = 40;
  if (!f.Has(at, kInfoHeader)) return std::nullopt;
  const uint32_t headerSize = f.U32(at);
  if (headerSize < kInfoHeader || headerSize > 124) return std::nullopt;
  const int32_t width = static_cast<int32_t>(f.U32(at + 4));
  const int32_t bothPlanes = static_cast<int32_t>(f.U32(at + 8));
  const uint16_t planes = f.U16(at + 12), bits = f.U16(at + 14);
  const uint32_t compression = f.U32(at + 16), colorsUsed = f.U32(at + 32);
  if (width < 1 || width > kMaxImageSide || bothPlanes < 2 || bothPlanes > 2 * kMaxImageSide) {
    return std::nullopt;
  }
  if (planes != 1) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return std::nullopt;
  }
  uint64_t masks = 0;
  if (compression == kBitFields && (bits == 16 || bits == 32)) {
    masks = headerSize == kInfoHeader ? 12 : 0;
  } else if (compression != kRgb) {
    return std::nullopt;
  }
  uint64_t paletteEntries = colorsUsed;
  if (bits <= 8) {
    if (colorsUsed > (1u << bits)) return std::nullopt;
    if (colorsUsed == 0) paletteEntries = 1u << bits;
  } else if (colorsUsed > 256) {
    return std::nullopt;
  }
  const uint64_t height = static_cast<uint64_t>(bothPlanes) / 2;
  const uint64_t colourRow = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  const uint64_t maskRow = (static_cast<uint64_t>(width) + 31) / 32 * 4;
  const uint64_t colourEnd = headerSize + masks + paletteEntries * 4 + colourRow * height;
  const uint64_t maskEnd = colourEnd + maskRow * height;
  ImageShape shape{width, static_cast<int>(height), bits, maskEnd, false, true};
  // Writers of 32-bit images may leave the mask plane out, the alpha
  // channel saying all; a byte count nearer the colour plane's end than
  // the mask plane's says the image has none.
  if (bits == 32 && declared < maskEnd && 2 * declared < colourEnd + maskEnd) {
    shape.extent = colourEnd;
    shape.maskPlane = false;
  }
  if (!SizeAgrees(f, at, declared, shape.extent)) return std::nullopt;
  return shape;
}

std::optional<ImageShape> ImageShapeAt(const Bytes& f, uint64_t at, uint64_t declared) {
  if (auto png = PngShape(f, at, declared)) return png;
  return DibShape(f, at, declared);
}

// Fills an image from a directory entry (the same first 12 bytes in icon
// files and in group resources) and the bytes it names. False when those
// bytes are not a whole icon image.
bool MakeImage(const Bytes& f, uint64_t entry, uint64_t at, uint64_t declared, IconImage& out) {
  const auto shape = ImageShapeAt(f, at, declared);
  if (!shape) return false;
  out.width = shape->width;
  out.height = shape->height;
  out.bitsPerPixel = shape->bitsPerPixel;
  out.png = shape->png;
  out.maskPlane = shape->maskPlane;
  out.colorCount = f.U8(entry + 2);
  out.reserved = f.U8(entry + 3);
  out.planes = f.U16(entry + 4);
  out.bitCount = f.U16(entry + 6);
  out.offset = static_cast<size_t>(at);
  out.size = static_cast<size_t>(shape->extent);
  return true;
}

void Refuse(IconScan& scan, std::string why) {
  scan.groups.clear();
  scan.refused = true;
  scan.problem = std::move(why);
}

void Note(IconScan& scan, std::string what) {
  if (scan.problem.empty()) scan.problem = std::move(what);
}

// ---------------------------------------------------------------- .ico

// How much of each icon a scan reads. A count needs to know only that a
// group has one image the full scan would keep: its other images' headers
// (most of a scan's reads in a file with icons) are left unread. Every
// directory entry is still resolved, so a tree that loops, or holds too
// many images, is refused exactly as by the full scan.
enum class Depth { AllImages, FirstImage };

void ReadIco(const Bytes& f, IconScan& scan, Depth depth) {
  scan.kind = IconFileKind::Ico;
  const uint16_t count = f.U16(4);
  if (count == 0) return Refuse(scan, "icon file without images");
  if (!f.Has(kIconDirHeader, count * kIcoEntrySize)) {
    return Refuse(scan, "icon directory runs past the end of the file");
  }
  IconGroup group;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t entry = kIconDirHeader + i * kIcoEntrySize;
    IconImage image;
    image.entry = i;
    if (MakeImage(f, entry, f.U32(entry + 12), f.U32(entry + 8), image)) {
      group.images.push_back(image);
      if (depth == Depth::FirstImage) break;
    } else {
      Note(scan, "image " + std::to_string(i) + " is damaged or lies past the end of the file");
    }
  }
  if (group.images.empty()) return Refuse(scan, "icon file without a readable image");
  scan.groups.push_back(std::move(group));
}

// A group-icon directory (header and 14-byte entries) at `at`; `resolve`
// turns an entry's icon resource number into that resource's bytes.
template <class Resolve>
bool ReadGroupData(const Bytes& f, uint64_t at, uint64_t size, Resolve resolve, IconGroup& group,
                   IconScan& scan, size_t& totalImages, Depth depth) {
  if (size < kIconDirHeader || !f.Has(at, size)) return false;
  if (f.U16(at) != 0 || f.U16(at + 2) != 1) return false;
  const uint16_t count = f.U16(at + 4);
  if (count == 0 || kIconDirHeader + count * kGroupEntrySize > size) return false;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t entry = at + kIconDirHeader + i * kGroupEntrySize;
    IconImage image;
    image.entry = i;
    image.resourceId = f.U16(entry + 12);
    uint64_t dataAt = 0, dataSize = 0;
    if (++totalImages > kMaxImagesPerFile) return false;
    const bool found = resolve(image.resourceId, f.U32(entry + 8), dataAt, dataSize);
    if (depth == Depth::FirstImage && !group.images.empty()) continue;
    if (found && MakeImage(f, entry, dataAt, dataSize, image)) {
      group.images.push_back(image);
    } else {
      Note(scan, "icon resource " + std::to_string(image.resourceId) + " is missing or damaged");
    }
  }
  return !group.images.empty();
}

// ---------------------------------------------------------------- PE

class PeReader {
 public:
  PeReader(const Bytes& f, IconScan& scan, Depth depth) : f_(f), scan_(scan), depth_(depth) {}

  void Read(uint64_t pe) {
    const uint16_t sectionCount = f_.U16(pe + 6);
    const uint16_t optionalSize = f_.U16(pe + 20);
    const uint64_t optional = pe + 24;
    if (!f_.Has(optional, optionalSize) || optionalSize < 2) {
      return Refuse(scan_, "optional header runs past the end of the file");
    }
    uint64_t dirCountAt = 0;
    switch (f_.U16(optional)) {
      case 0x10B:
        scan_.kind = IconFileKind::Pe32;
        dirCountAt = 92;
        break;
      case 0x20B:
        scan_.kind = IconFileKind::Pe32Plus;
        dirCountAt = 108;
        break;
      default:
        return Refuse(scan_, "unknown optional header");
    }
    constexpr uint64_t kResourceDir = 2, kDirEntrySize = 8;
    const uint64_t dirs = dirCountAt + 4;
    if (optionalSize < dirs + (kResourceDir + 1) * kDirEntrySize ||
        f_.U32(optional + dirCountAt) <= kResourceDir) {
      return;  // no resource directory: no icons
    }
    const uint32_t resourceRva = f_.U32(optional + dirs + kResourceDir * kDirEntrySize);
    if (resourceRva == 0) return;

    sections_ = optional + optionalSize;
    sectionCount_ = sectionCount;
    if (sectionCount_ > kMaxSections) return Refuse(scan_, "too many sections");
    if (!f_.Has(sections_, sectionCount_ * kSectionSize)) {
      return Refuse(scan_, "section table runs past the end of the file");
    }
    // The resource tree lies in the raw data of the section that holds its
    // address; what the file lacks of that section is simply not there.
    const auto section = SectionOf(resourceRva);
    if (!section) return Refuse(scan_, "resource directory lies outside every section");
    const uint64_t delta = resourceRva - section->virtualAddress;
    if (delta >= section->rawSize) return Refuse(scan_, "resource directory has no data in the file");
    root_ = section->rawOffset + delta;
    if (root_ >= f_.Size()) return Refuse(scan_, "resource section lies past the end of the file");
    rootSize_ = std::min<uint64_t>(section->rawSize - delta, f_.Size() - root_);
    ReadTree();
  }

 private:
  static constexpr uint64_t kSectionSize = 40;
  static constexpr uint64_t kMaxSections = 256;  // the loader allows fewer
  static constexpr uint64_t kDirHeader = 16, kEntrySize = 8, kDataEntrySize = 16;
  static constexpr uint32_t kHighBit = 0x80000000u;

  struct Section {
    uint64_t virtualAddress, rawSize, rawOffset, virtualSize;
  };
  struct Entry {
    uint32_t name, target;
    bool Named() const { return name & kHighBit; }
    bool Directory() const { return target & kHighBit; }
    uint32_t Offset() const { return target & ~kHighBit; }
  };

  std::optional<Section> SectionOf(uint64_t rva) const {
    for (uint64_t i = 0; i < sectionCount_; ++i) {
      const uint64_t s = sections_ + i * kSectionSize;
      const Section sec{f_.U32(s + 12), f_.U32(s + 16), f_.U32(s + 20), f_.U32(s + 8)};
      const uint64_t extent = std::max(sec.virtualSize, sec.rawSize);
      if (rva >= sec.virtualAddress && rva - sec.virtualAddress < extent) return sec;
    }
    return std::nullopt;
  }

  // File offset of `size` bytes at `rva`, when all of them are in the file.
  std::optional<uint64_t> FileOffset(uint64_t rva, uint64_t size) const {
    const auto sec = SectionOf(rva);
    if (!sec) return std::nullopt;
    const uint64_t delta = rva - sec->virtualAddress;
    if (delta > sec->rawSize || size > sec->rawSize - delta) return std::nullopt;
    const uint64_t at = sec->rawOffset + delta;
    if (!f_.Has(at, size)) return std::nullopt;
    return at;
  }

  bool InTree(uint64_t offset, uint64_t size) const {
    return offset <= rootSize_ && size <= rootSize_ - offset;
  }

  // The entries of the directory at `offset` (from the tree's root).
  std::optional<std::vector<Entry>> Directory(uint64_t offset) const {
    if (!InTree(offset, kDirHeader)) return std::nullopt;
    const uint64_t at = root_ + offset;
    const uint64_t count = static_cast<uint64_t>(f_.U16(at + 12)) + f_.U16(at + 14);
    if (!InTree(offset + kDirHeader, count * kEntrySize)) return std::nullopt;
    std::vector<Entry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
      const uint64_t e = at + kDirHeader + i * kEntrySize;
      entries.push_back({f_.U32(e), f_.U32(e + 4)});
    }
    return entries;
  }

  std::optional<std::string> Name(uint32_t offset) const {
    if (!InTree(offset, 2)) return std::nullopt;
    const uint64_t length = f_.U16(root_ + offset);
    if (!InTree(offset + 2, length * 2)) return std::nullopt;
    std::string name;
    const uint64_t chars = root_ + offset + 2;
    for (uint64_t i = 0; i < length; ++i) {
      uint32_t c = f_.U16(chars + 2 * i);
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < length) {
        const uint32_t low = f_.U16(chars + 2 * (i + 1));
        if (low >= 0xDC00 && low < 0xE000) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
      if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
      AppendUtf8(name, c);
    }
    return name;
  }

  enum class Leaf { Found, Missing, TooDeep };

  // The data (address and size) of the first language of a name entry,
  // one level below it. `ancestors` are the directories above.
  Leaf FirstLanguage(const Entry& nameEntry, std::initializer_list<uint32_t> ancestors, uint64_t& at,
                     uint64_t& size) const {
    if (!nameEntry.Directory()) return Leaf::Missing;
    for (uint32_t a : ancestors) {
      if (nameEntry.Offset() == a) return Leaf::TooDeep;
    }
    const uint64_t dir = nameEntry.Offset();
    if (!InTree(dir, kDirHeader + kEntrySize)) return Leaf::Missing;
    if (f_.U16(root_ + dir + 12) == 0 && f_.U16(root_ + dir + 14) == 0) return Leaf::Missing;
    const Entry language{f_.U32(root_ + dir + kDirHeader), f_.U32(root_ + dir + kDirHeader + 4)};
    if (language.Directory()) return Leaf::TooDeep;
    if (!InTree(language.Offset(), kDataEntrySize)) return Leaf::Missing;
    const uint64_t data = root_ + language.Offset();
    size = f_.U32(data + 4);
    const auto offset = FileOffset(f_.U32(data), size);
    if (!offset) return Leaf::Missing;
    at = *offset;
    return Leaf::Found;
  }

  void ReadTree() {
    const auto types = Directory(0);
    if (!types) return Refuse(scan_, "resource directory runs past the end of the file");
    const Entry* groupType = nullptr;
    const Entry* iconType = nullptr;
    for (const Entry& e : *types) {
      if (e.Named()) continue;
      if (e.name == kTypeGroupIcon && !groupType) groupType = &e;
      if (e.name == kTypeIcon && !iconType) iconType = &e;
    }
    if (!groupType) return;  // no icons
    for (const Entry* type : {groupType, iconType}) {
      if (type && (!type->Directory() || type->Offset() == 0)) {
        return Refuse(scan_, "resource tree loops or is malformed");
      }
    }
    const auto groups = Directory(groupType->Offset());
    if (!groups) return Refuse(scan_, "group icon directory runs past the end of the file");

    // Icon resources by number; the first of equal numbers wins.
    std::unordered_map<uint32_t, Entry> icons;
    if (iconType) {
      const auto entries = Directory(iconType->Offset());
      if (!entries) return Refuse(scan_, "icon directory runs past the end of the file");
      for (const Entry& e : *entries) {
        if (!e.Named() && e.name <= 0xFFFF) icons.emplace(e.name, e);
      }
    }
    const uint32_t iconsDir = iconType ? iconType->Offset() : 0;
    bool tooDeep = false;
    auto resolve = [&](uint16_t id, uint32_t, uint64_t& at, uint64_t& size) {
      const auto it = icons.find(id);
      if (it == icons.end()) return false;
      const Leaf leaf = FirstLanguage(it->second, {0u, iconsDir}, at, size);
      if (leaf == Leaf::TooDeep) tooDeep = true;
      return leaf == Leaf::Found;
    };

    size_t totalImages = 0;
    for (const Entry& e : *groups) {
      IconGroup group;
      group.named = e.Named();
      if (group.named) {
        auto name = Name(e.name & ~kHighBit);
        if (!name) {
          Note(scan_, "group icon name lies past the end of the file");
          continue;
        }
        group.name = std::move(*name);
      } else {
        group.id = e.name;
      }
      uint64_t at = 0, size = 0;
      const Leaf leaf = FirstLanguage(e, {0u, groupType->Offset()}, at, size);
      if (leaf == Leaf::TooDeep || tooDeep) return Refuse(scan_, "resource tree loops or nests too deep");
      if (leaf == Leaf::Found && ReadGroupData(f_, at, size, resolve, group, scan_, totalImages, depth_)) {
        scan_.groups.push_back(std::move(group));
      } else {
        if (tooDeep) return Refuse(scan_, "resource tree loops or nests too deep");
        if (totalImages > kMaxImagesPerFile) return Refuse(scan_, "too many icon images");
        Note(scan_, "group icon " + GroupLabel(group) + " is missing or damaged");
      }
    }
  }

  const Bytes& f_;
  IconScan& scan_;
  Depth depth_;
  uint64_t sections_ = 0, sectionCount_ = 0;
  uint64_t root_ = 0, rootSize_ = 0;
};

// ---------------------------------------------------------------- NE

class NeReader {
 public:
  NeReader(const Bytes& f, IconScan& scan, Depth depth) : f_(f), scan_(scan), depth_(depth) {}

  void Read(uint64_t ne) {
    scan_.kind = IconFileKind::Ne;
    constexpr uint64_t kHeaderSize = 64;
    if (!f_.Has(ne, kHeaderSize)) return Refuse(scan_, "NE header runs past the end of the file");
    const uint16_t tableOffset = f_.U16(ne + 0x24), namesOffset = f_.U16(ne + 0x26);
    if (tableOffset == namesOffset) return;  // no resources
    table_ = ne + tableOffset;
    // The resident-name table follows the resource table; no read of the
    // resource table may pass it (or the end of the file).
    end_ = namesOffset > tableOffset ? std::min<uint64_t>(ne + namesOffset, f_.Size()) : f_.Size();
    if (!Within(table_, 2)) return Refuse(scan_, "resource table lies past the end of the file");
    shift_ = f_.U16(table_);
    if (shift_ > kMaxNeAlignShift) return Refuse(scan_, "resource table has a bad alignment");

    constexpr uint64_t kTypeHeader = 8, kNameInfo = 12;
    constexpr uint16_t kIntegerId = 0x8000;
    uint64_t groups = 0, groupCount = 0, icons = 0, iconCount = 0;
    for (uint64_t p = table_ + 2;;) {
      if (!Within(p, 2)) return Refuse(scan_, "resource table runs past its end");
      const uint16_t type = f_.U16(p);
      if (type == 0) break;
      if (!Within(p, kTypeHeader)) return Refuse(scan_, "resource table runs past its end");
      const uint16_t count = f_.U16(p + 2);
      if (!Within(p + kTypeHeader, count * kNameInfo)) {
        return Refuse(scan_, "resource table runs past its end");
      }
      if (type == (kIntegerId | kTypeGroupIcon) && !groups) {
        groups = p + kTypeHeader;
        groupCount = count;
      }
      if (type == (kIntegerId | kTypeIcon) && !icons) {
        icons = p + kTypeHeader;
        iconCount = count;
      }
      p += kTypeHeader + count * kNameInfo;
    }

    // Icon resources by number; the first of equal numbers wins.
    std::unordered_map<uint16_t, uint64_t> iconInfo;
    for (uint64_t i = 0; i < iconCount; ++i) {
      const uint64_t info = icons + i * kNameInfo;
      const uint16_t id = f_.U16(info + 6);
      if (id & kIntegerId) iconInfo.emplace(static_cast<uint16_t>(id & ~kIntegerId), info);
    }
    auto resolve = [&](uint16_t id, uint32_t bytesInRes, uint64_t& at, uint64_t& size) {
      const auto it = iconInfo.find(id);
      if (it == iconInfo.end()) return false;
      Locate(it->second, at, size);
      // Resources are padded to the alignment; the group knows the size.
      if (bytesInRes != 0 && bytesInRes < size) size = bytesInRes;
      return true;
    };

    size_t totalImages = 0;
    for (uint64_t i = 0; i < groupCount; ++i) {
      const uint64_t info = groups + i * kNameInfo;
      IconGroup group;
      const uint16_t id = f_.U16(info + 6);
      if (id & kIntegerId) {
        group.id = id & ~kIntegerId;
      } else {
        group.named = true;
        const uint64_t name = table_ + id;
        if (!Within(name, 1) || !Within(name + 1, f_.U8(name))) {
          Note(scan_, "group icon name lies past the end of the resource table");
          continue;
        }
        for (uint64_t c = 0; c < f_.U8(name); ++c) AppendUtf8(group.name, f_.U8(name + 1 + c));
      }
      uint64_t at = 0, size = 0;
      Locate(info, at, size);
      if (ReadGroupData(f_, at, size, resolve, group, scan_, totalImages, depth_)) {
        scan_.groups.push_back(std::move(group));
      } else {
        if (totalImages > kMaxImagesPerFile) return Refuse(scan_, "too many icon images");
        Note(scan_, "group icon " + GroupLabel(group) + " is missing or damaged");
      }
    }
  }

 private:
  bool Within(uint64_t at, uint64_t size) const { return at <= end_ && size <= end_ - at; }

  void Locate(uint64_t info, uint64_t& at, uint64_t& size) const {
    at = static_cast<uint64_t>(f_.U16(info)) << shift_;
    size = static_cast<uint64_t>(f_.U16(info + 2)) << shift_;
  }

  const Bytes& f_;
  IconScan& scan_;
  Depth depth_;
  uint64_t table_ = 0, end_ = 0;
  unsigned shift_ = 0;
};

bool IsPng(const Bytes& f) {
  static constexpr uint8_t kSignature[4] = {0x89, 'P', 'N', 'G'};
  if (!f.Has(0, sizeof kSignature)) return false;
  for (uint64_t i = 0; i < sizeof kSignature; ++i) {
    if (f.U8(i) != kSignature[i]) return false;
  }
  return true;
}

void Scan(const Bytes& f, IconScan& scan, Depth depth) {
  if (f.Size() == 0) return Refuse(scan, "empty file");
  if (f.Has(0, kIconDirHeader) && f.U16(0) == 0 && f.U16(2) == 1) return ReadIco(f, scan, depth);
  // Pictures are often saved under an icon's name; say what they are.
  if (IsPng(f)) return Refuse(scan, "a PNG picture, not an icon file");
  constexpr uint64_t kDosHeader = 64, kNewHeaderAt = 0x3C;
  if (!f.Has(0, kDosHeader) || f.U8(0) != 'M' || f.U8(1) != 'Z') {
    return Refuse(scan, "not an executable or icon file");
  }
  const uint64_t header = f.U32(kNewHeaderAt);
  if (!f.Has(header, 2)) return Refuse(scan, "executable header lies past the end of the file");
  if (f.U8(header) == 'N' && f.U8(header + 1) == 'E') return NeReader(f, scan, depth).Read(header);
  if (!f.Has(header, 4) || f.U32(header) != 0x00004550) return;  // not "PE\0\0": a DOS program, no icons
  constexpr uint64_t kFileHeader = 24;                           // signature and COFF header
  if (!f.Has(header, kFileHeader)) return Refuse(scan, "PE header runs past the end of the file");
  scan.kind = IconFileKind::Pe32;
  PeReader(f, scan, depth).Read(header);
}

// A 32-bit DIB stored without its mask plane, `bytes` holding the rest:
// appends the plane its alpha channel implies. False when the header read
// now does not describe the bytes.
bool AppendMaskFromAlpha(std::vector<uint8_t>& bytes, const IconImage& image) {
  constexpr uint32_t kRgb = 0;
  MemoryReader reader(bytes);
  const Bytes f(reader);
  if (!f.Has(0, 40)) return false;
  const uint64_t headerSize = f.U32(0), colorsUsed = f.U32(32);
  const bool bitFields = f.U32(16) != kRgb;  // the scan lets nothing else through
  const uint64_t masks = bitFields && headerSize == 40 ? 12 : 0;
  // Channel masks name no alpha: such an image is opaque.
  const bool hasAlpha = !bitFields;
  const uint64_t width = static_cast<uint64_t>(image.width), height = static_cast<uint64_t>(image.height);
  const uint64_t rows = headerSize + masks + colorsUsed * 4;
  if (colorsUsed > 256 || !f.Has(rows, width * 4 * height)) return false;
  const uint64_t maskRow = (width + 31) / 32 * 4;
  std::vector<uint8_t> mask(static_cast<size_t>(maskRow * height), 0);
  bool anyAlpha = false;
  for (uint64_t y = 0; y < height; ++y) {
    for (uint64_t x = 0; x < width; ++x) {
      const uint8_t alpha = hasAlpha ? f.U8(rows + (y * width + x) * 4 + 3) : 0xFF;
      if (alpha != 0) {
        anyAlpha = true;
      } else {
        mask[static_cast<size_t>(y * maskRow + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
      }
    }
  }
  // An image whose alpha is 0 everywhere has no alpha: the platform draws
  // it opaque.
  if (!anyAlpha) std::fill(mask.begin(), mask.end(), 0);
  bytes.resize(static_cast<size_t>(rows + width * 4 * height));
  bytes.insert(bytes.end(), mask.begin(), mask.end());
  return true;
}

IconScan ReadIcons(ByteReader& file, Depth depth) {
  const Bytes f(file);
  IconScan scan;
  Scan(f, scan, depth);
  if (f.Failed()) Refuse(scan, "the file could not be read");
  // Icons were promised but none could be read: the file is refused.
  if (scan.groups.empty() && !scan.problem.empty()) scan.refused = true;
  return scan;
}

}  // namespace

IconScan ReadIcons(ByteReader& file) { return ReadIcons(file, Depth::AllImages); }

size_t CountIcons(ByteReader& file) { return ReadIcons(file, Depth::FirstImage).Count(); }

IconScan ReadIcons(std::span<const uint8_t> file) {
  MemoryReader reader(file);
  return ReadIcons(reader);
}

std::vector<uint8_t> ReadIconImage(const IconImage& image, ByteReader& file) {
  if (image.size == 0 || image.offset > file.Size() || image.size > file.Size() - image.offset) return {};
  std::vector<uint8_t> bytes(image.size);
  if (!file.Read(image.offset, bytes)) return {};
  if (image.png || image.maskPlane) return bytes;
  if (!AppendMaskFromAlpha(bytes, image)) return {};
  return bytes;
}

int ChooseIconImage(const IconGroup& group, int size, int displayBits) {
  int best = -1;
  int bestSizeDiff = 0, bestDepthDiff = 0;
  for (size_t i = 0; i < group.images.size(); ++i) {
    const IconImage& image = group.images[i];
    const int sizeDiff = std::abs(size - image.width) + std::abs(size - image.height);
    const int depthDiff = std::abs(displayBits - image.bitsPerPixel);
    if (best < 0 || sizeDiff < bestSizeDiff || (sizeDiff == bestSizeDiff && depthDiff < bestDepthDiff)) {
      best = static_cast<int>(i);
      bestSizeDiff = sizeDiff;
      bestDepthDiff = depthDiff;
    }
  }
  return best;
}

std::vector<uint8_t> MakeIconFile(const IconGroup& group, ByteReader& file) {
  std::vector<std::vector<uint8_t>> images;
  for (const IconImage& image : group.images) {
    images.push_back(ReadIconImage(image, file));
    if (images.back().empty()) return {};
  }
  std::vector<uint8_t> out;
  auto put16 = [&](uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  put16(0);
  put16(1);
  put16(static_cast<uint32_t>(group.images.size()));
  uint64_t offset = kIconDirHeader + group.images.size() * kIcoEntrySize;
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = group.images[i];
    const int bits = image.bitsPerPixel;
    out.push_back(static_cast<uint8_t>(image.width >= 256 ? 0 : image.width));
    out.push_back(static_cast<uint8_t>(image.height >= 256 ? 0 : image.height));
    out.push_back(static_cast<uint8_t>(!image.png && bits < 8 ? 1u << bits : 0));  // colours
    out.push_back(0);                                                              // reserved
    put16(1);                                                                      // planes
    put16(static_cast<uint32_t>(bits));
    put32(static_cast<uint32_t>(images[i].size()));
    put32(static_cast<uint32_t>(offset));
    offset += images[i].size();
  }
  for (const auto& bytes : images) out.insert(out.end(), bytes.begin(), bytes.end());
  return out;
}

std::vector<uint8_t> MakeIconFile(const IconGroup& group, std::span<const uint8_t> file) {
  MemoryReader reader(file);
  return MakeIconFile(group, reader);
}

std::string GroupLabel(const IconGroup& group) {
  return group.named ? group.name : "#" + std::to_string(group.id);
}

}  // namespace glyph::icon
