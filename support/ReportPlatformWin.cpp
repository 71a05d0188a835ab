// The failure report's platform on Windows: a beep and a message box, OEM
// text converted to the ANSI code page, and an abort that ends the process
// at once.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "support/ErrorReport.h"

namespace support {

namespace {

class RealPlatform final : public ErrorReportPlatform {
 public:
  void Beep() override { ::MessageBeep(MB_OK); }
  int ShowMessage(const std::string& text, const char* caption, unsigned style) override {
    return ::MessageBoxA(nullptr, text.c_str(), caption, style);
  }
  std::string ConvertFromOem(const std::string& text) override {
    std::string out(text.size(), '\0');
    ::OemToCharBuffA(text.data(), out.data(), static_cast<DWORD>(text.size()));
    return out;
  }
  [[noreturn]] void Exit(int code) override { std::exit(code); }
  [[noreturn]] void Abort(int code) override {
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(code));
    std::_Exit(code);
  }
};

}  // namespace

ErrorReportPlatform& DefaultErrorReportPlatform() {
  static RealPlatform platform;
  return platform;
}

}  // namespace support
