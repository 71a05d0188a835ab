// The pieces of the block-sorting compressor, exposed so that tests can
// check each step: the blocks the encoder builds, the perturbation, the
// rotation sort, the zero-run digits, and the symbol layer of a stream
// (read from one, or coded into one no encoder would write). Production
// callers use support/compress.h; only the compressor's own files and its
// tests include this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/compress.h"

namespace support::compress_detail {

// Longest block the encoder starts a run in: 9 * 100000 - 19.
constexpr std::size_t kBlockLimit = 899981;

// Splits `data` into the run-length coded blocks the encoder builds (before
// perturbation); the last block ends with the end byte 0x2A.
std::vector<std::vector<std::uint8_t>> buildBlocks(const std::uint8_t* data, std::size_t size);

// Adds (+1) or removes (-1) the perturbation at the spot positions.
void perturbBlock(std::uint8_t* block, std::size_t size, int direction);

// Sorts the cyclic rotations of `block`: order[k] is the start of the k-th
// smallest rotation. Returns the rank of the rotation that starts at 0.
std::int32_t sortRotations(const std::uint8_t* block, std::int32_t size, std::int32_t* order);

// Basis symbols (1 = run-two, 2 = run-one) for a run of `zeros` zeros,
// most significant digit first.
std::vector<int> zeroRunDigits(std::uint32_t zeros);

// The symbol layer of one coded block, as a decoder sees it.
struct TracedBlock {
  std::uint32_t headerValue = 0;  // origPtr + 1, or ~origPtr for the last block
  std::vector<int> basis;         // basis symbols, including the end-of-block 11
  std::vector<int> extra;         // symbols of the value models, in order
};
// Decodes the arithmetic layer of a stream without undoing the transform.
// Returns false when the header is not recognised.
bool traceStream(const std::uint8_t* stream, std::size_t size, std::vector<TracedBlock>& blocks);
// Codes the given symbols as a stream with the header "Res" + sizeLetter,
// so that tests can build streams no encoder would write.
std::vector<std::uint8_t> encodeTrace(const std::vector<TracedBlock>& blocks, std::uint8_t sizeLetter = 'J');

}  // namespace support::compress_detail
