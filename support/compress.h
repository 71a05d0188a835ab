// The block-sorting compressor: turns a byte stream into a compressed stream
// and back. Each block is run-length coded, perturbed at fixed spots, sorted
// by the Burrows-Wheeler transform, move-to-front coded with a bijective
// coding of zero runs, and finally arithmetic coded with small adaptive
// models. Every bit of the output is fixed by the input, so two correct
// encoders write the same stream.
//
// The coder state is process-wide: only one stream is open at a time, and
// opening a second one while a stream is open is a fatal failure. In the
// stream API every failure (corrupt stream, memory, I/O) is a fatal report
// from unit "compress" through support::reportFailure. decodeBuffer is the
// bounded form for bytes from files anyone may have written: it returns
// what was wrong with the stream instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace support {

// Called as work proceeds; may be null.
using CompressProgress = void (*)();

// Reads `input` to its end and writes one compressed stream to `output`.
// `progress` runs at the first input run and at every 32769th run after it.
// Clears the error state of both streams at the end.
void compressStream(std::FILE* input, std::FILE* output, CompressProgress progress);

// Decodes one compressed stream from `input` into `destination`, which must
// hold every decoded byte: a corrupt stream can then write anywhere. Prefer
// the overload with a capacity.
// Returns false, writing nothing, when the stream header is not recognised.
// `progress` runs once before each block.
bool uncompressStream(std::FILE* input, void* destination, CompressProgress progress);

// As above, with the size of `destination`: a stream that decodes to more
// than `capacity` bytes is a fatal "Destination overrun" report, and nothing
// is written past the end. `decodedSize`, when given, receives the number of
// bytes written. A block whose origPtr lies outside it is a fatal
// "Bad origPtr" report; every other corruption ends in one of the coder's
// fatal reports too, without reading or writing outside an array.
bool uncompressStream(std::FILE* input, void* destination, std::size_t capacity, CompressProgress progress,
                      std::size_t* decodedSize = nullptr);

// The same coder on memory, for tools, tests and benchmarks. Same failures.
std::vector<std::uint8_t> compressBuffer(const void* data, std::size_t size,
                                         CompressProgress progress = nullptr);
bool uncompressBuffer(const void* stream, std::size_t streamSize, void* destination, std::size_t capacity,
                      std::size_t* decodedSize = nullptr, CompressProgress progress = nullptr);

enum class DecodeResult {
  kOk,
  kNotAStream,   // the header is not recognised; nothing was written
  kTruncated,    // the stream ends inside a block
  kCorrupt,      // a block overruns its size, a bad origPtr, a run without its count...
  kOverrun,      // the stream decodes to more than `capacity` bytes
  kOutOfMemory,  // the decoder's block arrays could not be allocated
};

// Decodes one stream from memory into `destination`, never past
// `capacity`. Every fault of the stream comes back as a result, without a
// report; the bytes written before it are not to be used. `decodedSize`,
// when given, receives the number of bytes decoded (0 unless kOk). Opening
// a second stream while one is open (from `progress`) is still fatal: that
// is a fault of the caller, not of the stream.
DecodeResult decodeBuffer(const void* stream, std::size_t streamSize, void* destination, std::size_t capacity,
                          std::size_t* decodedSize = nullptr, CompressProgress progress = nullptr);

}  // namespace support
