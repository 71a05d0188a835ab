// Start-up: the command line's arguments and "/uninstall".
#include <gtest/gtest.h>
#include <windows.h>

#include "app/MainApp.h"
#include "app/Uninstall.h"
#include "framework/Handles.h"

namespace glyph {
namespace {

TEST(MainAppTest, ArgumentsOfTheCommandLine) {
  const struct {
    const wchar_t* full;
    const wchar_t* args;
  } cases[] = {
      {L"glyphsmith.exe", L""},
      {L"glyphsmith.exe   ", L""},
      {L"glyphsmith.exe c:\\icons\\a.ico", L"c:\\icons\\a.ico"},
      {L"\"C:\\Program Files\\g.exe\" c:\\my icons\\a b.ico  ", L"c:\\my icons\\a b.ico"},
      {L"\"C:\\Program Files\\g.exe\"\t\"c:\\my icons\\a b.ico\"", L"c:\\my icons\\a b.ico"},
      {L"g.exe /UNINSTALL", L"/UNINSTALL"},
      {L"\"unclosed quote", L""},
      {L"g.exe \xE9t\x00E9\x0436.ico", L"\xE9t\x00E9\x0436.ico"},
  };
  for (const auto& c : cases) EXPECT_EQ(CMainApp::ArgumentsOf(c.full), c.args) << c.full;
}

TEST(MainAppTest, UninstallCommandInAnyLetterCase) {
  EXPECT_TRUE(IsUninstallCommand("/uninstall"));
  EXPECT_TRUE(IsUninstallCommand("/UnInstall"));
  EXPECT_TRUE(IsUninstallCommand("/UNINSTALL"));
  EXPECT_FALSE(IsUninstallCommand("uninstall"));
  EXPECT_FALSE(IsUninstallCommand("/uninstall "));
  EXPECT_FALSE(IsUninstallCommand(""));
}

bool ProfileExists() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vorlane\\Glyphsmith", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  UniqueRegKey owned(key);
  return true;
}

// The profile keeps its sections as sub-keys; the whole tree goes, and the
// maker's key above it stays.
TEST(MainAppTest, UninstallRemovesTheProfileWithItsSections) {
  HKEY raw = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vorlane\\Glyphsmith\\Open dlg position", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  {
    UniqueRegKey key(raw);
    const char value[] = "10";
    ::RegSetValueExA(key.Get(), "Left", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
  }
  ASSERT_TRUE(ProfileExists());
  CMainApp app;
  EXPECT_EQ(app.Run(L"/Uninstall"), 0);
  EXPECT_FALSE(ProfileExists());
  HKEY maker = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vorlane", 0, KEY_READ, &maker), ERROR_SUCCESS);
  UniqueRegKey owned(maker);
  // Removing what is already gone is not a failure of the program.
  EXPECT_EQ(app.Run(L"/uninstall"), 0);
}

}  // namespace
}  // namespace glyph
