// Any byte string through the .bmp reader: it must refuse or read, never
// touch memory outside its buffers. What it reads is drawn on with every
// portable pixel primitive over exactly the memory the reader made, so an
// image whose stride, width, height and size disagree is caught here.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/BmpFormat.h"
#include "core/Pixels.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  glyph::MemoryStream in(data, size);
  auto image = glyph::ReadBmpStream(in);
  if (!image) return 0;
  const glyph::PixelView view = image->View();
  if (view.width < 1 || view.height < 1 || view.stride < view.width || view.stride % 4 != 0 ||
      static_cast<size_t>(view.Count()) != image->pixels.size()) {
    std::abort();
  }

  // As the editor's CopyTo, BlendFrom, BlendRect, BlurAll and BlurRect do.
  std::vector<glyph::Pixel> copy(image->pixels);
  glyph::BlendPixels(view, copy.data(), 128);
  glyph::BlendRectPixels(view, -1, -1, view.width + 2, view.height + 2, 0x0000FF, 200);
  glyph::BlendRectPixels(view, view.width / 2, view.height / 2, view.width, view.height, 0x00FF00, 64);
  glyph::BlurPixels(view, copy.data(), 0, 0, view.width - 1, view.height - 1, 0);
  glyph::BlurPixels(view, copy.data(), view.width / 2, view.height / 2, view.width - 1, view.height - 1,
                    view.At(0, 0));
  glyph::BlendPixels(view, copy.data(), glyph::kOpaque);

  // The tools' alpha steps, on whatever alpha bytes the file held. Over an
  // opaque pixel the brush must mix exactly as MixByte.
  glyph::PaintThroughLayer(view, copy.data(), glyph::Paint{.color = 0x336699, .alpha = 200, .opacity = 100});
  glyph::PaintThroughLayer(view, copy.data(),
                           glyph::Paint{.opacity = 77, .erase = true, .transparent = 0xC0C0C0});
  for (int i = 0; i < view.Count(); ++i) {
    const glyph::Pixel opaque = copy[i] | 0xFF000000u;
    const glyph::Pixel mixed = glyph::PaintOver(opaque, 0x336699, 100);
    if (mixed !=
        (0xFF000000u | static_cast<glyph::Pixel>(glyph::MixByte((opaque >> 16) & 0xFF, 0x33, 100)) << 16 |
         static_cast<glyph::Pixel>(glyph::MixByte((opaque >> 8) & 0xFF, 0x66, 100)) << 8 |
         glyph::MixByte(opaque & 0xFF, 0x99, 100))) {
      std::abort();
    }
  }
  glyph::FloodFillPixels(view, view.width / 3, view.height / 3, 0x80FF00FFu);

  // What the writer makes of it reads back as the same image.
  glyph::MemoryStream out;
  glyph::WriteBmpStream(out, image->header.data(), image->header.size(),
                        reinterpret_cast<const uint8_t*>(image->pixels.data()),
                        static_cast<uint16_t>(view.width));
  glyph::MemoryStream written(out.Bytes().data(), out.Bytes().size());
  const auto again = glyph::ReadBmpStream(written);
  if (!again || again->width != image->width || again->height != image->height ||
      again->header != image->header || again->pixels != image->pixels ||
      again->bytesRead != out.Bytes().size()) {
    std::abort();
  }
  glyph::FillPixels(view, 1, 2, 3);
  return 0;
}
