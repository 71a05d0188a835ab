#include "support/compress.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "support/ErrorReport.h"

namespace support {
namespace {

constexpr char kUnit[] = "compress";

[[noreturn]] void Fail(int line, const char* text) {
  reportFailure(kUnit, line, text, true);
  std::abort();  // a fatal report never returns
}

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

// ---------------------------------------------------------------------------
// Stream format constants.

constexpr std::uint8_t kHeaderRes[3] = {0x52, 0x65, 0x73};  // "Res" + 'A' + blockSize100k
constexpr std::uint8_t kHeaderOld[3] = {0x42, 0x5A, 0x30};  // "BZ0" + '1'..'9'
constexpr int kEncoderBlockSize100k = 9;
constexpr std::size_t kBlockUnit = 100000;
constexpr std::size_t kBlockLimit = kEncoderBlockSize100k * kBlockUnit - 19;
static_assert(kBlockLimit == compress_detail::kBlockLimit);
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
  int topStep = 0;  // the largest power of two not above `symbols`

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
    topStep = static_cast<int>(std::bit_floor(static_cast<unsigned>(symbols)));
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
constexpr Reciprocals kReciprocals;

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

Model MakeBogus() {
  Model m{"bogus", 256, 0, 256};
  m.Init();
  return m;
}

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
  bool Unget(int c) { return std::ungetc(c, f_) != EOF; }
  bool Bad() const { return std::ferror(f_) != 0; }
  void Clear() { std::clearerr(f_); }

 private:
  std::FILE* f_;
};

class MemoryInput {
 public:
  MemoryInput(const std::uint8_t* data, std::size_t size) : begin_(data), p_(data), end_(data + size) {}
  int Get() { return p_ < end_ ? *p_++ : EOF; }
  bool Unget(int c) {
    if (p_ == begin_ || p_[-1] != c) return false;
    --p_;
    return true;
  }
  bool Bad() const { return false; }
  void Clear() {}

 private:
  const std::uint8_t* begin_;
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
BitStreamState g_bitStream = BitStreamState::kClosed;

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
      int shift = 0;
      do {
        range <<= 1;
        ++shift;
      } while (range <= kQuarter);
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

// ---------------------------------------------------------------------------
// Block building (input run-length coding) and perturbation.

// Appends runs from `in` to `block` until the block reaches the limit or the
// input ends; returns true for the last block (then ending with kEndByte).
template <class In>
bool FillBlock(In& in, std::uint8_t* block, std::size_t& length, unsigned& runs, CompressProgress progress) {
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
      if (d != EOF && !in.Unget(d)) Fail(__LINE__, "getRLEpair: putback failed");
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

// ---------------------------------------------------------------------------
// Rotation sort.
//
// Sorting the rotations of a primitive block equals sorting the suffixes of
// its smallest rotation, which is a Lyndon word: a suffix that is a prefix of
// a longer one is smaller as a suffix, and as a rotation it continues with the
// whole word, which is smaller than every proper suffix. A block that repeats
// a shorter word m times has m identical copies of each rotation of that
// word, which may come in any order. Suffixes are sorted by induced sorting
// (SA-IS), linear in the length whatever the data.

// Induces the order of the L- and S-type suffixes from the seeded positions.
template <typename Sym>
void Induce(const Sym* s, std::int32_t* sa, std::int32_t n, const std::uint8_t* isS,
            const std::int32_t* counts, std::int32_t k, std::int32_t* bucket) {
  std::int32_t sum = 0;
  for (std::int32_t c = 0; c < k; ++c) {
    bucket[c] = sum;
    sum += counts[c];
  }
  // The virtual end symbol precedes nothing but suffix n - 1, an L suffix.
  sa[bucket[s[n - 1]]++] = n - 1;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int32_t j = sa[i] - 1;
    if (j >= 0 && !isS[j]) sa[bucket[s[j]]++] = j;
  }
  sum = 0;
  for (std::int32_t c = 0; c < k; ++c) {
    sum += counts[c];
    bucket[c] = sum;
  }
  for (std::int32_t i = n - 1; i >= 0; --i) {
    const std::int32_t j = sa[i] - 1;
    if (j >= 0 && isS[j]) sa[--bucket[s[j]]] = j;
  }
}

// Suffix array of s[0..n) over symbols 0..k-1, with a virtual smallest end.
template <typename Sym>
void SuffixArray(const Sym* s, std::int32_t* sa, std::int32_t n, std::int32_t k) {
  if (n == 1) {
    sa[0] = 0;
    return;
  }
  std::vector<std::uint8_t> isS(static_cast<std::size_t>(n));
  isS[n - 1] = 0;
  for (std::int32_t i = n - 2; i >= 0; --i) {
    isS[i] = s[i] < s[i + 1] || (s[i] == s[i + 1] && isS[i + 1]);
  }
  auto isLms = [&](std::int32_t i) { return i > 0 && isS[i] && !isS[i - 1]; };

  std::vector<std::int32_t> counts(static_cast<std::size_t>(k), 0);
  std::vector<std::int32_t> bucket(static_cast<std::size_t>(k));
  for (std::int32_t i = 0; i < n; ++i) ++counts[s[i]];
  auto bucketEnds = [&] {
    std::int32_t sum = 0;
    for (std::int32_t c = 0; c < k; ++c) {
      sum += counts[c];
      bucket[c] = sum;
    }
  };

  // Stage 1: sort the LMS substrings.
  std::fill(sa, sa + n, -1);
  bucketEnds();
  for (std::int32_t i = 1; i < n; ++i) {
    if (isLms(i)) sa[--bucket[s[i]]] = i;
  }
  Induce(s, sa, n, isS.data(), counts.data(), k, bucket.data());

  std::int32_t m = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    if (isLms(sa[i])) sa[m++] = sa[i];
  }
  // Name the substrings; names go to sa[m + pos / 2] (positions of LMS
  // suffixes are at least two apart).
  std::fill(sa + m, sa + n, -1);
  std::int32_t names = 0;
  std::int32_t prev = -1;
  for (std::int32_t i = 0; i < m; ++i) {
    const std::int32_t pos = sa[i];
    bool differ = prev < 0;
    for (std::int32_t d = 0; !differ; ++d) {
      if (pos + d == n || prev + d == n || s[pos + d] != s[prev + d] || isS[pos + d] != isS[prev + d]) {
        differ = true;
      } else if (d > 0 && isLms(pos + d)) {
        break;  // both substrings end here, equal
      }
    }
    if (differ) {
      ++names;
      prev = pos;
    }
    sa[m + pos / 2] = names - 1;
  }
  for (std::int32_t i = n - 1, j = n - 1; i >= m; --i) {
    if (sa[i] >= 0) sa[j--] = sa[i];
  }

  // Stage 2: sort the LMS suffixes through the reduced string.
  std::int32_t* reduced = sa + n - m;
  if (names < m) {
    SuffixArray(reduced, sa, m, names);
  } else {
    for (std::int32_t i = 0; i < m; ++i) sa[reduced[i]] = i;
  }
  for (std::int32_t i = 1, j = 0; i < n; ++i) {
    if (isLms(i)) reduced[j++] = i;
  }
  for (std::int32_t i = 0; i < m; ++i) sa[i] = reduced[sa[i]];
  std::fill(sa + m, sa + n, -1);

  // Stage 3: seed the sorted LMS suffixes and induce the rest.
  bucketEnds();
  for (std::int32_t i = m - 1; i >= 0; --i) {
    const std::int32_t p = sa[i];
    sa[i] = -1;
    sa[--bucket[s[p]]] = p;
  }
  Induce(s, sa, n, isS.data(), counts.data(), k, bucket.data());
}

// Start of the smallest rotation (any one of them for a periodic block).
std::int32_t SmallestRotation(const std::uint8_t* s, std::int32_t n) {
  std::int32_t i = 0, j = 1, k = 0;
  while (i < n && j < n && k < n) {
    const std::uint8_t a = s[(i + k) % n];
    const std::uint8_t b = s[(j + k) % n];
    if (a == b) {
      ++k;
      continue;
    }
    if (a > b) {
      i += k + 1;
    } else {
      j += k + 1;
    }
    if (i == j) ++j;
    k = 0;
  }
  return std::min(i, j);
}

// Length of the Lyndon word whose power w is (w is a smallest rotation).
std::int32_t LyndonRootLength(const std::uint8_t* w, std::int32_t n) {
  std::int32_t k = 0, j = 1;
  while (j < n && w[k] <= w[j]) {
    k = w[k] < w[j] ? 0 : k + 1;
    ++j;
  }
  const std::int32_t p = j - k;
  if (j != n || n % p != 0) return n;  // cannot happen for a smallest rotation
  return p;
}

std::int32_t SortRotationsInto(const std::uint8_t* block, std::int32_t n, std::uint8_t* rotated,
                               std::int32_t* order) {
  const std::int32_t start = SmallestRotation(block, n);
  std::memcpy(rotated, block + start, static_cast<std::size_t>(n - start));
  std::memcpy(rotated + (n - start), block, static_cast<std::size_t>(start));
  const std::int32_t p = LyndonRootLength(rotated, n);
  const std::int32_t copies = n / p;
  // The suffix order of the root goes to the back of `order`, then each
  // entry expands into its copies from the front.
  std::int32_t* rootOrder = order + (n - p);
  SuffixArray(rotated, rootOrder, p, 256);
  std::int32_t origPtr = -1;
  std::int32_t out = 0;
  for (std::int32_t r = 0; r < p; ++r) {
    std::int32_t pos = rootOrder[r] + start;
    for (std::int32_t q = 0; q < copies; ++q, pos += p) {
      const std::int32_t rotation = pos >= n ? pos % n : pos;
      if (rotation == 0) origPtr = out;
      order[out++] = rotation;
    }
  }
  return origPtr;
}

// ---------------------------------------------------------------------------
// Compression.

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
      const int j = static_cast<int>(static_cast<const std::uint8_t*>(std::memchr(list + 1, c, 255)) - list);
      std::memmove(list + 1, list, static_cast<std::size_t>(j));
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
  std::unique_ptr<std::uint8_t[]> rotated;
  std::unique_ptr<std::uint8_t[]> bwt;
  std::unique_ptr<std::int32_t[]> order;
};

// Room for the limit plus the longest run that may start just before it.
constexpr std::size_t kBlockCapacity = kEncoderBlockSize100k * kBlockUnit;

template <class In, class Out>
void Compress(In& in, Out& out, CompressProgress progress) {
  CompressArrays arrays;
  arrays.block.reset(new (std::nothrow) std::uint8_t[kBlockCapacity]);
  arrays.rotated.reset(new (std::nothrow) std::uint8_t[kBlockCapacity]);
  arrays.bwt.reset(new (std::nothrow) std::uint8_t[kBlockCapacity]);
  arrays.order.reset(new (std::nothrow) std::int32_t[kBlockCapacity]);
  if (!arrays.block || !arrays.rotated || !arrays.bwt || !arrays.order) Fail(__LINE__, "compressOutOfMemory");

  BitStreamSession session(BitStreamState::kWriting);
  WriteHeader(out, static_cast<std::uint8_t>(0x41 + kEncoderBlockSize100k));
  ArithEncoder<Out> coder(out);
  BlockEncoder<Out> encoder(coder);

  unsigned runs = 0;
  bool last = false;
  while (!last) {
    std::size_t n = 0;
    last = FillBlock(in, arrays.block.get(), n, runs, progress);
    Perturb(arrays.block.get(), n, +1);
    const std::int32_t size = static_cast<std::int32_t>(n);
    std::int32_t origPtr;
    try {
      origPtr = SortRotationsInto(arrays.block.get(), size, arrays.rotated.get(), arrays.order.get());
    } catch (const std::bad_alloc&) {
      Fail(__LINE__, "compressOutOfMemory");
    }
    if (origPtr < 0) Fail(__LINE__, "doReversibleTransformation");
    const std::uint8_t* block = arrays.block.get();
    const std::int32_t* order = arrays.order.get();
    std::uint8_t* bwt = arrays.bwt.get();
    for (std::int32_t k = 0; k < size; ++k) {
      const std::int32_t start = order[k];
      bwt[k] = block[start == 0 ? size - 1 : start - 1];
    }
    encoder.SendValue(last ? ~static_cast<std::uint32_t>(origPtr) : static_cast<std::uint32_t>(origPtr) + 1);
    encoder.SendBlock(bwt, n);
  }
  coder.Finish();
  session.Close();
  if (in.Bad()) Fail(__LINE__, "streamBad!");
  in.Clear();
  out.Clear();
}

// ---------------------------------------------------------------------------
// Decompression.

struct DecompressArrays {
  std::unique_ptr<std::uint8_t[]> bwt;
  std::unique_ptr<std::uint8_t[]> block;
  std::unique_ptr<std::uint32_t[]> back;
  std::unique_ptr<std::uint32_t[]> ahead;
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
      dest.Put(b, 1);
      continue;
    }
    if (i >= end) failures.Stop(__LINE__, "Unblock error", DecodeResult::kCorrupt);
    dest.Put(b, 1 + static_cast<std::size_t>(block[i++]));
    prev = -1;
    equal = 0;
  }
}

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
  arrays.back.reset(new (std::nothrow) std::uint32_t[cap]);
  arrays.ahead.reset(new (std::nothrow) std::uint32_t[cap]);
  if (!arrays.bwt || !arrays.block || !arrays.back || !arrays.ahead) {
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

    // Inverse transform. base[b]: the first row whose rotation starts with b.
    std::uint32_t base[256] = {};
    for (std::size_t i = 0; i < n; ++i) ++base[bwt[i]];
    std::uint32_t sum = 0;
    for (std::uint32_t& b : base) {
      const std::uint32_t count = b;
      b = sum;
      sum += count;
    }
    // Two walks at once, so that their cache misses overlap: backwards from
    // the end of the block (back[row] holds the row of the rotation one byte
    // earlier and the row's own byte) and forwards from its start (ahead[row]
    // holds the row of the rotation one byte later and that row's byte).
    // Rows fit in 24 bits: blocks hold fewer than 2^24 bytes.
    std::uint32_t* back = arrays.back.get();
    std::uint32_t* ahead = arrays.ahead.get();
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t row = base[bwt[i]]++;
      back[i] = row << 8 | bwt[i];
      ahead[row] = static_cast<std::uint32_t>(i) << 8 | bwt[i];
    }
    std::uint8_t* block = arrays.block.get();
    std::uint32_t p = origPtr;  // rotation 0: its byte is the block's last
    std::uint32_t q = origPtr;
    const std::size_t half = n / 2;
    std::size_t tail = n;
    for (std::size_t head = 0; head < half; ++head) {
      const std::uint32_t b = back[p];
      const std::uint32_t a = ahead[q];
      block[--tail] = static_cast<std::uint8_t>(b);
      block[head] = static_cast<std::uint8_t>(a);
      p = b >> 8;
      q = a >> 8;
    }
    if (tail > half) block[--tail] = static_cast<std::uint8_t>(back[p]);
    Perturb(block, n, -1);
    Unblock(block, n, last, dest, failures);
  }
  session.Close();
  in.Clear();
  if (decodedSize) *decodedSize = dest.written();
  return true;
}

const DecodeFailures kFatal(false);
const DecodeFailures kBounded(true);

}  // namespace

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

namespace compress_detail {

std::vector<std::vector<std::uint8_t>> buildBlocks(const std::uint8_t* data, std::size_t size) {
  std::vector<std::vector<std::uint8_t>> blocks;
  MemoryInput in(data, size);
  std::vector<std::uint8_t> block(kBlockCapacity);
  unsigned runs = 0;
  for (bool last = false; !last;) {
    std::size_t n = 0;
    last = FillBlock(in, block.data(), n, runs, nullptr);
    blocks.emplace_back(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
  }
  return blocks;
}

void perturbBlock(std::uint8_t* block, std::size_t size, int direction) { Perturb(block, size, direction); }

std::int32_t sortRotations(const std::uint8_t* block, std::int32_t size, std::int32_t* order) {
  std::vector<std::uint8_t> rotated(static_cast<std::size_t>(size));
  return SortRotationsInto(block, size, rotated.data(), order);
}

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

bool traceStream(const std::uint8_t* stream, std::size_t size, std::vector<TracedBlock>& blocks) {
  blocks.clear();
  MemoryInput in(stream, size);
  return Decompress(in, nullptr, 0, nullptr, nullptr, &blocks, kFatal);
}

}  // namespace compress_detail
}  // namespace support
