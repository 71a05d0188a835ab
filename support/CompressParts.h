// What the compressor's own files share: the stream format's constants, how
// the coder fails, the byte sources and sinks, the process-wide bit stream,
// and the steps one file hands to another (perturbation, rotation sort, the
// encoder and decoder loops). Only support/Compress*.cpp and compress.cpp
// include this; callers use support/compress.h.
//
// Compress and Decompress are defined in CompressEncode.cpp and
// CompressDecode.cpp for the byte sources and sinks below only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "support/CompressInternal.h"
#include "support/compress.h"

namespace support::compress_detail {

// The coder's fatal report from unit "compress"; never returns.
[[noreturn]] void Fail(int line, const char* text);

// How the decoder leaves a corrupt stream. The stream API makes the coder's
// fatal report, as the format asks; the bounded form (readers of files that
// anyone may have written) unwinds to its entry point with the verdict
// instead, which returns it. Owners and the bit stream session free on the
// way out.
struct DecodeStop {
  DecodeResult result;
};

class DecodeFailures {
 public:
  explicit DecodeFailures(bool bounded) : bounded_(bounded) {}
  [[noreturn]] void Stop(int line, const char* text, DecodeResult result) const {
    if (bounded_) throw DecodeStop{result};
    Fail(line, text);
  }

 private:
  bool bounded_;
};

// The stream API's failures (a fatal report) and the bounded decoder's.
extern const DecodeFailures kFatal;
extern const DecodeFailures kBounded;

// ---------------------------------------------------------------------------
// Stream format constants.

constexpr std::uint8_t kHeaderRes[3] = {0x52, 0x65, 0x73};  // "Res" + 'A' + blockSize100k
constexpr std::uint8_t kHeaderOld[3] = {0x42, 0x5A, 0x30};  // "BZ0" + '1'..'9'
constexpr int kEncoderBlockSize100k = 9;
constexpr std::size_t kBlockUnit = 100000;
static_assert(kBlockLimit == kEncoderBlockSize100k * kBlockUnit - 19);
constexpr std::uint8_t kEndByte = 0x2A;
constexpr int kMaxRun = 255;
constexpr unsigned kProgressRuns = 32769;
constexpr int kCodeBits = 26;
constexpr std::uint32_t kHalf = 0x2000000;
constexpr std::uint32_t kQuarter = 0x1000000;
constexpr std::uint32_t kMaxOutstanding = 500000000;

// Perturbation spots: 8000, then + 17 * a + 7915 with a cycling through
// these factors.
constexpr std::size_t kFirstSpot = 8000;
constexpr int kSpotFactors[8] = {4, 5, 9, 2, 6, 7, 3, 1};

// Basis symbols.
constexpr int kRunTwo = 1;
constexpr int kRunOne = 2;
constexpr int kValueOne = 3;
constexpr int kEndOfBlock = 11;

// ---------------------------------------------------------------------------
// Byte sources and sinks. FILE streams use the unlocked calls where the C
// library has them: only one stream runs at a time anyway.

class FileInput {
 public:
  explicit FileInput(std::FILE* f) : f_(f) {}
  int Get() {
#if defined(__GLIBC__)
    return getc_unlocked(f_);
#else
    return std::getc(f_);
#endif
  }
  bool Bad() const { return std::ferror(f_) != 0; }
  void Clear() { std::clearerr(f_); }

 private:
  std::FILE* f_;
};

class MemoryInput {
 public:
  MemoryInput(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
  int Get() { return p_ < end_ ? *p_++ : EOF; }
  bool Bad() const { return false; }
  void Clear() {}

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

class FileOutput {
 public:
  explicit FileOutput(std::FILE* f) : f_(f) {}
  bool Put(std::uint8_t b) {
#if defined(__GLIBC__)
    return putc_unlocked(b, f_) != EOF;
#else
    return std::putc(b, f_) != EOF;
#endif
  }
  void Clear() { std::clearerr(f_); }

 private:
  std::FILE* f_;
};

class MemoryOutput {
 public:
  explicit MemoryOutput(std::vector<std::uint8_t>& out) : out_(out) {}
  bool Put(std::uint8_t b) {
    out_.push_back(b);
    return true;
  }
  void Clear() {}

 private:
  std::vector<std::uint8_t>& out_;
};

// ---------------------------------------------------------------------------
// The process-wide bit stream: closed, or open for reading or writing.

enum class BitStreamState { kClosed, kReading, kWriting };
extern BitStreamState g_bitStream;

// Opens the bit stream and closes it again if the coder is left by an
// exception (a test's failure seam); the normal path closes explicitly.
class BitStreamSession {
 public:
  explicit BitStreamSession(BitStreamState mode) {
    if (g_bitStream != BitStreamState::kClosed) {
      Fail(__LINE__, mode == BitStreamState::kReading ? "bsOpenReadStream" : "bsOpenWriteStream");
    }
    g_bitStream = mode;
  }
  ~BitStreamSession() {
    if (!closed_) g_bitStream = BitStreamState::kClosed;
  }
  void Close() {
    if (g_bitStream == BitStreamState::kClosed) Fail(__LINE__, "bsClose");
    g_bitStream = BitStreamState::kClosed;
    closed_ = true;
  }
  BitStreamSession(const BitStreamSession&) = delete;
  BitStreamSession& operator=(const BitStreamSession&) = delete;

 private:
  bool closed_ = false;
};

// ---------------------------------------------------------------------------
// Steps shared between the compressor's files.

// Adds (+1) or removes (-1) the perturbation; spots lie before the block's
// last index.
void Perturb(std::uint8_t* block, std::size_t size, int direction);

// Sorts the rotations of blocks of up to `capacity` bytes. It keeps its
// working room from one block to the next and never clears it, so that a
// stream touches each page of it at most once, and only the pages its blocks
// need. The constructor throws std::bad_alloc when the room cannot be had.
class RotationSorter {
 public:
  explicit RotationSorter(std::size_t capacity);
  // Sorts the rotations of block[0..n) (n <= capacity) into `order` (n
  // words); returns the rank of the rotation that starts at 0. With
  // `lastColumn`, which may be the bytes of `order` itself, it writes there
  // the byte before each rotation in their order instead of the order.
  // It leaves the block rotated (to its smallest rotation).
  std::int32_t Sort(std::uint8_t* block, std::int32_t n, std::int32_t* order,
                    std::uint8_t* lastColumn = nullptr);

 private:
  std::size_t capacity_;
  std::unique_ptr<std::uint8_t[]> types_;    // suffix types at each level of the recursion
  std::unique_ptr<std::int32_t[]> counts_;   // symbol counts at each level
  std::unique_ptr<std::int32_t[]> buckets_;  // bucket ends, rebuilt from the counts where used
};

// Restores block[0..n) from its last column bwt[0..n) and the row of
// rotation 0 (origPtr < n). `ahead` and `scratch` hold n words each.
void InverseTransform(const std::uint8_t* bwt, std::uint32_t n, std::uint32_t origPtr, std::uint8_t* block,
                      std::uint32_t* ahead, std::uint32_t* scratch);

// Writes one stream of the bytes of `in` to `out`.
template <class In, class Out>
void Compress(In& in, Out& out, CompressProgress progress);

// Decodes one stream from `in` into destination[0..capacity); with `trace`,
// records the symbol layer instead of undoing the transform.
template <class In>
bool Decompress(In& in, std::uint8_t* destination, std::size_t capacity, CompressProgress progress,
                std::size_t* decodedSize, std::vector<TracedBlock>* trace, const DecodeFailures& failures);

extern template void Compress(FileInput&, FileOutput&, CompressProgress);
extern template void Compress(MemoryInput&, MemoryOutput&, CompressProgress);
extern template bool Decompress(FileInput&, std::uint8_t*, std::size_t, CompressProgress, std::size_t*,
                                std::vector<TracedBlock>*, const DecodeFailures&);
extern template bool Decompress(MemoryInput&, std::uint8_t*, std::size_t, CompressProgress, std::size_t*,
                                std::vector<TracedBlock>*, const DecodeFailures&);

}  // namespace support::compress_detail
