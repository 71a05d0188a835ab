// Shared set-up of the support library's archive fuzz target: the process
// works in a scratch folder where "error.lst" is a folder, so the failure
// log cannot grow over millions of runs, and a fatal failure report is a
// crash the fuzzer records. The archive reads damaged files as failed
// reads; a fatal report from Open or ReadFile is a bug. (The stream API
// target keeps its own platform: there fatal reports are the format's.)
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "support/ErrorReport.h"

namespace support_fuzz {

class CrashingReport final : public support::ErrorReportPlatform {
 public:
  void Beep() override {}
  int ShowMessage(const std::string& text, const char*, unsigned) override {
    std::fprintf(stderr, "fatal report: %s\n", text.c_str());
    return support::kAnswerYes;
  }
  std::string ConvertFromOem(const std::string& text) override { return text; }
  [[noreturn]] void Exit(int) override { std::abort(); }
  [[noreturn]] void Abort(int) override { std::abort(); }
};

inline void SetUp() {
  static CrashingReport report;
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

}  // namespace support_fuzz
