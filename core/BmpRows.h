// Converts .bmp rows of every depth the reader accepts into the program's
// 32-bit pixels (0x00RRGGBB): palette indices of 1, 4 and 8 bits through
// the colour table, 16 and 32 bits through their bit fields (5-5-5 when
// the file gives none), 24 bits as they are.
//
// Byte 3 carries the file's alpha where it has one (a plain 32-bit file's
// fourth byte, or an alpha mask in a header of 56 bytes or more); else 0.
#pragma once

#include <array>
#include <cstdint>

#include "core/BmpFormat.h"
#include "core/Pixels.h"

namespace glyph {

class BmpRowDecoder {
 public:
  // `header` is the info header as read, followed by at least 1024 bytes:
  // the colour table or the bit masks, zeros where the file stored fewer.
  BmpRowDecoder(const BmpInfo& info, const uint8_t* header);

  // Decodes the info's width pixels of one file row into `out`.
  void Decode(const uint8_t* row, Pixel* out) const;

 private:
  // One colour channel of a bit-field pixel: where it lies and how to
  // stretch it to 8 bits.
  struct Channel {
    uint32_t shift = 0;
    uint32_t max = 0;  // the largest value the channel holds; 0: absent
    uint8_t Of(uint32_t value) const;
  };
  static Channel ChannelOf(uint32_t mask);
  void DecodeIndices(const uint8_t* row, Pixel* out) const;
  void DecodeFields(const uint8_t* row, Pixel* out) const;

  int width_ = 0;
  uint16_t bitCount_ = 0;
  bool fields_ = false;
  std::array<Pixel, 256> palette_{};
  Channel red_, green_, blue_, alpha_;
};

}  // namespace glyph
