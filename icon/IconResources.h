// Icons held by a file, read from its bytes: the group-icon resources of
// 32- and 64-bit PE files and of 16-bit NE files, and the images of an
// icon file (.ico).
//
// The reader trusts nothing in the file: every offset, size and count is
// checked against the file's size before it is used, resource trees that
// loop or nest too deep are refused, and nothing outside the file is read.
// A refused file has no icons and a reason; so has a file one of whose
// reads failed. Icon files are read as the platform, browsers and image
// libraries read them: directory fields nobody uses may hold anything, a
// 32-bit image may leave out its mask plane, and a byte count may be a
// few bytes off what the image's own header says. Only the parts the
// reader needs are read (headers, tables, directories, image headers).
// Portable code: no platform headers; the Windows layer (IconExtract.h)
// turns a group into an icon.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "icon/ByteReader.h"

namespace glyph::icon {

// One image of an icon group: its shape as the image's own header says,
// the fields of its directory entry as they were found, and where its
// bytes (a DIB with colour and mask planes, or a PNG stream) lie in the
// file.
struct IconImage {
  int width = 0;  // pixels
  int height = 0;
  int bitsPerPixel = 0;
  bool png = false;
  // False for a 32-bit DIB stored without its mask plane: its alpha says
  // what is transparent (ReadIconImage adds the plane).
  bool maskPlane = true;
  // The directory entry's own fields; readers do not rely on them.
  uint8_t colorCount = 0;
  uint8_t reserved = 0;
  uint16_t planes = 0;
  uint16_t bitCount = 0;
  uint16_t resourceId = 0;  // the icon resource's number (PE and NE)
  // The entry's place in its directory, counting the entries the scan left
  // out, so messages name an image as the file numbers it.
  uint16_t entry = 0;
  // The image's bytes in the file, as far as its header says it reaches
  // (whatever the directory's byte count said).
  size_t offset = 0;
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

// Finds the icons of the file `file` reads. A failed read refuses it.
IconScan ReadIcons(ByteReader& file);
// The same for a file whose whole content is `file`.
IconScan ReadIcons(std::span<const uint8_t> file);
// ReadIcons(file).Count(), for a folder scan: of each group only the first
// image the full scan would keep is read, so a file costs its headers,
// its resource directories and one image header per icon.
size_t CountIcons(ByteReader& file);

// The bytes of `image` as a whole icon image, read from `file` (the file
// the image was found in): a PNG stream as stored, or a DIB with both of
// its planes, the mask made from the alpha channel when the file left it
// out (transparent where alpha is 0; all opaque when no pixel has alpha).
// Empty when the bytes cannot be read.
std::vector<uint8_t> ReadIconImage(const IconImage& image, ByteReader& file);

// The image of `group` that suits a size x size icon on a display of
// `displayBits` bits per pixel best: the smallest difference in width plus
// height; among equals, the closest colour depth; among those, the first.
// -1 for a group without images.
int ChooseIconImage(const IconGroup& group, int size, int displayBits);

// Bytes of an icon file (.ico) holding every image of `group`, in the
// group's order, read from `file` (the file the group was read from) as
// ReadIconImage gives them, with directory entries that tell the truth
// about them. Empty when an image cannot be read.
std::vector<uint8_t> MakeIconFile(const IconGroup& group, ByteReader& file);
std::vector<uint8_t> MakeIconFile(const IconGroup& group, std::span<const uint8_t> file);

// The group's number or name as a short text ("#12" or "NAME").
std::string GroupLabel(const IconGroup& group);

}  // namespace glyph::icon
