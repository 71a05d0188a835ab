// Any byte string as a packed DIB from the clipboard: it must refuse with
// a reason or read, never read outside the input, never allocate past the
// limits. A picture read must hold exactly its pixels and come back the
// same through both clipboard forms written by the program.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "icon/ClipboardDib.h"
#include "icon/PngHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace glyph::icon;
  RgbaImage image;
  std::string why;
  if (!ReadClipboardDib(std::span<const uint8_t>(data, size), image, why)) {
    if (why.empty()) std::abort();
    return 0;
  }
  if (image.width < 1 || image.height < 1 || image.width > kMaxPngSide || image.height > kMaxPngSide ||
      image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4) {
    std::abort();
  }
  for (const auto& written : {WriteClipboardDibV5(image), WriteClipboardDib(image)}) {
    RgbaImage back;
    if (!ReadClipboardDib(written, back, why) || back.width != image.width || back.height != image.height ||
        back.pixels != image.pixels) {
      std::abort();
    }
  }
  return 0;
}
