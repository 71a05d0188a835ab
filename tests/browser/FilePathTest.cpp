#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "browser/FilePath.h"
#include "framework/Handles.h"

namespace glyph {
namespace {

TEST(CFilePath, AnswersFromTheParts) {
  const CFilePath path("C:\\Icons\\app.ico");
  EXPECT_EQ(path.GetFileName(), "app.ico");
  EXPECT_EQ(path.GetDirectory(), "C:\\Icons\\");
  EXPECT_EQ(path.GetPathNoExt(), "C:\\Icons\\app");
  EXPECT_EQ(path.GetTitle(), "app");
  EXPECT_EQ(path.GetPath(), "C:\\Icons\\app.ico");
}

TEST(CFilePath, EmptyPathIsTheProgramFile) {
  char module[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  const CFilePath self("");
  EXPECT_EQ(self.GetPath(), module);
  EXPECT_EQ(self.GetTitle(), "filepath_tests");
  const std::string help = self.GetPathNoExt() + ".chm";
  const std::string expected = std::string(module).substr(0, std::string(module).size() - 4) + ".chm";
  EXPECT_EQ(help, expected);
  EXPECT_TRUE(self.Exists());
  EXPECT_FALSE(CFilePath("").GetPath().empty());
}

TEST(CFilePath, ExistsFindsFilesFoldersAndWildcards) {
  char temp[MAX_PATH] = {};
  ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
  const std::string dir = std::string(temp) + "glyph_filepath_" + std::to_string(::GetCurrentProcessId());
  ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr));
  const std::string file = dir + "\\app.ico";
  {
    UniqueFile f(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(f);
  }
  struct Case {
    std::string path;
    bool exists;
  } cases[] = {
      {file, true},
      {dir, true},
      {dir + "\\", true},  // the folder itself
      {dir + "\\*.ico", true},
      {dir + "\\*.dll", false},
      {dir + "\\missing.ico", false},
      {dir + "\\missing\\", false},
      {"\\", false},  // nothing left once the backslash is cut
  };
  for (const Case& c : cases) EXPECT_EQ(CFilePath(c.path).Exists(), c.exists) << c.path;
  ::DeleteFileA(file.c_str());
  ::RemoveDirectoryA(dir.c_str());
}

}  // namespace
}  // namespace glyph
