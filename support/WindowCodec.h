// The archive's second compression method: an LZ77 stream with a window of
// 8192 bytes. Control bits come in 16-bit little-endian words, lowest bit
// first, each word followed by the data bytes of the items it describes:
//   1            literal: one byte follows
//   0 1 g h      long copy, distance 8192 - ((h >> 3) * 256 + g); length
//                (h & 7) + 2 when h & 7 is not 0, else an extra byte n:
//                0 ends the stream, 1 is a filler, otherwise length n + 1
//   0 0 a b c    short copy of 2a + b + 2 bytes from distance 256 - c
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace support {

using ProgressFunc = void (*)();

// Packs `size` bytes. `progress` (may be null) is called as work proceeds.
std::vector<uint8_t> WindowCompress(const uint8_t* data, size_t size, ProgressFunc progress);

enum class WindowResult {
  kOk,
  kTruncated,    // the stream ended before its end mark
  kBadDistance,  // a copy reaches back before the first byte
  kOverrun,      // the output would exceed the destination
};

// Unpacks a stream into `dest`, which holds `capacity` bytes; `*produced`
// receives the number of bytes written. Never reads or writes outside the
// two arrays, whatever the stream holds.
WindowResult WindowDecompress(const uint8_t* in, size_t inSize, uint8_t* dest, size_t capacity,
                              size_t* produced, ProgressFunc progress);

}  // namespace support
