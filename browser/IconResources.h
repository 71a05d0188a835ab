// Icons held by a file, read from its bytes: the group-icon resources of
// 32- and 64-bit PE files and of 16-bit NE files, and the images of an
// icon file (.ico).
//
// The reader trusts nothing in the file: every offset, size and count is
// checked against the buffer before it is used, resource trees that loop
// or nest too deep are refused, and nothing outside the buffer is read.
// A refused file has no icons and a reason. Portable code: no platform
// headers; the Windows layer (IconExtract.h) turns a group into an icon.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace glyph {

// One image of an icon group, as its directory entry describes it, and
// where its bytes (a DIB with colour and mask planes, or a PNG stream) lie
// in the file.
struct IconImage {
  int width = 0;   // pixels; a directory byte of 0 means 256
  int height = 0;  // pixels
  uint8_t colorCount = 0;
  uint8_t reserved = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;    // as the directory says (may be 0)
  int bitsPerPixel = 0;     // bitCount, or what the colour count or image imply
  uint16_t resourceId = 0;  // the icon resource's number (PE and NE)
  size_t offset = 0;        // image bytes in the file
  size_t size = 0;
};

// One icon: a group-icon resource, or the whole of an icon file.
struct IconGroup {
  bool named = false;
  std::string name;  // UTF-8, when named
  uint32_t id = 0;   // resource number, when not named
  std::vector<IconImage> images;
};

enum class IconFileKind { Unknown, Pe32, Pe32Plus, Ne, Ico };

struct IconScan {
  IconFileKind kind = IconFileKind::Unknown;
  std::vector<IconGroup> groups;  // in the file's resource order
  // Why the file was refused (groups empty), or the first group or image
  // that was left out because it was damaged. Empty when all was well.
  std::string problem;
  bool refused = false;

  size_t Count() const { return groups.size(); }
};

// Finds the icons of a file whose whole content is `file`.
IconScan ReadIcons(std::span<const uint8_t> file);

// The image of `group` that suits a size x size icon on a display of
// `displayBits` bits per pixel best: the smallest difference in width plus
// height; among equals, the closest colour depth; among those, the first.
// -1 for a group without images.
int ChooseIconImage(const IconGroup& group, int size, int displayBits);

// Bytes of an icon file (.ico) holding every image of `group`, in the
// group's order, read from `file` (the buffer the group was read from).
std::vector<uint8_t> MakeIconFile(const IconGroup& group, std::span<const uint8_t> file);

// The group's number or name as a short text ("#12" or "NAME").
std::string GroupLabel(const IconGroup& group);

}  // namespace glyph
