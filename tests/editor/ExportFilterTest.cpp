#include "editor/ExportFilter.h"

#include <gtest/gtest.h>

namespace glyph {
namespace {

const char kTypes[] = "True-color icon (*.ico)|16 colors icon (*.ico)|True-color bitmap (*.bmp)|";

TEST(ExportFilter, ParsesDescriptionsPatternsAndExtensions) {
  const ExportFilter f = ExportFilter::Parse(kTypes);
  ASSERT_EQ(f.descriptions.size(), 3u);
  EXPECT_EQ(f.descriptions[1], "16 colors icon (*.ico)");
  EXPECT_EQ(f.patterns[2], "*.bmp");
  EXPECT_EQ(f.extensions[0], ".ico");
  EXPECT_EQ(f.extensions[2], ".bmp");
  const std::string platform = f.PlatformFilter();
  const char expected[] =
      "True-color icon (*.ico)\0*.ico\0"
      "16 colors icon (*.ico)\0*.ico\0"
      "True-color bitmap (*.bmp)\0*.bmp\0";
  EXPECT_EQ(platform, std::string(expected, sizeof expected));  // with the closing NUL
}

TEST(ExportFilter, OddListsStayWithinBounds) {
  EXPECT_EQ(ExportFilter::Parse("||A (*.a)|||B (*.b)").descriptions.size(), 2u);
  const ExportFilter none = ExportFilter::Parse("No pattern|Open (*.x|");
  ASSERT_EQ(none.extensions.size(), 2u);
  EXPECT_EQ(none.extensions[0], "");
  EXPECT_EQ(none.extensions[1], ".x");
  std::string many;
  for (int i = 0; i < 30; ++i) many += "T (*.t)|";
  EXPECT_EQ(ExportFilter::Parse(many).descriptions.size(), 20u);
  EXPECT_EQ(ExportFilter::Parse("").PlatformFilter(), std::string(1, '\0'));
  EXPECT_EQ(ExportFilter::Parse("").InitialName(""), "*");
}

TEST(ExportFilter, InitialNameAndFormat) {
  const ExportFilter f = ExportFilter::Parse(kTypes);
  struct Case {
    const char* name;
    const char* initial;
    int index;
  } cases[] = {
      {"new.ico", "new.ico", 1}, {"", "*.ico", 1},      {"x.BMP", "x.BMP", 3},
      {"a.b.ico", "a.b.ico", 1}, {"noext", "noext", 1}, {"p.bmp", "p.bmp", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(f.InitialName(c.name), c.initial);
    EXPECT_EQ(f.FormatIndexFor(c.name), c.index) << c.name;
  }
  EXPECT_EQ(f.InitialName(std::string(400, 'n')).size(), 255u);
}

TEST(ExportFilter, TypeChangeRewritesTheExtension) {
  EXPECT_EQ(ExtensionOfDescription("True-color bitmap (*.bmp)"), ".bmp");
  EXPECT_EQ(ExtensionOfDescription("no star"), "");
  struct Case {
    const char* name;
    const char* ext;
    const char* result;
  } cases[] = {
      {"new.ico", ".bmp", "new.bmp"}, {"a.b.ico", ".bmp", "a.bmp"}, {"", ".ico", "*.ico"},
      {"plain", ".ico", "plain.ico"}, {"*.ico", ".bmp", "*.bmp"},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplyExtension(c.name, c.ext), c.result);
}

}  // namespace
}  // namespace glyph
