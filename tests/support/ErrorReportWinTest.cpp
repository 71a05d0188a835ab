// The real Windows side of the failure report: its message box (answered
// by a hook, never left waiting) and its OEM-to-ANSI conversion.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/GuiTest.h"
#include "support/ErrorReport.h"

namespace support {
namespace {

TEST(ErrorReportWinTest, RealBoxCarriesCaptionAndAnswer) {
  ErrorReportPlatform& platform = DefaultErrorReportPlatform();
  glyph::test::AutoAnswer answer(IDNO);
  EXPECT_EQ(platform.ShowMessage("text\nClose application?", "Run-time error", kReportQuestionStyle),
            kAnswerNo);
  EXPECT_EQ(answer.Count(), 1);
  EXPECT_STREQ(answer.LastCaption(), "Run-time error");
}

TEST(ErrorReportWinTest, ConvertsFromTheOemCodePage) {
  ErrorReportPlatform& platform = DefaultErrorReportPlatform();
  const std::string oem = "plain \x84\x8E";
  const std::string ansi = platform.ConvertFromOem(oem);
  ASSERT_EQ(ansi.size(), oem.size());
  EXPECT_EQ(ansi.substr(0, 6), "plain ");
  // What the two bytes become depends on the code pages; compare with the
  // platform's own conversion, and make sure they were converted at all.
  char expected[3] = {};
  ::OemToCharBuffA("\x84\x8E", expected, 2);
  EXPECT_EQ(ansi.substr(6), std::string(expected, 2));
  if (::GetOEMCP() != ::GetACP()) {
    EXPECT_NE(ansi.substr(6), "\x84\x8E");
  }
}

}  // namespace
}  // namespace support
