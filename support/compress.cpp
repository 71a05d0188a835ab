// The compressor's stream API: FILE streams and memory, with the coder's
// fatal report or, for decodeBuffer, a returned verdict.
#include "support/compress.h"

#include <cstdint>
#include <cstdlib>

#include "support/CompressParts.h"
#include "support/ErrorReport.h"

namespace support {
namespace compress_detail {
namespace {

constexpr char kUnit[] = "compress";

}  // namespace

void Fail(int line, const char* text) {
  reportFailure(kUnit, line, text, true);
  std::abort();  // a fatal report never returns
}

const DecodeFailures kFatal(false);
const DecodeFailures kBounded(true);

BitStreamState g_bitStream = BitStreamState::kClosed;

}  // namespace compress_detail

using compress_detail::Compress;
using compress_detail::DecodeStop;
using compress_detail::Decompress;
using compress_detail::FileInput;
using compress_detail::FileOutput;
using compress_detail::kBounded;
using compress_detail::kFatal;
using compress_detail::MemoryInput;
using compress_detail::MemoryOutput;

void compressStream(std::FILE* input, std::FILE* output, CompressProgress progress) {
  FileInput in(input);
  FileOutput out(output);
  Compress(in, out, progress);
}

bool uncompressStream(std::FILE* input, void* destination, CompressProgress progress) {
  FileInput in(input);
  return Decompress(in, static_cast<std::uint8_t*>(destination), SIZE_MAX, progress, nullptr, nullptr,
                    kFatal);
}

bool uncompressStream(std::FILE* input, void* destination, std::size_t capacity, CompressProgress progress,
                      std::size_t* decodedSize) {
  FileInput in(input);
  return Decompress(in, static_cast<std::uint8_t*>(destination), capacity, progress, decodedSize, nullptr,
                    kFatal);
}

std::vector<std::uint8_t> compressBuffer(const void* data, std::size_t size, CompressProgress progress) {
  std::vector<std::uint8_t> stream;
  stream.reserve(size / 3 + 64);
  MemoryInput in(static_cast<const std::uint8_t*>(data), size);
  MemoryOutput out(stream);
  Compress(in, out, progress);
  return stream;
}

bool uncompressBuffer(const void* stream, std::size_t streamSize, void* destination, std::size_t capacity,
                      std::size_t* decodedSize, CompressProgress progress) {
  MemoryInput in(static_cast<const std::uint8_t*>(stream), streamSize);
  return Decompress(in, static_cast<std::uint8_t*>(destination), capacity, progress, decodedSize, nullptr,
                    kFatal);
}

DecodeResult decodeBuffer(const void* stream, std::size_t streamSize, void* destination, std::size_t capacity,
                          std::size_t* decodedSize, CompressProgress progress) {
  if (decodedSize) *decodedSize = 0;
  MemoryInput in(static_cast<const std::uint8_t*>(stream), streamSize);
  try {
    return Decompress(in, static_cast<std::uint8_t*>(destination), capacity, progress, decodedSize, nullptr,
                      kBounded)
               ? DecodeResult::kOk
               : DecodeResult::kNotAStream;
  } catch (const DecodeStop& stop) {
    if (decodedSize) *decodedSize = 0;
    return stop.result;
  }
}

}  // namespace support
