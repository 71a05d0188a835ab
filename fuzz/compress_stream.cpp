// Every input is decoded as a compressed stream into a buffer of exactly the
// capacity the decoder is told, so a write past it shows under ASan. Inputs
// that are not streams are also compressed and decoded again, and must come
// back unchanged. Fatal reports end in an exception here instead of ending
// the process: in the stream API they are the format's answer to a corrupt
// stream. The bounded decoder must agree with it on every input: the same
// bytes where the stream API succeeds, a failure result (and never a
// report) where it makes one.
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/ErrorReport.h"
#include "support/compress.h"

namespace {

struct FatalReport {};

class ThrowingPlatform final : public support::ErrorReportPlatform {
 public:
  void Beep() override {}
  int ShowMessage(const std::string&, const char*, unsigned) override { return support::kAnswerNo; }
  std::string ConvertFromOem(const std::string& text) override { return text; }
  [[noreturn]] void Exit(int) override {
    support::reporting = false;
    throw FatalReport{};
  }
  [[noreturn]] void Abort(int) override { std::abort(); }  // a report during a report: a real fault
};

void Install() {
  static ThrowingPlatform platform;
  static bool done = false;
  if (done) return;
  done = true;
  support::SetErrorReportPlatform(&platform);
  // A folder in the log's place: the report cannot open "error.lst" and goes
  // on without it, so millions of reports do not fill the disk.
  ::mkdir("error.lst", 0755);
}

constexpr std::size_t kCapacity = 1 << 18;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Install();
  {
    std::vector<std::uint8_t> out(kCapacity);
    bool fatal = false;
    bool stream = false;
    std::size_t n = 0;
    try {
      stream = support::uncompressBuffer(data, size, out.data(), out.size(), &n);
      if (n > out.size()) std::abort();
    } catch (const FatalReport&) {
      fatal = true;
    }
    std::vector<std::uint8_t> bounded(kCapacity);
    std::size_t m = 0;
    support::DecodeResult result = support::DecodeResult::kOk;
    try {
      result = support::decodeBuffer(data, size, bounded.data(), bounded.size(), &m);
    } catch (const FatalReport&) {
      std::abort();  // the bounded form never reports
    }
    using R = support::DecodeResult;
    const R expected = fatal ? result : stream ? R::kOk : R::kNotAStream;
    if (result != expected || (fatal && result == R::kOk)) std::abort();
    if (result == R::kOk && (m != n || std::memcmp(bounded.data(), out.data(), n) != 0)) std::abort();
  }
  const bool looksLikeStream =
      size >= 3 && (std::memcmp(data, "Res", 3) == 0 || std::memcmp(data, "BZ0", 3) == 0);
  if (!looksLikeStream && size <= 1 << 14) {
    const std::vector<std::uint8_t> stream = support::compressBuffer(data, size);
    std::vector<std::uint8_t> back(size);
    std::size_t n = 0;
    if (!support::uncompressBuffer(stream.data(), stream.size(), back.data(), back.size(), &n) || n != size ||
        (size && std::memcmp(back.data(), data, size) != 0)) {
      std::abort();
    }
  }
  return 0;
}
