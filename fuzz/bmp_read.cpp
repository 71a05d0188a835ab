// Any byte string through the .bmp reader: it must refuse or read, never
// touch memory outside its buffers.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/BmpFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  glyph::MemoryStream in(data, size);
  if (auto image = glyph::ReadBmpStream(in)) {
    const glyph::BmpInfo info = image->Info();
    // Rewrite what was read: the writer must stay inside the same buffers.
    glyph::MemoryStream out;
    const size_t headerBytes = std::min<size_t>(image->header.size(), info.size + 4u * info.ColorCount());
    glyph::WriteBmpStream(out, image->header.data(), headerBytes, image->rows.data(), image->reserved1);
  }
  return 0;
}
