#include <gtest/gtest.h>

#include "widgets/LinkText.h"

namespace glyph {
namespace {

TEST(FallbackCommandLine, CutsAtThePlaceholderAndAppendsTheTarget) {
  struct Case {
    const char *command, *expected;
  } cases[] = {
      {"\"C:\\b.exe\" -nohome \"%1\" -x", "\"C:\\b.exe\" -nohome  http://a/"},
      {"C:\\b.exe %1 -x", "C:\\b.exe  http://a/"},
      {"C:\\b.exe -%1", "C:\\b.exe - http://a/"},
      {"C:\\b.exe", "C:\\b.exe http://a/"},
      {"C:\\b.exe \"x\" %1 \"%1\"", "C:\\b.exe \"x\" %1  http://a/"},  // the quoted form wins
      {"", " http://a/"},
  };
  for (const Case& c : cases) EXPECT_EQ(FallbackCommandLine(c.command, "http://a/"), c.expected) << c.command;
}

TEST(FallbackCommandLine, PlaceholderIsFoundOnlyAtCharacterBoundaries) {
  // 0x81 0x25 is one double-byte character whose trail byte is '%'.
  auto lead = [](unsigned char b) { return b >= 0x81 && b <= 0x9F; };
  EXPECT_EQ(FallbackCommandLine("a\x81%1 b", "t", lead), "a\x81%1 b t");
  EXPECT_EQ(FallbackCommandLine("a\x81%1 %1", "t", lead), "a\x81%1  t");
  EXPECT_EQ(FallbackCommandLine("a\x81%1 b", "t"), "a\x81 t");
}

TEST(OpenErrorMessage, ExplainsEachShellCode) {
  struct Case {
    long long code;
    const char* text;
  } cases[] = {
      {0, "The operating system is out\nof memory or resources."},
      {2, "The specified file was not found."},
      {26, "A sharing violation occurred. "},
      {31, "There is no application associated\nwith the given filename extension."},
      {32, "The specified dynamic-link library was not found."},
      {4, "Unknown Error (4) occurred."},
      {-1, "Unknown Error (-1) occurred."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(OpenErrorMessage(c.code), std::string("Can't open link:\n\n") + c.text);
}

}  // namespace
}  // namespace glyph
