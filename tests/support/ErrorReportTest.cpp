#include "support/ErrorReport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "FakeReportPlatform.h"
#include "support/FileProvider.h"
#include "tests/common/FileBytes.h"

namespace support {
namespace {

using test::FakeReportPlatform;
using test::ProcessEnd;

constexpr char kLog[] = "error.lst";

#ifdef _WIN32
constexpr char kBreak[] = "\r\n";
#else
constexpr char kBreak[] = "\n";
#endif

std::string ReadLog() { return glyph::test::ReadAll(kLog); }

class ErrorReportTest : public ::testing::Test {
 protected:
  void SetUp() override { std::remove(kLog); }
  void TearDown() override { std::remove(kLog); }
};

TEST_F(ErrorReportTest, LogEntryIsTimeLineMessageAndEmptyLine) {
  FakeReportPlatform platform(kAnswerNo);
  runTimeError("first line\nsecond \x8E line", false);
  runTimeError("again", false);

  const std::string log = ReadLog();
  const std::string b = kBreak;
  // "Tue Dec  8 08:22:26 2026": 24 characters, day padded with a space.
  const std::string stamp =
      "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
      "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}";
  const std::regex entry(stamp + b + "first line" + b + "second \x8E line" + b + b + stamp + b + "again" + b +
                         b);
  EXPECT_TRUE(std::regex_match(log, entry)) << log;
  EXPECT_EQ(log.find('\n') - (b.size() - 1), 24u);
}

TEST_F(ErrorReportTest, NonFatalAnsweredNoReturnsAndClearsTheFlag) {
  FakeReportPlatform platform(kAnswerNo);
  runTimeError("one", false);
  runTimeError("two", false);
  EXPECT_FALSE(reporting);
  ASSERT_EQ(platform.boxes.size(), 2u);
  for (const auto& box : platform.boxes) {
    EXPECT_EQ(box.caption, "Run-time error");
    EXPECT_EQ(box.style, 0x12014u);
  }
  EXPECT_EQ(platform.boxes[1].text, "two\nClose application?");
  EXPECT_EQ(platform.beeps, 2);
}

TEST_F(ErrorReportTest, EndingPaths) {
  struct Case {
    const char* name;
    bool fatal;
    bool alreadyReporting;
    int answer;
    int code;
    bool abnormal;
    const char* caption;
    const char* suffix;
    unsigned style;
  };
  const Case cases[] = {
      {"non-fatal, Yes", false, false, kAnswerYes, 1, false, "Run-time error", "\nClose application?",
       0x12014},
      {"fatal", true, false, kAnswerNo, 1, false, "Run-time error", "\nApplication will be closed.", 0x12010},
      {"critical", true, true, kAnswerNo, 3, true, "Critical run-time error!",
       "\nApplication will be terminated.", 0x12010},
      {"critical, non-fatal", false, true, kAnswerNo, 3, true, "Critical run-time error!",
       "\nApplication will be terminated.", 0x12010},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::remove(kLog);
    FakeReportPlatform platform(c.answer);
    reporting = c.alreadyReporting;
    try {
      runTimeError("broken", c.fatal);
      ADD_FAILURE() << "returned";
    } catch (const ProcessEnd& end) {
      EXPECT_EQ(end.code, c.code);
      EXPECT_EQ(end.abnormal, c.abnormal);
    }
    EXPECT_TRUE(reporting) << "the exit keeps the flag set";
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].caption, c.caption);
    EXPECT_EQ(platform.boxes[0].text, std::string("broken") + c.suffix);
    EXPECT_EQ(platform.boxes[0].style, c.style);
    EXPECT_NE(ReadLog().find("broken"), std::string::npos) << "logged before the box";
  }
}

TEST_F(ErrorReportTest, BoxShowsConvertedTextLogKeepsBytes) {
  FakeReportPlatform platform(kAnswerNo);
  runTimeError("caf\x82", false);
  EXPECT_EQ(platform.boxes.at(0).text, "caf?\nClose application?");
  EXPECT_NE(ReadLog().find("caf\x82"), std::string::npos);
}

TEST_F(ErrorReportTest, ReportFailureFormatsAndCutsAtItsCapacity) {
  FakeReportPlatform platform(kAnswerNo);
  reportFailure("acollect", 42, "Item not found", false);
  EXPECT_EQ(platform.boxes.at(0).text,
            "File acollect, line 42:\nItem not found\nPlease report to bugs@glyphsmith.example\nClose "
            "application?");

  const std::string longText(5000, 'x');
  reportFailure("compress", 7, longText.c_str(), false);
  const std::string& text = platform.boxes.at(1).text;
  EXPECT_EQ(text.size(), 999u + std::string("\nClose application?").size());
}

class CountingProvider final : public TFileProvider {
 public:
  explicit CountingProvider(int* shutdowns) : shutdowns_(shutdowns) {}
  char* ReadFile(const char*, int, int, int) override { return nullptr; }
  void Shutdown() override { ++*shutdowns_; }

 private:
  int* shutdowns_;
};

TEST_F(ErrorReportTest, FatalReportReleasesTheFileProviderFirst) {
  int shutdowns = 0;
  theFileProvider = new CountingProvider(&shutdowns);
  {
    FakeReportPlatform platform(kAnswerNo);
    runTimeError("not fatal", false);
    EXPECT_EQ(shutdowns, 0);
    EXPECT_NE(theFileProvider, nullptr);
    EXPECT_THROW(runTimeError("fatal", true), ProcessEnd);
  }
  EXPECT_EQ(shutdowns, 1);
  EXPECT_EQ(theFileProvider, nullptr);
}

// The real ends of the process, in a child: a fatal report exits with 1,
// and a report made while that exit runs (from an exit handler) takes the
// critical path and ends the process with 3 at once.
class QuietPlatform final : public ErrorReportPlatform {
 public:
  void Beep() override {}
  int ShowMessage(const std::string&, const char*, unsigned) override { return kAnswerYes; }
  std::string ConvertFromOem(const std::string& text) override { return text; }
  [[noreturn]] void Exit(int code) override { std::exit(code); }
  [[noreturn]] void Abort(int code) override { std::_Exit(code); }
};

void ReportDuringExit() { runTimeError("during clean-up", true); }

TEST(ErrorReportDeathTest, FatalExitsWithOneAndCriticalWithThree) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static QuietPlatform quiet;
        SetErrorReportPlatform(&quiet);
        runTimeError("fatal", true);
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(
      {
        static QuietPlatform quiet;
        SetErrorReportPlatform(&quiet);
        runTimeError("asked", false);  // answered Yes: a normal exit
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(
      {
        static QuietPlatform quiet;
        SetErrorReportPlatform(&quiet);
        std::atexit(ReportDuringExit);
        runTimeError("fatal", true);
      },
      ::testing::ExitedWithCode(3), "");
  std::remove(kLog);
}

}  // namespace
}  // namespace support
