// The block-sorting compressor: format details, the rotation sort against a
// plain comparison sort, round trips on edge inputs, and corrupt streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "support/CompressInternal.h"
#include "support/ErrorReport.h"
#include "support/compress.h"
#include "tests/common/Xorshift.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using support::compress_detail::TracedBlock;
namespace detail = support::compress_detail;

// A fatal report ends up here instead of ending the process.
struct FatalReport {
  std::string text;
};

class ThrowingPlatform final : public support::ErrorReportPlatform {
 public:
  void Beep() override {}
  int ShowMessage(const std::string& text, const char*, unsigned) override {
    last_ = text;
    return support::kAnswerNo;
  }
  std::string ConvertFromOem(const std::string& text) override { return text; }
  [[noreturn]] void Exit(int) override {
    support::reporting = false;
    throw FatalReport{last_};
  }
  [[noreturn]] void Abort(int) override {
    support::reporting = false;
    throw FatalReport{"critical: " + last_};
  }

 private:
  std::string last_;
};

class CompressTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = support::SetErrorReportPlatform(&platform_); }
  void TearDown() override { support::SetErrorReportPlatform(previous_); }

  // Runs `f` and returns the text of the fatal report it made ("" if none).
  template <class F>
  static std::string FatalText(F&& f) {
    try {
      f();
    } catch (const FatalReport& report) {
      return report.text;
    }
    return "";
  }

  ThrowingPlatform platform_;
  support::ErrorReportPlatform* previous_ = nullptr;
};

using Rng = glyph::test::Xorshift;

Bytes RandomBytes(std::size_t n, std::uint32_t alphabet, std::uint64_t seed) {
  Rng rng{seed * 2654435761u + 1};
  Bytes b(n);
  for (auto& x : b) x = static_cast<std::uint8_t>(rng.Next() % alphabet);
  return b;
}

Bytes FromString(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Repeat(const std::string& unit, std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(unit[i % unit.size()]);
  return b;
}

// Words with runs and repeats, roughly like text and tables.
Bytes TextLike(std::size_t n, std::uint64_t seed) {
  static const char* const kWords[] = {"the ",  "icon ", "skin ",    "window ", "of ",  "and ",
                                       "\n",    "    ",  "0000",     "glyph ",  "a ",   "pixel ",
                                       "32x32", ", ",    "colour  ", "bitmap ", "--- ", "res"};
  Rng rng{seed + 99};
  Bytes b;
  b.reserve(n);
  while (b.size() < n) {
    const char* w = kWords[rng.Next() % (sizeof kWords / sizeof *kWords)];
    for (; *w && b.size() < n; ++w) b.push_back(static_cast<std::uint8_t>(*w));
  }
  return b;
}

Bytes Decompress(const Bytes& stream, std::size_t capacity) {
  Bytes out(capacity);
  std::size_t n = 0;
  EXPECT_TRUE(support::uncompressBuffer(stream.data(), stream.size(), out.data(), out.size(), &n));
  out.resize(n);
  return out;
}

void ExpectRoundTrip(const Bytes& input, const char* what) {
  const Bytes stream = support::compressBuffer(input.data(), input.size());
  EXPECT_EQ(Decompress(stream, input.size()), input) << what;
}

// ---------------------------------------------------------------------------
// Plain reference pieces: cyclic comparison, move-to-front symbols.

int CompareRotations(const Bytes& b, std::size_t x, std::size_t y) {
  const std::size_t n = b.size();
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint8_t u = b[(x + k) % n], v = b[(y + k) % n];
    if (u != v) return u < v ? -1 : 1;
  }
  return 0;
}

// The basis and value symbols a block should produce, from the
// description of the format alone (sorting by plain comparisons).
TracedBlock ReferenceSymbols(Bytes block, bool last) {
  detail::perturbBlock(block.data(), block.size(), +1);
  const std::size_t n = block.size();
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t x, std::size_t y) { return CompareRotations(block, x, y) < 0; });
  TracedBlock t;
  std::uint32_t origPtr = 0;
  Bytes bwt(n);
  for (std::size_t k = 0; k < n; ++k) {
    if (order[k] == 0) origPtr = static_cast<std::uint32_t>(k);
    bwt[k] = block[(order[k] + n - 1) % n];
  }
  t.headerValue = last ? ~origPtr : origPtr + 1;
  std::vector<std::uint8_t> list(256);
  std::iota(list.begin(), list.end(), 0);
  std::uint32_t zeros = 0;
  auto flush = [&] {
    if (zeros) {
      for (int d : detail::zeroRunDigits(zeros)) t.basis.push_back(d);
    }
    zeros = 0;
  };
  for (std::uint8_t c : bwt) {
    const int j = static_cast<int>(std::find(list.begin(), list.end(), c) - list.begin());
    list.erase(list.begin() + j);
    list.insert(list.begin(), c);
    if (j == 0) {
      ++zeros;
      continue;
    }
    flush();
    if (j == 1) {
      t.basis.push_back(3);
      continue;
    }
    int cls = 0;
    while ((j >> (cls + 2)) != 0) ++cls;
    t.basis.push_back(4 + cls);
    t.extra.push_back(j - (1 << (cls + 1)) + 1);
  }
  flush();
  t.basis.push_back(11);
  return t;
}

// ---------------------------------------------------------------------------
// Stream headers.

TEST_F(CompressTest, StreamStartsWithResJ) {
  const Bytes stream = support::compressBuffer(nullptr, 0);
  ASSERT_GE(stream.size(), 4u);
  EXPECT_EQ(Bytes(stream.begin(), stream.begin() + 4), FromString("ResJ"));
}

TEST_F(CompressTest, BothHeaderFormsDecode) {
  const Bytes input = TextLike(5000, 1);
  const Bytes stream = support::compressBuffer(input.data(), input.size());
  struct Case {
    const char* header;
    bool accepted;
  } const cases[] = {
      {"ResJ", true},  {"ResB", true},  {"ResE", true},      {"BZ01", true},  {"BZ09", true},
      {"ResA", false}, {"ResK", false}, {"Resj", false},     {"BZ00", false}, {"BZ0:", false},
      {"BZ19", false}, {"RES9", false}, {"\0\0\0\0", false},
  };
  for (const Case& c : cases) {
    Bytes s = stream;
    std::memcpy(s.data(), c.header, 4);
    Bytes out(input.size(), 0xEE);
    std::size_t n = 99;
    std::string fatal;
    bool ok = false;
    fatal =
        FatalText([&] { ok = support::uncompressBuffer(s.data(), s.size(), out.data(), out.size(), &n); });
    EXPECT_EQ(fatal, "") << c.header;
    EXPECT_EQ(ok, c.accepted) << c.header;
    if (c.accepted) {
      EXPECT_EQ(out, input) << c.header;
    } else {
      EXPECT_EQ(n, 0u) << c.header;
      EXPECT_EQ(out, Bytes(input.size(), 0xEE)) << c.header << ": wrote something";
    }
  }
  // Too short to hold a header at all.
  for (std::size_t len = 0; len < 4; ++len) {
    std::uint8_t out[1];
    EXPECT_FALSE(support::uncompressBuffer(stream.data(), len, out, 0)) << len;
  }
}

TEST_F(CompressTest, SmallBlockSizeFromHeaderLimitsTheBlock) {
  // One block of about 150000 bytes does not fit the 100000 of "ResB".
  const Bytes input = RandomBytes(150000, 256, 7);
  Bytes stream = support::compressBuffer(input.data(), input.size());
  stream[3] = 'B';
  Bytes out(input.size());
  EXPECT_NE(FatalText([&] {
              support::uncompressBuffer(stream.data(), stream.size(), out.data(), out.size());
            }).find("Block overrun during decompression"),
            std::string::npos);
}

// ---------------------------------------------------------------------------
// Blocks: run-length bytes, the end byte, block limits, perturbation.

TEST_F(CompressTest, RunLengthBytes) {
  struct Case {
    Bytes input;
    Bytes block;
  };
  const std::uint8_t x = 'x', y = 'y';
  const Case cases[] = {
      {{}, {0x2A}},
      {{x}, {x, 0x2A}},
      {{x, x, x}, {x, x, x, 0x2A}},
      {{x, x, x, x}, {x, x, x, x, 0, 0x2A}},
      {{x, x, x, x, x, y}, {x, x, x, x, 1, y, 0x2A}},
      {Bytes(255, x), {x, x, x, x, 251, 0x2A}},
      {Bytes(256, x), {x, x, x, x, 251, x, 0x2A}},
      {Bytes(259, x), {x, x, x, x, 251, x, x, x, x, 0, 0x2A}},
      {Bytes(300, x), {x, x, x, x, 251, x, x, x, x, 41, 0x2A}},
      {{0x2A, 0x2A, y}, {0x2A, 0x2A, y, 0x2A}},
  };
  for (const Case& c : cases) {
    const auto blocks = detail::buildBlocks(c.input.data(), c.input.size());
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], c.block) << "input of " << c.input.size();
    ExpectRoundTrip(c.input, "run");
  }
}

// Bytes whose neighbours always differ: every run is one byte long.
Bytes NoRuns(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 7 + i / 251) % 251);
  for (std::size_t i = 1; i < n; ++i) {
    if (b[i] == b[i - 1]) b[i] = static_cast<std::uint8_t>(b[i] + 1);
  }
  return b;
}

TEST_F(CompressTest, BlockLimit) {
  const std::size_t limit = detail::kBlockLimit;
  {
    // Filling a block exactly: the full block, then one holding the end byte.
    const Bytes input = NoRuns(limit);
    const auto blocks = detail::buildBlocks(input.data(), input.size());
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].size(), limit);
    EXPECT_EQ(blocks[1], Bytes{0x2A});
    ExpectRoundTrip(input, "exact block");
  }
  {
    // A run is never split: the block ends three bytes past the limit.
    Bytes input = NoRuns(limit - 2);
    input.insert(input.end(), 10, static_cast<std::uint8_t>(input.back() + 1));
    input.push_back('q');
    const auto blocks = detail::buildBlocks(input.data(), input.size());
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].size(), limit + 3);
    EXPECT_EQ(blocks[1], (Bytes{'q', 0x2A}));
    ExpectRoundTrip(input, "run across the limit");
  }
}

TEST_F(CompressTest, PerturbationSpots) {
  const std::size_t expected[] = {8000, 15983, 23983, 32051, 40000, 48017, 56051, 64017, 71949, 79932};
  Bytes block(80000, 0xFF);
  detail::perturbBlock(block.data(), block.size(), +1);
  std::vector<std::size_t> changed;
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (block[i] != 0xFF) {
      changed.push_back(i);
      EXPECT_EQ(block[i], 0) << i;  // modulo 256
    }
  }
  EXPECT_EQ(changed, std::vector<std::size_t>(std::begin(expected), std::end(expected)));
  detail::perturbBlock(block.data(), block.size(), -1);
  EXPECT_EQ(block, Bytes(80000, 0xFF));

  // Only spots before the last index count.
  for (std::size_t size : {8000u, 8001u, 8002u}) {
    Bytes b(size, 1);
    detail::perturbBlock(b.data(), b.size(), +1);
    EXPECT_EQ(std::count(b.begin(), b.end(), 2), size == 8002 ? 1 : 0) << size;
  }
}

// ---------------------------------------------------------------------------
// Sorting.

TEST_F(CompressTest, RotationSortMatchesComparisonOrder) {
  std::vector<Bytes> blocks = {
      FromString("a"),           FromString("ab"),     FromString("ba"),          FromString("aaaa"),
      FromString("abab"),        FromString("banana"), FromString("mississippi"), FromString("abaabaab"),
      FromString("zyxwvutsrqp"), Repeat("abc", 1500),  Repeat("abcabd", 1500),    Repeat("a", 1500),
      Repeat("aab", 999),
  };
  for (std::size_t n : {2u, 3u, 5u, 17u, 100u, 1000u, 1025u, 4096u, 30000u}) {
    for (std::uint32_t alphabet : {1u, 2u, 3u, 4u, 256u}) {
      if (alphabet > 1 || n <= 1025) blocks.push_back(RandomBytes(n, alphabet, n + alphabet));
    }
  }
  // Long near-repeats: a period with rare changes.
  Bytes near = Repeat("0123456789abcdefghij", 12000);
  for (std::size_t i = 0; i < near.size(); i += 997) near[i] = '#';
  blocks.push_back(near);
  // Fibonacci word: many long repeats, not periodic.
  Bytes fib = {'b'}, prev = {'a'};
  while (fib.size() < 4000) {
    Bytes next = fib;
    next.insert(next.end(), prev.begin(), prev.end());
    prev = fib;
    fib = next;
  }
  blocks.push_back(fib);
  // Mostly unique bytes with a long repeat: a random piece twice, and a
  // random block with one stretch copied further on.
  const Bytes piece = RandomBytes(5000, 256, 11);
  Bytes twice = piece;
  twice.insert(twice.end(), piece.begin(), piece.end());
  blocks.push_back(twice);
  Bytes copied = RandomBytes(20000, 256, 12);
  std::copy(copied.begin() + 3000, copied.begin() + 3600, copied.begin() + 12000);
  blocks.push_back(copied);

  for (const Bytes& b : blocks) {
    const std::int32_t n = static_cast<std::int32_t>(b.size());
    std::vector<std::int32_t> order(b.size(), -1);
    const std::int32_t origPtr = detail::sortRotations(b.data(), n, order.data());
    std::vector<std::int32_t> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::int32_t> all(b.size());
    std::iota(all.begin(), all.end(), 0);
    ASSERT_EQ(sorted, all) << "not a permutation, size " << n;
    ASSERT_GE(origPtr, 0);
    EXPECT_EQ(order[static_cast<std::size_t>(origPtr)], 0);
    for (std::size_t k = 1; k < b.size(); ++k) {
      ASSERT_LE(
          CompareRotations(b, static_cast<std::size_t>(order[k - 1]), static_cast<std::size_t>(order[k])), 0)
          << "size " << n << " at rank " << k;
    }
  }
}

// ---------------------------------------------------------------------------
// Symbols of the coded stream.

TEST_F(CompressTest, ZeroRunDigits) {
  const std::vector<int> kRunTwo = {1}, kRunOne = {2};
  EXPECT_EQ(detail::zeroRunDigits(1), (std::vector<int>{2}));
  EXPECT_EQ(detail::zeroRunDigits(2), (std::vector<int>{1}));
  EXPECT_EQ(detail::zeroRunDigits(3), (std::vector<int>{2, 2}));
  EXPECT_EQ(detail::zeroRunDigits(4), (std::vector<int>{2, 1}));
  EXPECT_EQ(detail::zeroRunDigits(5), (std::vector<int>{1, 2}));
  EXPECT_EQ(detail::zeroRunDigits(6), (std::vector<int>{1, 1}));
  // Decoding the digits gives the count back, for every length a block holds.
  for (std::uint32_t n = 1; n <= 900000; n = n < 100 ? n + 1 : n * 3 + 1) {
    std::uint32_t back = 0;
    for (int d : detail::zeroRunDigits(n)) back = 2 * back + (d == 1 ? 2 : 1);
    EXPECT_EQ(back, n);
  }
}

TEST_F(CompressTest, EmptyInputIsOneLastBlockHoldingTheEndByte) {
  const Bytes stream = support::compressBuffer(nullptr, 0);
  std::vector<TracedBlock> blocks;
  ASSERT_TRUE(detail::traceStream(stream.data(), stream.size(), blocks));
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].headerValue, ~0u);  // last block, origPtr 0
  // 0x2A is at list position 42: class 32-63, symbol 42 - 31.
  EXPECT_EQ(blocks[0].basis, (std::vector<int>{8, 11}));
  EXPECT_EQ(blocks[0].extra, (std::vector<int>{11}));
  EXPECT_EQ(Decompress(stream, 0), Bytes{});
}

TEST_F(CompressTest, HeaderValueOfTheOnlyBlockIsTheComplementOfOrigPtr) {
  // Block "zabcd*": the rotation at 0 sorts last of six.
  const Bytes input = FromString("zabcd");
  const Bytes stream = support::compressBuffer(input.data(), input.size());
  std::vector<TracedBlock> blocks;
  ASSERT_TRUE(detail::traceStream(stream.data(), stream.size(), blocks));
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].headerValue, ~5u);
  EXPECT_EQ(static_cast<std::int32_t>(blocks[0].headerValue), -6);
}

TEST_F(CompressTest, CodedSymbolsFollowTheFormat) {
  // Inputs with zero runs of many lengths, every value class, two blocks.
  std::vector<Bytes> inputs = {FromString("aab"),       FromString("abracadabra abracadabra"),
                               TextLike(20000, 5),      RandomBytes(9000, 256, 3),
                               RandomBytes(9000, 3, 4), Repeat("xy", 777)};
  Bytes twoBlocks = NoRuns(detail::kBlockLimit + 10);
  inputs.push_back(twoBlocks);
  for (const Bytes& input : inputs) {
    const Bytes stream = support::compressBuffer(input.data(), input.size());
    std::vector<TracedBlock> traced;
    ASSERT_TRUE(detail::traceStream(stream.data(), stream.size(), traced));
    const auto blocks = detail::buildBlocks(input.data(), input.size());
    ASSERT_EQ(traced.size(), blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i) {
      if (blocks[i].size() > 100000) {
        // Too long for the plain sort: compare the value only.
        EXPECT_EQ(traced[i].headerValue & 0x80000000u, 0u);
        continue;
      }
      const TracedBlock want = ReferenceSymbols(blocks[i], i + 1 == blocks.size());
      EXPECT_EQ(traced[i].headerValue, want.headerValue) << "input " << input.size();
      EXPECT_EQ(traced[i].basis, want.basis) << "input " << input.size();
      EXPECT_EQ(traced[i].extra, want.extra) << "input " << input.size();
    }
    // Crafting the stream again from its symbols gives the same bytes.
    EXPECT_EQ(detail::encodeTrace(traced), stream);
  }
}

// ---------------------------------------------------------------------------
// Round trips.

TEST_F(CompressTest, RoundTrips) {
  Bytes all(256);
  std::iota(all.begin(), all.end(), 0);
  Bytes allRuns;
  for (int v = 0; v < 256; ++v)
    allRuns.insert(allRuns.end(), static_cast<std::size_t>(v % 9 + 1), static_cast<std::uint8_t>(v));
  // Input whose perturbed block (ending in the end byte) repeats "ab*":
  // the decoder's rows then form many short cycles.
  Bytes periodicBlock = Repeat("ab*", 120000);
  detail::perturbBlock(periodicBlock.data(), periodicBlock.size(), -1);
  periodicBlock.pop_back();
  struct Case {
    const char* what;
    Bytes input;
  } const cases[] = {
      {"one byte", {0}},
      {"end byte alone", {0x2A}},
      {"all values", all},
      {"runs of every length", allRuns},
      {"one byte repeated", Bytes(1000000, 'a')},
      {"short period", Repeat("abc", 600000)},
      {"two symbols random", RandomBytes(300000, 2, 11)},
      {"random", RandomBytes(1000000, 256, 12)},
      {"text", TextLike(950000, 13)},
      {"zeros and spots", Bytes(20000, 0)},
      {"periodic block", periodicBlock},
  };
  for (const Case& c : cases) ExpectRoundTrip(c.input, c.what);
}

TEST_F(CompressTest, ProgressCalls) {
  static int calls;
  const auto count = [] { ++calls; };
  // 32769 runs of one byte each: a call at the first only; one more run adds one.
  for (std::size_t runs : {1u, 32769u, 32770u, 65538u, 65539u}) {
    const Bytes input = NoRuns(runs);
    calls = 0;
    const Bytes stream = support::compressBuffer(input.data(), input.size(), count);
    EXPECT_EQ(calls, static_cast<int>((runs + 32768) / 32769)) << runs;
  }
  // Decompression: once per block.
  const Bytes input = NoRuns(detail::kBlockLimit + 1);
  const Bytes stream = support::compressBuffer(input.data(), input.size());
  Bytes out(input.size());
  calls = 0;
  ASSERT_TRUE(
      support::uncompressBuffer(stream.data(), stream.size(), out.data(), out.size(), nullptr, count));
  EXPECT_EQ(calls, 2);
}

// ---------------------------------------------------------------------------
// FILE streams.

struct TempFile {
  std::FILE* f = std::tmpfile();
  ~TempFile() {
    if (f) std::fclose(f);
  }
};

TEST_F(CompressTest, FileStreamsStopAtTheStreamEnd) {
  const Bytes input = TextLike(100000, 21);
  TempFile src, packed;
  ASSERT_TRUE(src.f && packed.f);
  std::fwrite(input.data(), 1, input.size(), src.f);
  std::rewind(src.f);
  std::fputs("head", packed.f);
  support::compressStream(src.f, packed.f, nullptr);
  EXPECT_FALSE(std::feof(src.f));  // error state cleared
  const long end = std::ftell(packed.f);
  std::fputs("tail", packed.f);
  EXPECT_EQ(support::compressBuffer(input.data(), input.size()).size(), static_cast<std::size_t>(end - 4));

  std::fseek(packed.f, 4, SEEK_SET);
  Bytes out(input.size());
  std::size_t n = 0;
  ASSERT_TRUE(support::uncompressStream(packed.f, out.data(), out.size(), nullptr, &n));
  EXPECT_EQ(n, input.size());
  EXPECT_EQ(out, input);
  EXPECT_EQ(std::ftell(packed.f), end);
  char tail[5] = {};
  EXPECT_EQ(std::fread(tail, 1, 4, packed.f), 4u);
  EXPECT_STREQ(tail, "tail");

  // The overload without a capacity trusts the caller.
  std::fseek(packed.f, 4, SEEK_SET);
  Bytes out2(input.size());
  ASSERT_TRUE(support::uncompressStream(packed.f, out2.data(), nullptr));
  EXPECT_EQ(out2, input);
}

TEST_F(CompressTest, StreamErrorsAreFatal) {
  const char* const kName = "compress_test.tmp";
  std::FILE* writeOnly = std::fopen(kName, "wb");
  std::FILE* readOnly = std::fopen(kName, "rb");
  ASSERT_TRUE(writeOnly && readOnly);
  TempFile sink, source;
  std::fputs("some input", source.f);
  std::rewind(source.f);
#ifndef _WIN32
  // Reading from a stream opened for writing leaves it in error. (msvcrt, as
  // Wine has it, answers EOF there without setting the error indicator.)
  EXPECT_NE(FatalText([&] { support::compressStream(writeOnly, sink.f, nullptr); }).find("streamBad!"),
            std::string::npos);
#endif
  // Writing to a stream opened for reading fails.
  EXPECT_NE(FatalText([&] { support::compressStream(source.f, readOnly, nullptr); }).find("EOF!"),
            std::string::npos);
  std::fclose(writeOnly);
  std::fclose(readOnly);
  std::remove(kName);
}

// ---------------------------------------------------------------------------
// Failures.

bool IsCompressFailure(const std::string& text) { return text.rfind("File compress, line ", 0) == 0; }

TEST_F(CompressTest, SecondStreamWhileOneIsOpenIsFatal) {
  static const Bytes kInput = TextLike(1000, 2);
  static const Bytes kStream = support::compressBuffer(kInput.data(), kInput.size());
  struct Case {
    void (*nested)();
    const char* message;
  } const cases[] = {
      {[] { support::compressBuffer(kInput.data(), kInput.size()); }, "bsOpenWriteStream"},
      {[] {
         std::uint8_t out[2000];
         support::uncompressBuffer(kStream.data(), kStream.size(), out, sizeof out);
       },
       "bsOpenReadStream"},
  };
  for (const Case& c : cases) {
    const std::string compressing =
        FatalText([&] { support::compressBuffer(kInput.data(), kInput.size(), c.nested); });
    EXPECT_TRUE(IsCompressFailure(compressing));
    EXPECT_NE(compressing.find(c.message), std::string::npos) << compressing;
    Bytes out(kInput.size());
    const std::string decompressing = FatalText([&] {
      support::uncompressBuffer(kStream.data(), kStream.size(), out.data(), out.size(), nullptr, c.nested);
    });
    EXPECT_NE(decompressing.find(c.message), std::string::npos) << decompressing;
  }
  // The failed streams were closed: the coder works again.
  ExpectRoundTrip(kInput, "after nested failures");
}

TEST_F(CompressTest, CraftedCorruptStreams) {
  const Bytes input = FromString("hello, hello, hello world");
  const Bytes stream = support::compressBuffer(input.data(), input.size());
  std::vector<TracedBlock> good;
  ASSERT_TRUE(detail::traceStream(stream.data(), stream.size(), good));
  ASSERT_EQ(good.size(), 1u);
  const std::size_t blockLength = detail::buildBlocks(input.data(), input.size())[0].size();

  struct Case {
    const char* what;
    std::vector<TracedBlock> blocks;
    std::uint8_t sizeLetter;
    std::size_t capacity;
    const char* message;
    support::DecodeResult bounded;  // what the bounded form returns instead
  };
  using R = support::DecodeResult;
  std::vector<Case> cases;
  auto withValue = [&](std::uint32_t value) {
    auto b = good;
    b[0].headerValue = value;
    return b;
  };
  cases.push_back({"origPtr at the block length", withValue(~static_cast<std::uint32_t>(blockLength)), 'J',
                   input.size(), "Bad origPtr", R::kCorrupt});
  cases.push_back({"origPtr far out", withValue(0x7FFFFFFF), 'J', input.size(), "Bad origPtr", R::kCorrupt});
  cases.push_back({"value 0 (origPtr -1)", withValue(0), 'J', input.size(), "Bad origPtr", R::kCorrupt});
  {
    // A zero run longer than the block can hold: 2^17 - 1 zeros > 100000.
    auto b = good;
    b[0].basis.insert(b[0].basis.begin(), 17, 2);
    cases.push_back(
        {"long zero run", b, 'B', input.size(), "Block overrun during decompression", R::kCorrupt});
  }
  {
    // A block with no end byte: value 1 swaps the first two list entries.
    TracedBlock t;
    t.headerValue = ~0u;
    t.basis = {3, 11};
    cases.push_back({"last block without end byte", {t}, 'J', 10, "Unblock error", R::kCorrupt});
    t.basis = {11};
    cases.push_back({"empty block", {t}, 'J', 10, "Bad origPtr", R::kCorrupt});
  }
  {
    // "xxxx" then the end byte: the count is missing.
    Bytes block = {'x', 'x', 'x', 'x', 0x2A};
    TracedBlock t = ReferenceSymbols(block, true);
    cases.push_back({"count missing", {t}, 'J', 10, "Unblock error", R::kCorrupt});
  }
  {
    // A count of 251 for a destination of 10 bytes.
    Bytes block = {'x', 'x', 'x', 'x', 251, 0x2A};
    TracedBlock t = ReferenceSymbols(block, true);
    cases.push_back({"run past the destination", {t}, 'J', 10, "Destination overrun", R::kOverrun});
  }
  cases.push_back(
      {"destination one byte short", good, 'J', input.size() - 1, "Destination overrun", R::kOverrun});
  {
    // A block that is not the last, then nothing: the end of the input.
    auto b = good;
    b[0].headerValue = 1;
    cases.push_back({"stream ends after a block", b, 'J', 1000, "Compressed stream EOF", R::kTruncated});
  }
  for (const Case& c : cases) {
    const Bytes crafted = detail::encodeTrace(c.blocks, c.sizeLetter);
    Bytes out(c.capacity);
    const std::string text =
        FatalText([&] { support::uncompressBuffer(crafted.data(), crafted.size(), out.data(), out.size()); });
    EXPECT_TRUE(IsCompressFailure(text)) << c.what << ": " << text;
    EXPECT_NE(text.find(c.message), std::string::npos) << c.what << ": " << text;
    R result = R::kOk;
    std::size_t decoded = 1;
    EXPECT_EQ(FatalText([&] {
                result =
                    support::decodeBuffer(crafted.data(), crafted.size(), out.data(), out.size(), &decoded);
              }),
              "")
        << c.what;
    EXPECT_EQ(result, c.bounded) << c.what;
    EXPECT_EQ(decoded, 0u) << c.what;
  }
}

TEST_F(CompressTest, BoundedDecodeOfWholeCutAndForeignStreams) {
  using R = support::DecodeResult;
  const Bytes input = TextLike(3000, 5);
  const Bytes stream = support::compressBuffer(input.data(), input.size());
  Bytes out(input.size());
  std::size_t decoded = 0;
  EXPECT_EQ(support::decodeBuffer(stream.data(), stream.size(), out.data(), out.size(), &decoded), R::kOk);
  EXPECT_EQ(decoded, input.size());
  EXPECT_EQ(out, input);
  const Bytes text = FromString("plain text, no stream");
  EXPECT_EQ(support::decodeBuffer(text.data(), text.size(), out.data(), out.size()), R::kNotAStream);
  for (std::size_t len : {std::size_t{4}, std::size_t{5}, stream.size() / 2, stream.size() - 1}) {
    EXPECT_EQ(support::decodeBuffer(stream.data(), len, out.data(), out.size()), R::kTruncated) << len;
  }
  // The coder is free again after every failure.
  ExpectRoundTrip(input, "after bounded failures");
}

TEST_F(CompressTest, TruncatedAndFlippedStreamsStayInBounds) {
  const Bytes input = TextLike(1500, 8);
  const Bytes stream = support::compressBuffer(input.data(), input.size());
  for (std::size_t len = 4; len < stream.size(); ++len) {
    Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(len));
    Bytes out(input.size());
    const std::string text =
        FatalText([&] { support::uncompressBuffer(cut.data(), cut.size(), out.data(), out.size()); });
    EXPECT_TRUE(IsCompressFailure(text)) << "cut at " << len;
  }
  int fatal = 0, decoded = 0;
  for (std::size_t bit = 32; bit < stream.size() * 8; ++bit) {
    Bytes flipped = stream;
    flipped[bit / 8] ^= static_cast<std::uint8_t>(0x80 >> (bit % 8));
    Bytes out(input.size());  // exactly the size: any overrun shows under the sanitizers
    bool ok = false;
    const std::string text = FatalText(
        [&] { ok = support::uncompressBuffer(flipped.data(), flipped.size(), out.data(), out.size()); });
    if (text.empty()) {
      EXPECT_TRUE(ok);
      ++decoded;
    } else {
      EXPECT_TRUE(IsCompressFailure(text)) << text;
      ++fatal;
    }
  }
  EXPECT_GT(fatal, 0);
}

TEST_F(CompressTest, ReportsAreLoggedAndCarryTheUnit) {
  const Bytes junk = FromString("ResJ");
  std::uint8_t out[1];
  const std::string text = FatalText([&] { support::uncompressBuffer(junk.data(), junk.size(), out, 1); });
  EXPECT_TRUE(IsCompressFailure(text)) << text;
  EXPECT_NE(text.find("Compressed stream EOF"), std::string::npos) << text;
}

// ---------------------------------------------------------------------------
// The same bytes from every build: streams made by the native build are
// committed here (checksums, and one stream whole); the Windows build runs
// the same test under Wine.

std::uint64_t Fnv1a(const Bytes& b) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t x : b) h = (h ^ x) * 1099511628211ull;
  return h;
}

struct GoldenCase {
  const char* what;
  Bytes (*make)();
  std::size_t streamSize;
  std::uint64_t streamHash;
};

const GoldenCase kGolden[] = {
    {"text, two blocks", [] { return TextLike(1100000, 31); }, 147232, 0x38a84047c9fa6e52ull},
    {"random", [] { return RandomBytes(300000, 256, 32); }, 304014, 0xed00d8df7f8bf310ull},
    {"few symbols", [] { return RandomBytes(200000, 5, 33); }, 59879, 0x8b132dc82d703b3cull},
    {"period", [] { return Repeat("0123456789", 100003); }, 75, 0x0fb481c338c7912cull},
    {"long runs",
     [] {
       Bytes b;
       for (int i = 0; i < 3000; ++i)
         b.insert(b.end(), static_cast<std::size_t>(i % 300 + 1), static_cast<std::uint8_t>(i));
       return b;
     },
     7543, 0x156b25867904480aull},
};

TEST_F(CompressTest, StreamsMatchTheCommittedOnes) {
  for (const GoldenCase& c : kGolden) {
    const Bytes input = c.make();
    const Bytes stream = support::compressBuffer(input.data(), input.size());
    EXPECT_EQ(stream.size(), c.streamSize) << c.what;
    EXPECT_EQ(Fnv1a(stream), c.streamHash) << c.what;
  }
}

// TextLike(600, 41) as compressed by the native build.
const std::uint8_t kNativeStream[] = {
    0x52, 0x65, 0x73, 0x4a, 0x7f, 0xff, 0xfe, 0xed, 0x51, 0xb2, 0xa3, 0xfd, 0xf2, 0x45, 0x1b, 0x1d,
    0x83, 0x3b, 0x9a, 0x98, 0x79, 0xfd, 0xa6, 0xc9, 0x1a, 0x28, 0x16, 0xc8, 0xbe, 0x10, 0xba, 0xbe,
    0x3f, 0xbd, 0x70, 0x09, 0x83, 0xe2, 0x9c, 0x85, 0x25, 0x7e, 0x1d, 0x4a, 0x65, 0xa1, 0xac, 0xc5,
    0xe5, 0x27, 0x57, 0x36, 0x18, 0x21, 0xaf, 0xac, 0x8a, 0x80, 0x6e, 0xf9, 0x37, 0xaf, 0xa4, 0x7a,
    0x8e, 0x8e, 0xb9, 0xf0, 0xb8, 0x24, 0x05, 0x1c, 0x36, 0xe4, 0xb6, 0x37, 0x26, 0x29, 0x68, 0xb7,
    0x3a, 0x7e, 0x6c, 0x07, 0x79, 0x89, 0x0b, 0x6c, 0xd4, 0x74, 0x14, 0x76, 0x97, 0x4a, 0xa7, 0x87,
    0x21, 0x2c, 0xd6, 0xfe, 0x76, 0x94, 0x6a, 0x16, 0x31, 0x2b, 0xd6, 0x74, 0x63, 0x47, 0x51, 0xaf,
    0x28, 0x95, 0x67, 0xd3, 0xf0, 0xd4, 0xb5, 0x0a, 0x4b, 0x74, 0x58, 0x80, 0x4f, 0x1a, 0x94, 0xfd,
    0x7a, 0xda, 0x28, 0xe7, 0x49, 0xfa, 0x7e, 0x53, 0xe5, 0x09, 0x9e, 0xc7, 0xc3, 0xde, 0x3a, 0x9e,
    0xd1, 0x7b, 0x26, 0x55, 0x65, 0xb8, 0x4d, 0xb7, 0x7b, 0xef, 0x23, 0x9d, 0x29, 0xbc, 0xf5, 0x8a,
    0x65, 0xb4, 0x64, 0x66, 0x68, 0xaf, 0x03, 0xa2, 0xef, 0x68, 0xe4, 0x37, 0xe6, 0x42, 0x2a, 0xdc,
    0x98, 0x98, 0x4c, 0xf3, 0x9f, 0x1c, 0x2a, 0xad, 0xbe, 0xb6, 0xf6, 0xe9, 0x81, 0x52, 0xe2, 0x5c,
    0x3b, 0xe5, 0xdc, 0xe4, 0x3b, 0xef, 0x3d, 0x42, 0x3b, 0x54, 0x01, 0x6d, 0xa0, 0x00, 0x00,
};

TEST_F(CompressTest, NativeStreamDecodesEverywhere) {
  const Bytes input = TextLike(600, 41);
  const Bytes stream(std::begin(kNativeStream), std::end(kNativeStream));
  EXPECT_EQ(Decompress(stream, input.size()), input);
  EXPECT_EQ(support::compressBuffer(input.data(), input.size()), stream);
}

// The arithmetic coder exactly as the format describes it: one bit per
// doubling, straddling bits kept outstanding. The library's coder must write
// the same bytes for any symbol sequence.
class ReferenceCoder {
 public:
  struct Model {
    int n;
    std::uint32_t inc, limit, total = 0;
    std::vector<std::uint32_t> freq;
    void Init() {
      freq.assign(static_cast<std::size_t>(n) + 1, inc ? inc : 1);
      total = (inc ? inc : 1) * static_cast<std::uint32_t>(n);
    }
  };

  Bytes Encode(const std::vector<TracedBlock>& blocks) {
    out_ = FromString("ResJ");
    Model bogus{256, 0, 256};
    bogus.Init();
    for (const TracedBlock& b : blocks) {
      for (int shift = 24; shift >= 0; shift -= 8)
        Code(bogus, static_cast<int>((b.headerValue >> shift) & 0xFF) + 1);
      std::vector<Model> m = {{11, 12, 1000}, {2, 4, 1000},  {4, 3, 1000},  {8, 3, 1000},
                              {16, 3, 1000},  {32, 3, 1000}, {64, 2, 1000}, {128, 1, 1000}};
      for (Model& x : m) x.Init();
      std::size_t extra = 0;
      for (int sym : b.basis) {
        Code(m[0], sym);
        if (sym >= 4 && sym <= 10) Code(m[static_cast<std::size_t>(sym - 3)], b.extra[extra++]);
      }
    }
    Bit((low_ >> 25) & 1);
    for (int i = 24; i >= 0; --i) Put((low_ >> i) & 1);
    while (bits_ != 0) Put(0);
    return out_;
  }

 private:
  void Code(Model& m, int s) {
    const std::uint32_t r = range_ / m.total;
    std::uint32_t c = 0;
    for (int i = 1; i < s; ++i) c += m.freq[static_cast<std::size_t>(i)];
    const std::uint32_t f = m.freq[static_cast<std::size_t>(s)];
    low_ += r * c;
    range_ = c + f < m.total ? r * f : range_ - r * c;
    while (range_ <= 0x1000000) {
      if (low_ + range_ <= 0x2000000) {
        Bit(0);
      } else if (low_ < 0x2000000) {
        ++outstanding_;
        low_ -= 0x1000000;
      } else {
        Bit(1);
        low_ -= 0x2000000;
      }
      low_ *= 2;
      range_ *= 2;
    }
    m.freq[static_cast<std::size_t>(s)] += m.inc;
    m.total += m.inc;
    if (m.total > m.limit) {
      m.total = 0;
      for (int i = 1; i <= m.n; ++i)
        m.total += m.freq[static_cast<std::size_t>(i)] = (m.freq[static_cast<std::size_t>(i)] + 1) / 2;
    }
  }
  void Bit(std::uint32_t b) {
    Put(b);
    for (; outstanding_ > 0; --outstanding_) Put(b ^ 1);
  }
  void Put(std::uint32_t b) {
    byte_ = static_cast<std::uint8_t>(byte_ << 1 | b);
    if (++bits_ == 8) {
      out_.push_back(byte_);
      bits_ = 0;
    }
  }
  Bytes out_;
  std::uint32_t low_ = 0, range_ = 0x2000000, outstanding_ = 0;
  std::uint8_t byte_ = 0;
  int bits_ = 0;
};

TEST_F(CompressTest, CoderWritesTheBitsOfTheTextbookCoder) {
  Rng rng{77};
  for (int round = 0; round < 300; ++round) {
    std::vector<TracedBlock> blocks(1 + rng.Next() % 3);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      TracedBlock& t = blocks[b];
      t.headerValue = b + 1 == blocks.size() ? ~(rng.Next() % 1000) : rng.Next() % 1000 + 1;
      // Skewed toward one symbol now and then: long straddles and runs of
      // outstanding bits, and frequent rescaling.
      const int favourite = static_cast<int>(rng.Next() % 10) + 1;
      const std::size_t count = rng.Next() % (round < 200 ? 400 : 20000);
      for (std::size_t i = 0; i < count; ++i) {
        const int sym = rng.Next() % 4 != 0 ? favourite : static_cast<int>(rng.Next() % 10) + 1;
        t.basis.push_back(sym);
        if (sym >= 4) {
          const int symbols = 1 << (sym - 3);
          t.extra.push_back(static_cast<int>(rng.Next() % static_cast<std::uint32_t>(symbols)) + 1);
        }
      }
      t.basis.push_back(11);
    }
    ReferenceCoder reference;
    ASSERT_EQ(detail::encodeTrace(blocks), reference.Encode(blocks)) << "round " << round;
  }
}

}  // namespace
