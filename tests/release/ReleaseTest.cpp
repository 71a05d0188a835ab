// The built programs as Explorer sees them: each carries the product's
// version information and the release manifest; the editor its icon in
// every size Windows asks for.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "GlyphVersion.h"
#include "framework/ResourceIds.h"

namespace {

struct Program {
  const char* path;
  const wchar_t* description;
};

const Program kPrograms[] = {
    {GLYPHSMITH_EXE, L"Glyphsmith icon editor"},
    {GLYPHICON_EXE, L"Glyphsmith icon tool: lists, extracts, makes and exports icons"},
    {GLYPHPACK_EXE, L"Glyphsmith resource archive tool"},
};

// The build's path as Wine's Z: drive sees it.
std::wstring WinePath(const char* unixPath) {
  const std::string path(unixPath);
  return L"Z:" + std::wstring(path.begin(), path.end());
}

std::wstring Widen(const char* text) {
  const std::string s(text);
  return std::wstring(s.begin(), s.end());
}

std::wstring StringValue(const std::vector<BYTE>& block, const wchar_t* name) {
  const std::wstring query = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0) return L"(none)";
  return static_cast<const wchar_t*>(value);
}

TEST(ReleaseTest, EveryProgramCarriesTheVersionInformation) {
  const std::wstring version = Widen(GLYPH_VERSION_TEXT);
  for (const Program& program : kPrograms) {
    const std::wstring path = WinePath(program.path);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << program.path;
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) << program.path;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(GLYPH_VERSION_MINOR, GLYPH_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, GLYPH_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(StringValue(block, L"ProductName"), L"Glyphsmith") << program.path;
    EXPECT_EQ(StringValue(block, L"ProductVersion"), version) << program.path;
    EXPECT_EQ(StringValue(block, L"FileVersion"), version) << program.path;
    EXPECT_EQ(StringValue(block, L"FileDescription"), program.description) << program.path;
  }
}

// The manifest: the version-6 controls, long paths, scaling per monitor,
// every supported system.
TEST(ReleaseTest, EveryProgramCarriesTheManifest) {
  const char* const wanted[] = {
      "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
      ">true</longPathAware>",
      ">true/pm</dpiAware>",
      ">PerMonitorV2, PerMonitor</dpiAwareness>",
      "level=\"asInvoker\"",
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
  };
  for (const Program& program : kPrograms) {
    HMODULE module = ::LoadLibraryExW(WinePath(program.path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << program.path;
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1),  // the process manifest
                                  MAKEINTRESOURCEW(24));        // RT_MANIFEST
    std::string manifest;
    if (found) {
      const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
      manifest.assign(bytes, ::SizeofResource(module, found));
    }
    ::FreeLibrary(module);
    for (const char* piece : wanted)
      EXPECT_NE(manifest.find(piece), std::string::npos) << program.path << ": " << piece;
  }
}

// The group's entries as Windows reads them: a side of 0 means 256, and
// that image is PNG (what keeps the file small).
TEST(ReleaseTest, TheEditorsIconHasEverySizeWindowsAsksFor) {
  HMODULE module = ::LoadLibraryExW(WinePath(GLYPHSMITH_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  auto bytesOf = [module](LPCWSTR name, LPCWSTR type) {
    HRSRC found = ::FindResourceW(module, name, type);
    if (!found) return std::string();
    return std::string(static_cast<const char*>(::LockResource(::LoadResource(module, found))),
                       ::SizeofResource(module, found));
  };
  const std::string group = bytesOf(MAKEINTRESOURCEW(IDI_PROGRAM), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  constexpr size_t kHeader = 6, kEntry = 14;
  ASSERT_GE(group.size(), kHeader);
  const size_t count = static_cast<unsigned char>(group[4]) | static_cast<unsigned char>(group[5]) << 8;
  ASSERT_EQ(group.size(), kHeader + count * kEntry);
  std::set<int> sides;
  std::string largest;
  for (size_t i = 0; i < count; ++i) {
    const char* entry = group.data() + kHeader + i * kEntry;
    const int side = entry[0] == 0 ? 256 : static_cast<unsigned char>(entry[0]);
    sides.insert(side);
    const WORD id = static_cast<unsigned char>(entry[12]) | static_cast<unsigned char>(entry[13]) << 8;
    if (side == 256) largest = bytesOf(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));  // RT_ICON
  }
  ::FreeLibrary(module);
  EXPECT_EQ(sides, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));
  EXPECT_EQ(largest.compare(0, 4, "\x89PNG"), 0);
}

}  // namespace
