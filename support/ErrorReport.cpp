#include "support/ErrorReport.h"

#include <cstdio>
#include <ctime>

#include "support/FileProvider.h"

namespace support {

bool reporting = false;

namespace {

constexpr char kLogName[] = "error.lst";
constexpr char kContact[] = "bugs@glyphsmith.example";
constexpr size_t kReportCapacity = 1000;

ErrorReportPlatform* g_platform = nullptr;

ErrorReportPlatform& Platform() { return g_platform ? *g_platform : DefaultErrorReportPlatform(); }

// One entry: a 24-character time line, the message, an empty line. Text
// mode, so every line break reaches the disk as CR LF on Windows.
void AppendToLog(const char* message) {
  std::FILE* f = std::fopen(kLogName, "a");
  if (!f) return;
  std::time_t now = std::time(nullptr);
  char stamp[64] = "";
  if (const std::tm* t = std::localtime(&now)) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::snprintf(stamp, sizeof stamp, "%s %s %2d %02d:%02d:%02d %04d", kDays[t->tm_wday % 7],
                  kMonths[t->tm_mon % 12], t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec, t->tm_year + 1900);
  }
  std::fprintf(f, "%s\n%s\n", stamp, message);
  std::fflush(f);
  std::fputs("\n", f);
  std::fflush(f);
  std::fclose(f);
}

}  // namespace

ErrorReportPlatform* SetErrorReportPlatform(ErrorReportPlatform* platform) {
  ErrorReportPlatform* old = g_platform;
  g_platform = platform;
  return old;
}

void runTimeError(const char* message, bool fatal) {
  if (!message) message = "";
  AppendToLog(message);
  ErrorReportPlatform& platform = Platform();
  const std::string converted = platform.ConvertFromOem(message);

  if (reporting) {
    platform.Beep();
    platform.ShowMessage(converted + "\nApplication will be terminated.", "Critical run-time error!",
                         kReportFatalStyle);
    platform.Abort(3);
  }
  reporting = true;
  if (fatal && theFileProvider) {
    // The process is about to end: give up our reference first, so that
    // the provider's own clean-up runs before the box is shown.
    TFileProvider* provider = theFileProvider;
    theFileProvider = nullptr;
    provider->Release();
  }
  platform.Beep();
  if (fatal) {
    platform.ShowMessage(converted + "\nApplication will be closed.", "Run-time error", kReportFatalStyle);
    platform.Exit(1);
  }
  if (platform.ShowMessage(converted + "\nClose application?", "Run-time error", kReportQuestionStyle) ==
      kAnswerYes) {
    platform.Exit(1);
  }
  reporting = false;
}

void reportFailure(const char* unit, int line, const char* text, bool fatal) {
  // Over-long reports are cut at the buffer's end rather than overrun it.
  char report[kReportCapacity];
  std::snprintf(report, sizeof report, "File %s, line %d:\n%s\nPlease report to %s", unit ? unit : "", line,
                text ? text : "", kContact);
  runTimeError(report, fatal);
}

}  // namespace support
