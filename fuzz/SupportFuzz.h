// Shared set-up of the support library's fuzz targets: fatal failure
// reports become an exception the target catches (the compressor's fatal
// reports on corrupt streams are expected), and the process works in a
// scratch folder where "error.lst" is a folder, so the failure log cannot
// grow over millions of runs.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "support/ErrorReport.h"

namespace support_fuzz {

struct FatalReport {};

class ThrowingReport final : public support::ErrorReportPlatform {
 public:
  void Beep() override {}
  int ShowMessage(const std::string&, const char*, unsigned) override { return support::kAnswerYes; }
  std::string ConvertFromOem(const std::string& text) override { return text; }
  [[noreturn]] void Exit(int) override { throw FatalReport{}; }
  [[noreturn]] void Abort(int) override { throw FatalReport{}; }
};

inline void SetUp() {
  static ThrowingReport report;
  support::SetErrorReportPlatform(&report);
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path scratch = fs::temp_directory_path(ec) / ("glyph_fuzz_" + std::to_string(::getpid()));
  fs::create_directories(scratch / "error.lst", ec);
  fs::current_path(scratch, ec);
  static const bool cleaned = [] {
    return std::atexit([] {
             std::error_code ec;
             const fs::path here = fs::current_path(ec);
             if (here.filename().string().rfind("glyph_fuzz_", 0) == 0) {
               fs::current_path(here.parent_path(), ec);
               fs::remove_all(here, ec);
             }
           }) == 0;
  }();
  (void)cleaned;
}

// Runs `body`, treating a fatal report as a normal end of the input.
template <class Body>
void Guarded(Body body) {
  support::reporting = false;
  try {
    body();
  } catch (const FatalReport&) {
  }
  support::reporting = false;
}

}  // namespace support_fuzz
