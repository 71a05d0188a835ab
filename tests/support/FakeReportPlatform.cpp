#include "FakeReportPlatform.h"

#include <cstdio>

namespace support::test {

FakeReportPlatform::FakeReportPlatform(int answer) : answer(answer), previous_(SetErrorReportPlatform(this)) {
  reporting = false;
}

FakeReportPlatform::~FakeReportPlatform() {
  // The reports of a test leave no log behind in the working folder.
  std::remove("error.lst");
  SetErrorReportPlatform(previous_);
  reporting = false;
}

int FakeReportPlatform::ShowMessage(const std::string& text, const char* caption, unsigned style) {
  boxes.push_back({text, caption, style});
  return answer;
}

// A stand-in conversion that visibly changes bytes above 127, so tests see
// which text went through it.
std::string FakeReportPlatform::ConvertFromOem(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (static_cast<unsigned char>(c) >= 128) c = '?';
  }
  return out;
}

}  // namespace support::test
