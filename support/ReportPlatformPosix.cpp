// The failure report's platform where there are no message boxes: the
// text goes to stderr, a question is answered "yes" (the process ends), and
// text is taken as it is.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/ErrorReport.h"

namespace support {

namespace {

class RealPlatform final : public ErrorReportPlatform {
 public:
  void Beep() override {}
  int ShowMessage(const std::string& text, const char* caption, unsigned style) override {
    std::fprintf(stderr, "%s: %s\n", caption, text.c_str());
    return (style & 0xF) == 4 ? kAnswerYes : 1;
  }
  std::string ConvertFromOem(const std::string& text) override { return text; }
  [[noreturn]] void Exit(int code) override { std::exit(code); }
  [[noreturn]] void Abort(int code) override { std::_Exit(code); }
};

}  // namespace

ErrorReportPlatform& DefaultErrorReportPlatform() {
  static RealPlatform platform;
  return platform;
}

}  // namespace support
