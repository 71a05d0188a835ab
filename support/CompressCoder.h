// The arithmetic coder and its adaptive models: the encoder writes the
// exact lower end of the coding interval in bytes, the decoder reads it back
// through a bit reader that fails the stream at its end. The block encoder
// and decoder drive these symbol by symbol; the models' frequencies and the
// coder's arithmetic fix every bit of the stream, so nothing here may change
// without changing the output.
#pragma once

#include <bit>
#include <cstdint>

#include "support/CompressParts.h"

namespace support::compress_detail {

// ---------------------------------------------------------------------------
// Adaptive frequency models, symbols numbered 1..n.

struct Model {
  const char* name;
  int symbols;
  std::uint32_t increment;
  std::uint32_t limit;
  std::uint32_t total = 0;
  std::uint32_t rescalings = 0;
  std::uint32_t freq[257] = {};
  // Models with many symbols keep their sums in a binary indexed tree, so
  // finding a cumulative frequency takes log(n) steps instead of n.
  std::uint32_t tree[257] = {};
  int topStep = 0;  // the largest power of two below `symbols`

  bool Indexed() const { return symbols > 16; }

  void Init() {
    const std::uint32_t start = increment ? increment : 1;
    for (int s = 1; s <= symbols; ++s) freq[s] = start;
    total = start * static_cast<std::uint32_t>(symbols);
    rescalings = 0;
    BuildTree();
  }
  void Update(int s) {
    freq[s] += increment;
    total += increment;
    if (total > limit) {
      ++rescalings;
      total = 0;
      for (int i = 1; i <= symbols; ++i) {
        freq[i] = (freq[i] + 1) / 2;
        total += freq[i];
      }
      BuildTree();
    } else if (Indexed() && increment) {
      for (int i = s; i <= symbols; i += i & -i) tree[i] += increment;
    }
  }
  // Sum of the frequencies of the symbols below s.
  std::uint32_t Below(int s) const {
    std::uint32_t c = 0;
    if (!Indexed()) {
      for (int i = 1; i < s; ++i) c += freq[i];
      return c;
    }
    for (int i = s - 1; i > 0; i -= i & -i) c += tree[i];
    return c;
  }
  // The decoder's symbol: the first s whose cumulative frequency exceeds
  // e = min(value / r, total - 1). A sum c is at most e exactly when c * r is
  // at most value (c * r never exceeds the range), so no division is needed.
  // `below` gets the sum of the frequencies under s.
  int Find(std::uint32_t value, std::uint32_t r, std::uint32_t& below) const {
    std::uint32_t c = 0;
    if (!Indexed()) {
      int s = 1;
      while (s < symbols && (c + freq[s]) * r <= value) c += freq[s++];
      below = c;
      return s;
    }
    // Without branches on the data: which way the descent goes is as good
    // as random to the processor.
    int pos = 0;
    for (int step = topStep; step > 0; step >>= 1) {
      const int next = pos + step;
      const std::uint32_t sum = c + tree[next];
      const bool take = next < symbols && sum * r <= value;
      pos = take ? next : pos;
      c = take ? sum : c;
    }
    below = c;
    return pos + 1;
  }
  void BuildTree() {
    if (!Indexed()) return;
    // The descent ends at most at pos = symbols - 1 (the answer is pos + 1),
    // so a step that would reach `symbols` itself is never taken.
    topStep = static_cast<int>(std::bit_floor(static_cast<unsigned>(symbols - 1)));
    for (int i = 1; i <= symbols; ++i) tree[i] = freq[i];
    for (int i = 1; i <= symbols; ++i) {
      const int j = i + (i & -i);
      if (j <= symbols) tree[j] += tree[i];
    }
  }
};

// range / total as a multiplication by a rounded-up reciprocal: exact for
// every range below 2^26 and total up to 2048 (the error term total * 2^-37
// stays under 2^-26), and totals never exceed a model's limit of 1000.
struct Reciprocals {
  std::uint64_t of[1025];
  constexpr Reciprocals() : of() {
    for (std::uint64_t t = 1; t <= 1024; ++t) of[t] = ((std::uint64_t{1} << 37) + t - 1) / t;
  }
};
inline constexpr Reciprocals kReciprocals;

inline std::uint32_t DivideByTotal(std::uint32_t range, std::uint32_t total) {
  if (total > 1024) return range / total;
  return static_cast<std::uint32_t>((range * kReciprocals.of[total]) >> 37);
}

// The eight block models: basis, then the value classes 2-3 ... 128-255.
struct BlockModels {
  Model basis{"basis", 11, 12, 1000};
  Model values[7] = {{"2-3", 2, 4, 1000},      {"4-7", 4, 3, 1000},    {"8-15", 8, 3, 1000},
                     {"16-31", 16, 3, 1000},   {"32-63", 32, 3, 1000}, {"64-127", 64, 2, 1000},
                     {"128-255", 128, 1, 1000}};
  void Init() {
    basis.Init();
    for (Model& m : values) m.Init();
  }
};

inline Model MakeBogus() {
  Model m{"bogus", 256, 0, 256};
  m.Init();
  return m;
}

template <class In>
class BitReader {
 public:
  BitReader(In& in, const DecodeFailures& failures) : in_(in), failures_(failures) {}
  // A raw header byte; -1 at the end of the input.
  int HeaderByte() { return in_.Get(); }
  std::uint32_t GetBit() {
    if (count_ == 0) Refill();
    --count_;
    return (buffer_ >> count_) & 1;
  }
  // n <= 26 bits, most significant first.
  std::uint32_t GetBits(int n) {
    while (count_ < n) Refill();
    count_ -= n;
    return static_cast<std::uint32_t>(buffer_ >> count_) & ((1u << n) - 1);
  }

 private:
  void Refill() {
    const int c = in_.Get();
    if (c == EOF) failures_.Stop(__LINE__, "Compressed stream EOF", DecodeResult::kTruncated);
    buffer_ = (buffer_ << 8) | static_cast<std::uint32_t>(c);
    count_ += 8;
  }
  In& in_;
  const DecodeFailures& failures_;
  std::uint64_t buffer_ = 0;
  int count_ = 0;
};

// ---------------------------------------------------------------------------
// Arithmetic coder.

// Emits the bits of the exact lower end of the coding interval as they
// settle. This writes the same bits as the textbook coder that resolves
// straddling bits as "outstanding" (a 0 then ones, or a 1 then zeros: a
// carry, or none, into a run of ones), without a branch per bit: low keeps
// the 26-bit window plus the bits above it not yet written, and a carry out
// of them reaches the last settled byte (`cache_`) and the run of 0xFF bytes
// after it.
template <class Out>
class ArithEncoder {
 public:
  explicit ArithEncoder(Out& out) : out_(out) {}

  void Encode(Model& m, int s) {
    const std::uint32_t r = DivideByTotal(range_, m.total);
    const std::uint32_t f = m.freq[s];
    const std::uint32_t c = m.Below(s);
    low_ += static_cast<std::uint64_t>(r) * c;
    std::uint32_t range = c + f < m.total ? r * f : range_ - r * c;
    if (range <= kQuarter) {
      // Doublings until range exceeds a quarter again.
      int shift = std::countl_zero(range) - std::countl_zero(kQuarter);
      if ((range << shift) <= kQuarter) ++shift;
      range <<= shift;
      low_ <<= shift;
      pending_ += static_cast<std::uint32_t>(shift);
      while (pending_ >= 8) ShiftByte();
    }
    range_ = range;
    m.Update(s);
  }

  // The 26 bits of low, then zero bits up to the byte boundary.
  void Finish() {
    low_ <<= kCodeBits;
    pending_ += kCodeBits;
    while (pending_ >= 8) ShiftByte();
    if (pending_ > 0) {
      low_ <<= 8 - pending_;
      pending_ = 8;
      ShiftByte();
    }
    if (haveCache_) Emit(cache_);
    for (; run_ > 0; --run_) Emit(0xFF);
  }

 private:
  // Moves the top byte above the window out of low.
  void ShiftByte() {
    const int at = kCodeBits + static_cast<int>(pending_) - 8;
    const std::uint32_t top = static_cast<std::uint32_t>(low_ >> at);  // a carry shows in bit 8
    low_ &= (std::uint64_t{1} << at) - 1;
    pending_ -= 8;
    if (top == 0xFF) {
      // Still open to a carry.
      if (++run_ > kMaxOutstanding / 8) Fail(__LINE__, "arithCodeSymbol: too many bits outstanding");
      return;
    }
    const std::uint32_t carry = top >> 8;
    if (haveCache_) Emit(static_cast<std::uint8_t>(cache_ + carry));
    for (; run_ > 0; --run_) Emit(static_cast<std::uint8_t>(0xFF + carry));
    cache_ = static_cast<std::uint8_t>(top);
    haveCache_ = true;
  }
  void Emit(std::uint8_t b) {
    if (!out_.Put(b)) Fail(__LINE__, "EOF!");
  }

  Out& out_;
  std::uint64_t low_ = 0;
  std::uint32_t range_ = kHalf;
  std::uint32_t pending_ = 0;  // bits above the window not yet written
  std::uint8_t cache_ = 0;
  bool haveCache_ = false;
  std::uint32_t run_ = 0;  // 0xFF bytes after the cache
};

template <class In>
class ArithDecoder {
 public:
  explicit ArithDecoder(BitReader<In>& bits) : bits_(bits) { value_ = bits_.GetBits(kCodeBits); }

  int Decode(Model& m) {
    const std::uint32_t t = m.total;
    const std::uint32_t r = DivideByTotal(range_, t);
    std::uint32_t c = 0;
    const int s = m.Find(value_, r, c);
    const std::uint32_t f = m.freq[s];
    std::uint32_t value = value_ - r * c;
    std::uint32_t range = c + f < t ? r * f : range_ - r * c;
    if (range <= kQuarter) {
      // Doublings until range exceeds a quarter again (range is never 0).
      int shift = std::countl_zero(range) - std::countl_zero(kQuarter);
      if ((range << shift) <= kQuarter) ++shift;
      range <<= shift;
      // A corrupt stream may leave value above range; its top bits are
      // meaningless then and simply fall off.
      value = (value << shift) | bits_.GetBits(shift);
    }
    value_ = value;
    range_ = range;
    m.Update(s);
    return s;
  }

 private:
  BitReader<In>& bits_;
  std::uint32_t range_ = kHalf;
  std::uint32_t value_ = 0;
};

}  // namespace support::compress_detail
