// An icon document: the images of one icon in their order, each as straight
// 8-bit RGBA pixels together with how it is stored in an icon file.
//
// A BMP image is a device-independent bitmap of 1, 4, 8, 24 or 32 bits per
// pixel with its AND mask; a PNG image is a PNG stream (read from any PNG
// form, written as 8-bit RGBA). Images below 32 bits have no alpha of their
// own: their pixels are opaque or, where the mask says so, transparent
// (alpha 0). The pixels are the image's whole truth; the storage says only
// how to write them, so a document read from a file and written again
// keeps every image's size, depth and form.
#pragma once

#include <vector>

#include "icon/RgbaImage.h"

namespace glyph::icon {

// An icon image is 1 to kMaxIconSide pixels a side (the directory of an
// icon file writes 256 as 0).
constexpr int kMaxIconSide = 256;

enum class IconStorage { kBmp, kPng };

struct IconDocumentImage {
  RgbaImage pixels;
  IconStorage storage = IconStorage::kBmp;
  // Bits per pixel of a BMP image: 1, 4, 8, 24 or 32. A PNG image says 32.
  int bits = 32;
};

struct IconDocument {
  std::vector<IconDocumentImage> images;
};

}  // namespace glyph::icon
