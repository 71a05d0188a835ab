#include <gtest/gtest.h>

#include "browser/PathParts.h"

namespace glyph {
namespace {

TEST(SplitPath, SplitsLikeTheRuntime) {
  struct Case {
    const char* path;
    const char *drive, *directory, *name, *extension;
  } cases[] = {
      {"C:\\Icons\\app.ico", "C:", "\\Icons\\", "app", ".ico"},
      {"C:\\Icons\\", "C:", "\\Icons\\", "", ""},
      {"C:app.ico", "C:", "", "app", ".ico"},
      {"app", "", "", "app", ""},
      {"", "", "", "", ""},
      {"a.b\\c", "", "a.b\\", "c", ""},          // a dot in a folder is no extension
      {"x/y.tar.gz", "", "x/", "y.tar", ".gz"},  // forward slashes, last dot
      {"\\\\server\\share\\f.dll", "", "\\\\server\\share\\", "f", ".dll"},
      {"C:\\dir\\.hidden", "C:", "\\dir\\", "", ".hidden"},
      {"C:\\dir\\name.", "C:", "\\dir\\", "name", "."},
      {"C:", "C:", "", "", ""},
  };
  for (const Case& c : cases) {
    const PathParts p = SplitPath(c.path);
    EXPECT_EQ(p.drive, c.drive) << c.path;
    EXPECT_EQ(p.directory, c.directory) << c.path;
    EXPECT_EQ(p.name, c.name) << c.path;
    EXPECT_EQ(p.extension, c.extension) << c.path;
  }
}

// Wide paths split the same way, every character kept.
TEST(SplitPath, WidePathsKeepNamesOutsideTheCodePage) {
  const WidePathParts p =
      SplitPath(std::wstring_view(L"C:\\\x56FE\\\x0438\x043A\x043E\x043D\x043A\x0430.ico"));
  EXPECT_EQ(p.drive, L"C:");
  EXPECT_EQ(p.directory, L"\\\x56FE\\");
  EXPECT_EQ(p.name, L"\x0438\x043A\x043E\x043D\x043A\x0430");
  EXPECT_EQ(p.extension, L".ico");
  EXPECT_EQ(ExistencePattern(std::wstring_view(L"C:\\x\\")), L"C:\\x");
}

TEST(SplitPath, LongPathsAreNotCut) {
  const std::string dir(400, 'd');
  const std::string name(300, 'n');
  const PathParts p = SplitPath("C:\\" + dir + "\\" + name + ".ico");
  EXPECT_EQ(p.directory.size(), dir.size() + 2);
  EXPECT_EQ(p.name, name);
  EXPECT_EQ(p.extension, ".ico");
}

TEST(SplitPath, TrailBytesOfDoubleByteCharactersAreNotSeparators) {
  // In code page 932, 0x95 0x5C is one character whose trail byte is '\\'.
  auto shiftJisLead = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
  const std::string path = "C:\\a\x95\\b\\c\x95\\";  // folder "a?\\b", file "c?" (trail '\\')
  const PathParts p = SplitPath(path, shiftJisLead);
  EXPECT_EQ(p.directory, "\\a\x95\\b\\");
  EXPECT_EQ(p.name, "c\x95\\");
  // Without the test the same bytes split at every backslash.
  EXPECT_EQ(SplitPath(path).name, "");
  // A lead byte at the very end stands alone.
  EXPECT_EQ(SplitPath("d\\e\x95", shiftJisLead).name, "e\x95");
}

TEST(ExistencePattern, CutsOneTrailingBackslash) {
  EXPECT_EQ(ExistencePattern("C:\\Icons\\"), "C:\\Icons");
  EXPECT_EQ(ExistencePattern("C:\\Icons\\\\"), "C:\\Icons\\");
  EXPECT_EQ(ExistencePattern("C:\\Icons\\*.ico"), "C:\\Icons\\*.ico");
  EXPECT_EQ(ExistencePattern(""), "");
}

}  // namespace
}  // namespace glyph
