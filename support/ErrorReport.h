// The support library's one way of reporting a failure it cannot handle:
// an entry in "error.lst", a message box, and for fatal reports the end of
// the process.
//
// The platform side (message box, beep, code-page conversion, process exit)
// goes through ErrorReportPlatform so that tests can see what would have
// been shown without blocking on a box or ending the test process.
#pragma once

#include <string>

namespace support {

// Message-box styles and answers, as the platform defines them.
constexpr unsigned kReportFatalStyle = 0x12010;     // MB_OK|MB_ICONHAND|MB_TASKMODAL|MB_SETFOREGROUND
constexpr unsigned kReportQuestionStyle = 0x12014;  // MB_YESNO|MB_ICONHAND|MB_TASKMODAL|MB_SETFOREGROUND
constexpr int kAnswerYes = 6;                       // IDYES
constexpr int kAnswerNo = 7;                        // IDNO

class ErrorReportPlatform {
 public:
  virtual ~ErrorReportPlatform() = default;
  virtual void Beep() = 0;
  // Shows a box without owner; returns the answer (kAnswerYes, kAnswerNo...).
  virtual int ShowMessage(const std::string& text, const char* caption, unsigned style) = 0;
  // Same length out as in: the library writes its texts in the OEM code page.
  virtual std::string ConvertFromOem(const std::string& text) = 0;
  // Ends the process normally: exit handlers and static destructors run.
  [[noreturn]] virtual void Exit(int code) = 0;
  // Ends the process at once, without any clean-up.
  [[noreturn]] virtual void Abort(int code) = 0;
};

// The real platform (message boxes on Windows, stderr elsewhere), defined in
// ReportPlatformWin.cpp or ReportPlatformPosix.cpp.
ErrorReportPlatform& DefaultErrorReportPlatform();
// Replaces the platform; null restores the default. Returns the previous one.
ErrorReportPlatform* SetErrorReportPlatform(ErrorReportPlatform* platform);

// Set while a report is shown, and left set once the process decided to exit.
extern bool reporting;

// Logs, shows and, when fatal or when the user asks for it, ends the process.
// Returns only for a non-fatal report that the user chose to continue.
void runTimeError(const char* message, bool fatal);

// "File <unit>, line <line>:\n<text>\nPlease report to <address>" through
// runTimeError.
void reportFailure(const char* unit, int line, const char* text, bool fatal);

}  // namespace support
