#include "editor/ExportFilter.h"

#include <gtest/gtest.h>

namespace glyph {
namespace {

const wchar_t kTypes[] = L"True-color icon (*.ico)|16 colors icon (*.ico)|True-color bitmap (*.bmp)|";

TEST(ExportFilter, ParsesDescriptionsPatternsAndExtensions) {
  const ExportFilter f = ExportFilter::Parse(kTypes);
  ASSERT_EQ(f.descriptions.size(), 3u);
  EXPECT_EQ(f.descriptions[1], L"16 colors icon (*.ico)");
  EXPECT_EQ(f.patterns[2], L"*.bmp");
  EXPECT_EQ(f.extensions[0], L".ico");
  EXPECT_EQ(f.extensions[2], L".bmp");
  const std::wstring platform = f.PlatformFilter();
  const wchar_t expected[] =
      L"True-color icon (*.ico)\0*.ico\0"
      L"16 colors icon (*.ico)\0*.ico\0"
      L"True-color bitmap (*.bmp)\0*.bmp\0";
  EXPECT_EQ(platform, std::wstring(expected, sizeof expected / sizeof expected[0]));  // with the closing NUL
}

TEST(ExportFilter, OddListsStayWithinBounds) {
  EXPECT_EQ(ExportFilter::Parse(L"||A (*.a)|||B (*.b)").descriptions.size(), 2u);
  const ExportFilter none = ExportFilter::Parse(L"No pattern|Open (*.x|");
  ASSERT_EQ(none.extensions.size(), 2u);
  EXPECT_EQ(none.extensions[0], L"");
  EXPECT_EQ(none.extensions[1], L".x");
  std::wstring many;
  for (int i = 0; i < 30; ++i) many += L"T (*.t)|";
  EXPECT_EQ(ExportFilter::Parse(many).descriptions.size(), 20u);
  EXPECT_EQ(ExportFilter::Parse(L"").PlatformFilter(), std::wstring(1, L'\0'));
  EXPECT_EQ(ExportFilter::Parse(L"").InitialName(L""), L"*");
}

TEST(ExportFilter, InitialNameAndFormat) {
  const ExportFilter f = ExportFilter::Parse(kTypes);
  struct Case {
    const wchar_t* name;
    const wchar_t* initial;
    int index;
  } cases[] = {
      {L"new.ico", L"new.ico", 1}, {L"", L"*.ico", 1},      {L"x.BMP", L"x.BMP", 3},
      {L"a.b.ico", L"a.b.ico", 1}, {L"noext", L"noext", 1}, {L"p.bmp", L"p.bmp", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(f.InitialName(c.name), c.initial);
    EXPECT_EQ(f.FormatIndexFor(c.name), c.index) << c.name;
  }
  EXPECT_EQ(f.InitialName(std::wstring(400, L'n')).size(), 255u);
}

TEST(ExportFilter, TypeChangeRewritesTheExtension) {
  EXPECT_EQ(ExtensionOfDescription(L"True-color bitmap (*.bmp)"), L".bmp");
  EXPECT_EQ(ExtensionOfDescription(L"no star"), L"");
  struct Case {
    const wchar_t* name;
    const wchar_t* ext;
    const wchar_t* result;
  } cases[] = {
      {L"new.ico", L".bmp", L"new.bmp"}, {L"a.b.ico", L".bmp", L"a.bmp"}, {L"", L".ico", L"*.ico"},
      {L"plain", L".ico", L"plain.ico"}, {L"*.ico", L".bmp", L"*.bmp"},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplyExtension(c.name, c.ext), c.result);
}

// A typed name without any extension gets the type's; the folders' dots
// do not count, and a name with an extension of its own keeps it.
TEST(ExportFilter, BareNamesGetTheTypesExtension) {
  struct Case {
    const wchar_t* path;
    const wchar_t* result;
  } cases[] = {
      {L"C:\\a\\sixteen", L"C:\\a\\sixteen.ico"},
      {L"C:\\a.b\\sixteen", L"C:\\a.b\\sixteen.ico"},
      {L"C:\\a\\x.txt", L"C:\\a\\x.txt"},
      {L"C:\\a\\\x56FE\x6807", L"C:\\a\\\x56FE\x6807.ico"},
      {L"C:\\a\\", L"C:\\a\\"},
      {L"name", L"name.ico"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithExtension(c.path, L".ico"), c.result);
}

TEST(ExportFilter, DialogPathLengthJoinsRelativeNamesOnly) {
  EXPECT_EQ(DialogPathLength(L"C:\\dir", L"name", L".ico"), 15u);
  EXPECT_EQ(DialogPathLength(L"C:\\dir", L"D:\\x", L".ico"), 8u);
  EXPECT_EQ(DialogPathLength(L"C:\\dir", L"\\\\srv\\x", L""), 7u);
}

}  // namespace
}  // namespace glyph
