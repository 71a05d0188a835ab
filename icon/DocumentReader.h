// Icon documents read from files, exactly: every image keeps its size, its
// pixels and how it was stored; nothing is resampled.
//
// - An icon group found by ReadIcons (IconResources.h) becomes a document
//   of its images in their order. BMP images of 1, 4, 8, 16, 24 and 32 bits
//   with their masks and PNG images are read; the image's own header gives
//   its size (the directory's fields are not used, so 256 written as 0 and
//   directories that lie read right). Below 32 bits a pixel is transparent
//   (alpha 0) where its mask bit is set and opaque elsewhere, its colour as
//   stored; a 32-bit pixel takes its alpha byte, unless every alpha byte of
//   the image is 0 (an icon from before alpha): then the mask decides, as
//   below 32 bits. A 16-bit image is held as 24 bits (its colours fit).
// - An image the document cannot hold is left out and named in a note:
//   one over kMaxIconSide a side, or a damaged one (cut short, a header that
//   does not describe it, a PNG that does not decode). The other images are
//   read, so one bad image does not cost the rest of the icon; a group none
//   of whose images can be read is an error. An image whose bytes another
//   image was already read from is left out too (a file cannot make the
//   reader hold one large image many times over).
// - A whole file: an icon file (its one group), a PE or NE file (a group by
//   index), or a PNG or BMP picture of at most kMaxIconSide a side, read as
//   a one-image document stored as it was found (PNG, or BMP at the file's
//   depth, 16 bits again held as 24).
// - A picture of any size the PNG codec accepts (PNG or BMP) as straight
//   RGBA: a 32-bit BMP keeps its alpha unless all of it is 0 (then it is
//   opaque, as the platform draws it); other BMP depths are opaque.
// Nothing in a file is trusted before it is checked, and nothing larger
// than the file's own bytes justify is allocated. Portable code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "icon/ByteReader.h"
#include "icon/IconDocument.h"
#include "icon/IconResources.h"
#include "icon/RgbaImage.h"

namespace glyph::icon {

struct DocumentRead {
  IconDocument document;
  // One sentence for each image left out.
  std::vector<std::string> notes;
  // Why no document could be read; empty when it was.
  std::string error;

  bool Ok() const { return error.empty(); }
};

// The images of `group`, found by ReadIcons in `file`.
DocumentRead ReadGroupDocument(const IconGroup& group, ByteReader& file);

// The icon a file's bytes hold: an icon file, group `groupIndex` of a PE or
// NE file (icon files hold one group: index 0), or a small picture.
DocumentRead ReadDocument(std::span<const uint8_t> file, size_t groupIndex = 0);

// Whether the bytes start as a PNG or BMP picture does (not an icon).
bool IsPicture(std::span<const uint8_t> file);

// A PNG or BMP picture of any size the PNG codec accepts; false with a
// sentence in `why` otherwise.
bool ReadPicture(std::span<const uint8_t> file, RgbaImage& out, std::string& why);

}  // namespace glyph::icon
