// Where a help request goes: the compiled help where the viewer shows
// pages, else the HTML pages beside the program (Wine without Gecko).
#include "app/HelpRoute.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace glyph {
namespace {

class HelpRouteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"glyph_help_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir_.c_str(), nullptr);
    ::CreateDirectoryW((dir_ + L"\\help").c_str(), nullptr);
  }
  void TearDown() override {
    Put(chm_, false);
    Put(html_, false);
    ::RemoveDirectoryW((dir_ + L"\\gecko\\2.47.3\\wine_gecko").c_str());
    ::RemoveDirectoryW((dir_ + L"\\gecko\\2.47.3").c_str());
    ::RemoveDirectoryW((dir_ + L"\\gecko").c_str());
    ::RemoveDirectoryW((dir_ + L"\\help").c_str());
    ::RemoveDirectoryW(dir_.c_str());
  }
  static void Put(const std::wstring& path, bool present) {
    if (!present) {
      ::DeleteFileW(path.c_str());
      return;
    }
    ::CloseHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  std::wstring dir_;
  std::wstring chm_, html_;
};

TEST_F(HelpRouteTest, TheCompiledHelpOnlyWhereItCanBeRead) {
  const std::wstring program = dir_ + L"\\glyph.smith.exe";
  chm_ = dir_ + L"\\glyph.smith.chm";
  html_ = dir_ + L"\\help\\index.html";
  EXPECT_EQ(CompiledHelpPath(program), chm_);
  EXPECT_EQ(HtmlHelpPath(program), html_);
  const struct {
    bool chm, html, viewerShowsPages;
    const std::wstring& expected;
  } cases[] = {
      {true, true, true, chm_},   {true, true, false, html_},  {false, true, true, html_},
      {true, false, false, chm_}, {false, false, false, chm_}, {false, false, true, chm_},
  };
  for (const auto& c : cases) {
    Put(chm_, c.chm);
    Put(html_, c.html);
    EXPECT_EQ(HelpDocument(program, c.viewerShowsPages), c.expected) << c.chm << c.html << c.viewerShowsPages;
  }
}

// Under Wine the viewer shows pages only where its Gecko engine lies.
TEST_F(HelpRouteTest, WineShowsPagesOnlyWithGecko) {
  const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  if (!wine) GTEST_SKIP() << "Windows shows help pages by itself";
  const std::wstring place = dir_ + L"\\gecko\\*";
  EXPECT_FALSE(HelpViewerShowsPages({place}));
  ::CreateDirectoryW((dir_ + L"\\gecko").c_str(), nullptr);
  EXPECT_FALSE(HelpViewerShowsPages({place}));  // an empty folder holds no engine
  ::CreateDirectoryW((dir_ + L"\\gecko\\2.47.3").c_str(), nullptr);
  ::CreateDirectoryW((dir_ + L"\\gecko\\2.47.3\\wine_gecko").c_str(), nullptr);
  EXPECT_TRUE(HelpViewerShowsPages({place}));
  // Wine's own places: the prefix's system32, and the shared Unix folders
  // as Wine shows them to programs.
  const std::vector<std::wstring> places = GeckoPlaces();
  auto listed = [&places](const wchar_t* tail) {
    for (const std::wstring& p : places)
      if (p.size() >= std::wcslen(tail) &&
          p.compare(p.size() - std::wcslen(tail), std::wstring::npos, tail) == 0)
        return true;
    return false;
  };
  EXPECT_TRUE(listed(L"\\system32\\gecko\\*"));
  EXPECT_TRUE(listed(L"\\usr\\share\\wine\\gecko\\wine-gecko-*"));
}

}  // namespace
}  // namespace glyph
