// Feeds arbitrary bytes to the document reader as the command line does:
// the file's first two icons as documents, and the file as a picture.
// Whatever it reads must be a document the rest of the program can trust.
#include <cstddef>
#include <cstdint>
#include <span>

#include "icon/DocumentReader.h"

namespace {

bool Sane(const glyph::icon::DocumentRead& read) {
  if (read.Ok() == read.document.images.empty()) return false;
  for (const glyph::icon::IconDocumentImage& image : read.document.images) {
    const glyph::icon::RgbaImage& p = image.pixels;
    if (p.width < 1 || p.height < 1 || p.width > glyph::icon::kMaxIconSide ||
        p.height > glyph::icon::kMaxIconSide) {
      return false;
    }
    if (p.pixels.size() != static_cast<size_t>(p.width) * p.height * 4) return false;
    const bool png = image.storage == glyph::icon::IconStorage::kPng;
    if (png ? image.bits != 32
            : image.bits != 1 && image.bits != 4 && image.bits != 8 && image.bits != 24 && image.bits != 32) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  for (size_t group = 0; group < 2; ++group) {
    if (!Sane(glyph::icon::ReadDocument(file, group))) __builtin_trap();
  }
  glyph::icon::RgbaImage picture;
  std::string why;
  if (glyph::icon::ReadPicture(file, picture, why)) {
    if (picture.width < 1 || picture.height < 1 ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height * 4) {
      __builtin_trap();
    }
  } else if (why.empty()) {
    __builtin_trap();
  }
  return 0;
}
