// The compressor's encoder: input run-length coding into blocks, the
// perturbation, move-to-front and zero-run coding of the sorted block, and
// the loop that writes a whole stream.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "support/CompressCoder.h"
#include "support/CompressParts.h"

namespace support::compress_detail {
namespace {

// ---------------------------------------------------------------------------
// Block building (input run-length coding) and perturbation.

// The input with one byte held back: a run ends at the first byte that
// differs, which starts the next run (and maybe the next block).
template <class In>
class RunSource {
 public:
  explicit RunSource(In& in) : in_(in) {}
  int Get() {
    if (held_ == kNothing) return in_.Get();
    const int c = held_;
    held_ = kNothing;
    return c;
  }
  void Hold(int c) { held_ = c; }

 private:
  static constexpr int kNothing = -2;  // EOF is -1
  In& in_;
  int held_ = kNothing;
};

// Appends runs from `in` to `block` until the block reaches the limit or the
// input ends; returns true for the last block (then ending with kEndByte).
template <class In>
bool FillBlock(RunSource<In>& in, std::uint8_t* block, std::size_t& length, unsigned& runs,
               CompressProgress progress) {
  std::size_t n = 0;
  for (;;) {
    if (n >= kBlockLimit) {
      length = n;
      return false;
    }
    const int c = in.Get();
    if (c == EOF) {
      block[n++] = kEndByte;
      length = n;
      return true;
    }
    if (runs++ % kProgressRuns == 0 && progress) progress();
    int run = 1;
    while (run < kMaxRun) {
      const int d = in.Get();
      if (d == c) {
        ++run;
        continue;
      }
      in.Hold(d);
      break;
    }
    const std::uint8_t b = static_cast<std::uint8_t>(c);
    if (run <= 3) {
      for (int i = 0; i < run; ++i) block[n++] = b;
    } else {
      block[n] = block[n + 1] = block[n + 2] = block[n + 3] = b;
      block[n + 4] = static_cast<std::uint8_t>(run - 4);
      n += 5;
    }
  }
}

}  // namespace

// Spots lie before the block's last index.
void Perturb(std::uint8_t* block, std::size_t size, int direction) {
  if (size == 0) return;
  const std::size_t last = size - 1;
  std::size_t spot = kFirstSpot;
  for (int k = 0; spot < last; k = (k + 1) % 8) {
    block[spot] = static_cast<std::uint8_t>(block[spot] + direction);
    spot += 17 * kSpotFactors[k] + 7915;
  }
}

namespace {

// ---------------------------------------------------------------------------
// Compression.

// Places at the front of the move-to-front list searched byte by byte.
constexpr int kNearFront = 16;

template <class Out>
class BlockEncoder {
 public:
  explicit BlockEncoder(ArithEncoder<Out>& coder) : coder_(coder) {}

  void SendValue(std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
      coder_.Encode(bogus_, static_cast<int>((v >> shift) & 0xFF) + 1);
  }

  // Codes the transformed block as move-to-front symbols.
  void SendBlock(const std::uint8_t* bwt, std::size_t n) {
    models_.Init();
    std::uint8_t list[256];
    for (int i = 0; i < 256; ++i) list[i] = static_cast<std::uint8_t>(i);
    std::uint32_t zeros = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint8_t c = bwt[i];
      if (list[0] == c) {
        ++zeros;
        continue;
      }
      if (zeros) {
        SendZeros(zeros);
        zeros = 0;
      }
      // Most bytes stand near the front of the list: look there, and move
      // the few before them, without a call.
      int j = 1;
      while (j < kNearFront && list[j] != c) ++j;
      if (j < kNearFront) {
        for (int k = j; k > 0; --k) list[k] = list[k - 1];
      } else {
        const void* at = std::memchr(list + kNearFront, c, sizeof list - kNearFront);
        j = static_cast<int>(static_cast<const std::uint8_t*>(at) - list);
        std::memmove(list + 1, list, static_cast<std::size_t>(j));
      }
      list[0] = c;
      SendMtfValue(j);
    }
    if (zeros) SendZeros(zeros);
    coder_.Encode(models_.basis, kEndOfBlock);
  }

  // Sends the symbols of a traced block as they are (for crafted streams).
  void SendSymbols(const compress_detail::TracedBlock& block) {
    SendValue(block.headerValue);
    models_.Init();
    std::size_t extra = 0;
    for (int sym : block.basis) {
      coder_.Encode(models_.basis, sym);
      if (sym > kValueOne && sym < kEndOfBlock) {
        coder_.Encode(models_.values[sym - kValueOne - 1], block.extra.at(extra++));
      }
    }
  }

 private:
  void SendZeros(std::uint32_t n) {
    int digits[40];
    int count = 0;
    while (n > 2) {
      digits[count++] = (n % 2 == 0) ? kRunTwo : kRunOne;
      n = (n - 1) / 2;
    }
    digits[count++] = n == 2 ? kRunTwo : kRunOne;
    while (count > 0) coder_.Encode(models_.basis, digits[--count]);
  }

  void SendMtfValue(int v) {
    if (v == 1) {
      coder_.Encode(models_.basis, kValueOne);
      return;
    }
    // Class c (0 for 2-3 ... 6 for 128-255) covers 2^(c+1) .. 2^(c+2)-1.
    int cls = 0;
    while ((v >> (cls + 2)) != 0) ++cls;
    if (cls > 6) Fail(__LINE__, "sendMTFVal: bad value!");
    coder_.Encode(models_.basis, kValueOne + 1 + cls);
    coder_.Encode(models_.values[cls], v - (1 << (cls + 1)) + 1);
  }

 private:
  ArithEncoder<Out>& coder_;
  Model bogus_ = MakeBogus();
  BlockModels models_;
};

template <class Out>
void WriteHeader(Out& out, std::uint8_t sizeLetter) {
  for (std::uint8_t b : kHeaderRes) {
    if (!out.Put(b)) Fail(__LINE__, "EOF!");
  }
  if (!out.Put(sizeLetter)) Fail(__LINE__, "EOF!");
}

struct CompressArrays {
  std::unique_ptr<std::uint8_t[]> block;
  std::unique_ptr<std::int32_t[]> order;
  std::unique_ptr<RotationSorter> sorter;
};

// Room for the limit plus the longest run that may start just before it.
constexpr std::size_t kBlockCapacity = kEncoderBlockSize100k * kBlockUnit;

}  // namespace

template <class In, class Out>
void Compress(In& in, Out& out, CompressProgress progress) {
  CompressArrays arrays;
  arrays.block.reset(new (std::nothrow) std::uint8_t[kBlockCapacity]);
  arrays.order.reset(new (std::nothrow) std::int32_t[kBlockCapacity]);
  try {
    arrays.sorter = std::make_unique<RotationSorter>(kBlockCapacity);
  } catch (const std::bad_alloc&) {
  }
  if (!arrays.block || !arrays.order || !arrays.sorter) Fail(__LINE__, "compressOutOfMemory");

  BitStreamSession session(BitStreamState::kWriting);
  WriteHeader(out, static_cast<std::uint8_t>(0x41 + kEncoderBlockSize100k));
  ArithEncoder<Out> coder(out);
  BlockEncoder<Out> encoder(coder);

  RunSource<In> source(in);
  unsigned runs = 0;
  bool last = false;
  while (!last) {
    std::size_t n = 0;
    last = FillBlock(source, arrays.block.get(), n, runs, progress);
    Perturb(arrays.block.get(), n, +1);
    const std::int32_t size = static_cast<std::int32_t>(n);
    // The last column goes into the bytes of the order: only it is coded.
    std::uint8_t* const bwt = reinterpret_cast<std::uint8_t*>(arrays.order.get());
    const std::int32_t origPtr = arrays.sorter->Sort(arrays.block.get(), size, arrays.order.get(), bwt);
    if (origPtr < 0) Fail(__LINE__, "doReversibleTransformation");
    encoder.SendValue(last ? ~static_cast<std::uint32_t>(origPtr) : static_cast<std::uint32_t>(origPtr) + 1);
    encoder.SendBlock(bwt, n);
  }
  coder.Finish();
  session.Close();
  if (in.Bad()) Fail(__LINE__, "streamBad!");
  in.Clear();
  out.Clear();
}

template void Compress(FileInput&, FileOutput&, CompressProgress);
template void Compress(MemoryInput&, MemoryOutput&, CompressProgress);

std::vector<std::vector<std::uint8_t>> buildBlocks(const std::uint8_t* data, std::size_t size) {
  std::vector<std::vector<std::uint8_t>> blocks;
  MemoryInput in(data, size);
  RunSource<MemoryInput> source(in);
  std::vector<std::uint8_t> block(kBlockCapacity);
  unsigned runs = 0;
  for (bool last = false; !last;) {
    std::size_t n = 0;
    last = FillBlock(source, block.data(), n, runs, nullptr);
    blocks.emplace_back(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
  }
  return blocks;
}

void perturbBlock(std::uint8_t* block, std::size_t size, int direction) { Perturb(block, size, direction); }

std::vector<int> zeroRunDigits(std::uint32_t zeros) {
  std::vector<int> digits;
  while (zeros > 2) {
    digits.push_back(zeros % 2 == 0 ? kRunTwo : kRunOne);
    zeros = (zeros - 1) / 2;
  }
  digits.push_back(zeros == 2 ? kRunTwo : kRunOne);
  std::reverse(digits.begin(), digits.end());
  return digits;
}

std::vector<std::uint8_t> encodeTrace(const std::vector<TracedBlock>& blocks, std::uint8_t sizeLetter) {
  std::vector<std::uint8_t> stream;
  MemoryOutput out(stream);
  BitStreamSession session(BitStreamState::kWriting);
  WriteHeader(out, sizeLetter);
  ArithEncoder<MemoryOutput> coder(out);
  BlockEncoder<MemoryOutput> encoder(coder);
  for (const TracedBlock& block : blocks) encoder.SendSymbols(block);
  coder.Finish();
  session.Close();
  return stream;
}

}  // namespace support::compress_detail
