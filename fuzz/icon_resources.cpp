// Feeds arbitrary bytes to the icon-resource reader, then uses what it
// found the way the program does: every image's bytes are touched, the
// best image is chosen and each group is written out as an icon file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "browser/IconResources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  const glyph::IconScan scan = glyph::ReadIcons(file);
  if (scan.refused && !scan.groups.empty()) __builtin_trap();
  unsigned sum = 0;
  for (const glyph::IconGroup& group : scan.groups) {
    if (group.images.empty()) __builtin_trap();
    for (const glyph::IconImage& image : group.images) {
      if (image.offset > size || image.size > size - image.offset) __builtin_trap();
      sum += data[image.offset] + data[image.offset + image.size - 1];
    }
    const int best = glyph::ChooseIconImage(group, 32, 32);
    if (best < 0 || static_cast<size_t>(best) >= group.images.size()) __builtin_trap();
    const auto ico = glyph::MakeIconFile(group, file);
    // What was written reads back as one icon of the same images.
    const glyph::IconScan again = glyph::ReadIcons(ico);
    if (again.Count() != 1 || again.groups[0].images.size() != group.images.size()) __builtin_trap();
  }
  return static_cast<int>(sum & 0);
}
