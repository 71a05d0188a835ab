// The compressor's decoder: the header, the move-to-front symbols of each
// block, the inverse transform and the undoing of the run-length coding,
// into the caller's memory and never past its capacity. How it fails is the
// caller's choice (DecodeFailures): a fatal report or a returned verdict.

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "support/CompressCoder.h"
#include "support/CompressParts.h"

namespace support::compress_detail {
namespace {

struct DecompressArrays {
  std::unique_ptr<std::uint8_t[]> bwt;
  std::unique_ptr<std::uint8_t[]> block;
  std::unique_ptr<std::uint32_t[]> ahead;
  std::unique_ptr<std::uint32_t[]> scratch;
};

// Reads the four header bytes; returns blockSize100k, or 0 when unknown.
template <class In>
int ReadHeader(BitReader<In>& bits) {
  int h[4];
  for (int& b : h) b = bits.HeaderByte();
  if (h[0] == kHeaderRes[0] && h[1] == kHeaderRes[1] && h[2] == kHeaderRes[2] && h[3] >= 0x42 &&
      h[3] <= 0x4A) {
    return h[3] - 0x41;
  }
  if (h[0] == kHeaderOld[0] && h[1] == kHeaderOld[1] && h[2] == kHeaderOld[2] && h[3] >= '1' && h[3] <= '9') {
    return h[3] - '0';
  }
  return 0;
}

template <class In>
class BlockDecoder {
 public:
  BlockDecoder(ArithDecoder<In>& coder, const DecodeFailures& failures)
      : coder_(coder), failures_(failures) {}

  std::uint32_t ReadValue() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<std::uint32_t>(coder_.Decode(bogus_) - 1);
    return v;
  }

  // Decodes one block's symbols into bwt (capacity `cap`); returns its length.
  std::size_t ReadBlock(std::uint8_t* bwt, std::size_t cap, compress_detail::TracedBlock* trace) {
    models_.Init();
    std::uint8_t list[256];
    for (int i = 0; i < 256; ++i) list[i] = static_cast<std::uint8_t>(i);
    std::size_t n = 0;
    std::size_t zeros = 0;
    for (;;) {
      const int sym = coder_.Decode(models_.basis);
      if (trace) trace->basis.push_back(sym);
      if (sym == kRunTwo || sym == kRunOne) {
        zeros = 2 * zeros + (sym == kRunTwo ? 2 : 1);
        if (zeros > cap - n) Overrun(__LINE__);
        continue;
      }
      if (zeros) {
        std::memset(bwt + n, list[0], zeros);
        n += zeros;
        zeros = 0;
      }
      if (sym == kEndOfBlock) return n;
      int v = 1;
      if (sym > kValueOne) {
        const int cls = sym - kValueOne - 1;
        const int extra = coder_.Decode(models_.values[cls]);
        if (trace) trace->extra.push_back(extra);
        v = extra - 1 + (1 << (cls + 1));
      }
      if (n >= cap) Overrun(__LINE__);
      const std::uint8_t c = list[v];
      std::memmove(list + 1, list, static_cast<std::size_t>(v));
      list[0] = c;
      bwt[n++] = c;
    }
  }

 private:
  [[noreturn]] void Overrun(int line) const {
    failures_.Stop(line, "Block overrun during decompression", DecodeResult::kCorrupt);
  }

  ArithDecoder<In>& coder_;
  const DecodeFailures& failures_;
  Model bogus_ = MakeBogus();
  BlockModels models_;
};

// Writes decoded bytes to the caller's memory, never past its capacity.
class Destination {
 public:
  Destination(std::uint8_t* p, std::size_t capacity, const DecodeFailures& failures)
      : p_(p), capacity_(capacity), failures_(failures) {}
  void Put(std::uint8_t b, std::size_t count) {
    if (count > capacity_ - written_) failures_.Stop(__LINE__, "Destination overrun", DecodeResult::kOverrun);
    std::memset(p_ + written_, b, count);
    written_ += count;
  }
  void Put(std::uint8_t b) {
    if (written_ == capacity_) failures_.Stop(__LINE__, "Destination overrun", DecodeResult::kOverrun);
    p_[written_++] = b;
  }
  std::size_t written() const { return written_; }

 private:
  std::uint8_t* p_;
  std::size_t capacity_;
  const DecodeFailures& failures_;
  std::size_t written_ = 0;
};

// Undoes the input run-length coding of one restored block.
void Unblock(const std::uint8_t* block, std::size_t n, bool last, Destination& dest,
             const DecodeFailures& failures) {
  std::size_t end = n;
  if (last) {
    if (n == 0 || block[n - 1] != kEndByte) failures.Stop(__LINE__, "Unblock error", DecodeResult::kCorrupt);
    end = n - 1;
  }
  int prev = -1;
  int equal = 0;
  for (std::size_t i = 0; i < end;) {
    const std::uint8_t b = block[i++];
    if (b == prev) {
      ++equal;
    } else {
      prev = b;
      equal = 1;
    }
    if (equal < 4) {
      dest.Put(b);
      continue;
    }
    if (i >= end) failures.Stop(__LINE__, "Unblock error", DecodeResult::kCorrupt);
    dest.Put(b, 1 + static_cast<std::size_t>(block[i++]));
    prev = -1;
    equal = 0;
  }
}

}  // namespace

template <class In>
bool Decompress(In& in, std::uint8_t* destination, std::size_t capacity, CompressProgress progress,
                std::size_t* decodedSize, std::vector<compress_detail::TracedBlock>* trace,
                const DecodeFailures& failures) {
  if (decodedSize) *decodedSize = 0;
  BitStreamSession session(BitStreamState::kReading);
  BitReader<In> bits(in, failures);
  const int blockSize100k = ReadHeader(bits);
  if (blockSize100k == 0) {
    session.Close();
    return false;
  }
  const std::size_t cap = static_cast<std::size_t>(blockSize100k) * kBlockUnit;
  DecompressArrays arrays;
  arrays.bwt.reset(new (std::nothrow) std::uint8_t[cap]);
  arrays.block.reset(new (std::nothrow) std::uint8_t[cap]);
  arrays.ahead.reset(new (std::nothrow) std::uint32_t[cap]);
  arrays.scratch.reset(new (std::nothrow) std::uint32_t[cap]);
  if (!arrays.bwt || !arrays.block || !arrays.ahead || !arrays.scratch) {
    failures.Stop(__LINE__, "uncompressOutOfMemory", DecodeResult::kOutOfMemory);
  }

  ArithDecoder<In> coder(bits);
  BlockDecoder<In> decoder(coder, failures);
  Destination dest(destination, capacity, failures);
  for (bool last = false; !last;) {
    if (progress) progress();
    compress_detail::TracedBlock* traced = nullptr;
    if (trace) traced = &trace->emplace_back();
    const std::uint32_t value = decoder.ReadValue();
    if (traced) traced->headerValue = value;
    last = (value & 0x80000000u) != 0;
    const std::uint32_t origPtr = last ? ~value : value - 1;
    std::uint8_t* bwt = arrays.bwt.get();
    const std::size_t n = decoder.ReadBlock(bwt, cap, traced);
    if (trace) continue;
    if (origPtr >= n) failures.Stop(__LINE__, "Bad origPtr", DecodeResult::kCorrupt);

    std::uint8_t* block = arrays.block.get();
    InverseTransform(bwt, static_cast<std::uint32_t>(n), origPtr, block, arrays.ahead.get(),
                     arrays.scratch.get());
    Perturb(block, n, -1);
    Unblock(block, n, last, dest, failures);
  }
  session.Close();
  in.Clear();
  if (decodedSize) *decodedSize = dest.written();
  return true;
}

template bool Decompress(FileInput&, std::uint8_t*, std::size_t, CompressProgress, std::size_t*,
                         std::vector<TracedBlock>*, const DecodeFailures&);
template bool Decompress(MemoryInput&, std::uint8_t*, std::size_t, CompressProgress, std::size_t*,
                         std::vector<TracedBlock>*, const DecodeFailures&);

bool traceStream(const std::uint8_t* stream, std::size_t size, std::vector<TracedBlock>& blocks) {
  blocks.clear();
  MemoryInput in(stream, size);
  return Decompress(in, nullptr, 0, nullptr, nullptr, &blocks, kFatal);
}

}  // namespace support::compress_detail
