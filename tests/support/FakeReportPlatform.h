// A failure-report platform for tests: records every box, answers them
// with a chosen button, and turns the end of the process into an exception
// so that a test can look at what a fatal report did.
#pragma once

#include <string>
#include <vector>

#include "support/ErrorReport.h"

namespace support::test {

struct ProcessEnd {
  int code;
  bool abnormal;
};

struct ShownBox {
  std::string text;
  std::string caption;
  unsigned style;
};

class FakeReportPlatform final : public ErrorReportPlatform {
 public:
  explicit FakeReportPlatform(int answer = kAnswerNo);
  ~FakeReportPlatform() override;
  FakeReportPlatform(const FakeReportPlatform&) = delete;
  FakeReportPlatform& operator=(const FakeReportPlatform&) = delete;

  void Beep() override { ++beeps; }
  int ShowMessage(const std::string& text, const char* caption, unsigned style) override;
  std::string ConvertFromOem(const std::string& text) override;
  [[noreturn]] void Exit(int code) override { throw ProcessEnd{code, false}; }
  [[noreturn]] void Abort(int code) override { throw ProcessEnd{code, true}; }

  int answer;
  int beeps = 0;
  std::vector<ShownBox> boxes;

 private:
  ErrorReportPlatform* previous_;
};

// Runs `action`, which must end in a fatal report, and returns the text of
// the box it showed.
template <class Action>
std::string FatalReportOf(Action action) {
  FakeReportPlatform platform;
  try {
    action();
  } catch (const ProcessEnd&) {
    return platform.boxes.empty() ? std::string("(no box)") : platform.boxes.back().text;
  }
  return "(no report)";
}

}  // namespace support::test
