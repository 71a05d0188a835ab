// Feeds arbitrary bytes to the icon-resource reader, then uses what it
// found the way the program does: every image is read whole, the best
// image is chosen and each group is written out as an icon file. The
// same bytes read a piece at a time (as from a file) must scan the same,
// and the folder scan's count must agree.
#include <cstddef>
#include <cstdint>
#include <span>

#include "icon/IconResources.h"

namespace {

// The input as a file: no memory to look at, every read a copy.
class PieceReader final : public glyph::icon::ByteReader {
 public:
  explicit PieceReader(std::span<const uint8_t> bytes) : whole_(bytes) {}
  uint64_t Size() const override { return whole_.Size(); }
  bool Read(uint64_t offset, std::span<uint8_t> out) override { return whole_.Read(offset, out); }

 private:
  glyph::icon::MemoryReader whole_;
};

bool SameImages(const glyph::icon::IconGroup& a, const glyph::icon::IconGroup& b) {
  if (a.images.size() != b.images.size() || a.name != b.name || a.id != b.id) return false;
  for (size_t i = 0; i < a.images.size(); ++i) {
    if (a.images[i].offset != b.images[i].offset || a.images[i].size != b.images[i].size) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  glyph::icon::MemoryReader memory(file);
  const glyph::icon::IconScan scan = glyph::icon::ReadIcons(file);
  if (scan.refused && !scan.groups.empty()) __builtin_trap();
  PieceReader pieces(file);
  const glyph::icon::IconScan again = glyph::icon::ReadIcons(pieces);
  if (again.Count() != scan.Count() || again.refused != scan.refused) __builtin_trap();
  // The folder scan's count, read as from a file, agrees with the full scan.
  PieceReader counted(file);
  if (glyph::icon::CountIcons(counted) != scan.Count()) __builtin_trap();
  for (size_t g = 0; g < scan.Count(); ++g) {
    if (!SameImages(scan.groups[g], again.groups[g])) __builtin_trap();
  }
  for (const glyph::icon::IconGroup& group : scan.groups) {
    if (group.images.empty()) __builtin_trap();
    for (const glyph::icon::IconImage& image : group.images) {
      if (image.offset > size || image.size > size - image.offset) __builtin_trap();
      if (glyph::icon::ReadIconImage(image, memory).empty()) __builtin_trap();
    }
    const int best = glyph::icon::ChooseIconImage(group, 32, 32);
    if (best < 0 || static_cast<size_t>(best) >= group.images.size()) __builtin_trap();
    // What was written reads back as one icon of the same images.
    const auto ico = glyph::icon::MakeIconFile(group, file);
    glyph::icon::MemoryReader written(ico);
    const glyph::icon::IconScan reread = glyph::icon::ReadIcons(ico);
    if (reread.Count() != 1 || reread.groups[0].images.size() != group.images.size()) __builtin_trap();
    for (size_t i = 0; i < group.images.size(); ++i) {
      if (glyph::icon::ReadIconImage(reread.groups[0].images[i], written) !=
          glyph::icon::ReadIconImage(group.images[i], memory)) {
        __builtin_trap();
      }
    }
  }
  return 0;
}
