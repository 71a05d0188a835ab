#include <cstdio>
#include <iostream>
#include <string>

#include "Glyphpack.h"
#include "support/ErrorReport.h"

namespace {

// A console tool must never wait on a message box: the library's failure
// reports go to stderr and end the tool with a non-zero status.
class ConsoleReport final : public support::ErrorReportPlatform {
 public:
  void Beep() override {}
  int ShowMessage(const std::string& text, const char* caption, unsigned) override {
    std::fprintf(stderr, "glyphpack: %s: %s\n", caption, text.c_str());
    return support::kAnswerYes;
  }
  std::string ConvertFromOem(const std::string& text) override { return text; }
  [[noreturn]] void Exit(int code) override { std::exit(code); }
  [[noreturn]] void Abort(int code) override { std::_Exit(code); }
};

}  // namespace

int main(int argc, char** argv) {
  static ConsoleReport report;
  support::SetErrorReportPlatform(&report);
  return glyphpack::Run(argc, argv, std::cout, std::cerr);
}
