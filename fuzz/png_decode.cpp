// Any byte string through the native PNG codec: it must refuse or decode,
// never read outside the input, never allocate past the limits. A decoded
// picture must hold exactly its pixels, and encode and decode back the same.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "icon/PngCodec.h"
#include "icon/PngHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace glyph::icon;
  RgbaImage image;
  std::string why;
  if (!DecodePng(std::span<const uint8_t>(data, size), image, why)) {
    if (why.empty()) std::abort();
    return 0;
  }
  if (image.width < 1 || image.height < 1 || image.width > kMaxPngSide || image.height > kMaxPngSide ||
      image.pixels.size() != static_cast<size_t>(image.width) * image.height * 4) {
    std::abort();
  }
  std::vector<uint8_t> png;
  RgbaImage back;
  if (!EncodePng(image, png, why) || !DecodePng(png, back, why) || back.pixels != image.pixels) std::abort();
  return 0;
}
