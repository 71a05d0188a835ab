// The preview painted on a real static control, and the three export files
// read back through the platform's own loaders. The files of the
// several-colour test image are left in export_out/ with the expected
// pixels, for the check with the other readers (check_exports.py).
#include "editor/PreviewIcon.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/IconFormat.h"
#include "tests/common/GuiTest.h"

namespace glyph {
namespace {

constexpr Pixel kSilver = 0xC0C0C0;
constexpr Pixel kMarker = 0xFF00FF;  // behind icons drawn for checking
constexpr Pixel kOpaqueBits = 0xFF000000u;

class RecordingSink final : public MessageSink {
 public:
  std::vector<std::wstring> shown;
  void Show(HWND, const std::wstring& text) override { shown.push_back(text); }
  int Ask(HWND, const std::wstring&) override { return IDCANCEL; }
};

// The test's paths are ASCII.
std::wstring W(const std::string& path) { return std::wstring(path.begin(), path.end()); }

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A 32 x 32 image with transparent areas (`clear`), palette and
// off-palette colours.
void PaintTestImage(CDib& image, Pixel clear = kSilver) {
  image.Fill(192, 192, 192);
  const Pixel colors[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x000000, 0xFFFFFF, 0x336699, 0x808080};
  const PixelView v = image.View();
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const bool check = (x / 4 + y / 4) % 3 == 0;
      v.At(x, y) = check ? clear : kOpaqueBits | colors[(x / 4 + 2 * (y / 8)) % 8];
    }
  }
  v.At(0, 0) = kOpaqueBits | 0xFF0000;
  v.At(31, 31) = kOpaqueBits | kSilver;
}

// Draws an icon file through the platform's loader onto the marker colour.
bool DrawIconFile(const std::string& path, CDib& out) {
  UniqueIcon icon(
      static_cast<HICON>(::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 32, 32, LR_LOADFROMFILE)));
  if (!icon) return false;
  out.Create(32, 32);
  out.Fill(0xFF, 0x00, 0xFF);
  HDC dc = out.LockDC();
  const bool ok = ::DrawIconEx(dc, 0, 0, icon.Get(), 32, 32, 0, nullptr, DI_NORMAL);
  out.UnlockDC();
  return ok;
}

class PreviewIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Window::RegisterClass("GlyphPreviewHost", 0, nullptr, nullptr));
    ASSERT_TRUE(
        host.Create("GlyphPreviewHost", "", WS_POPUP | WS_VISIBLE, 0, RECT{500, 40, 600, 140}, nullptr, 0));
    HWND stat = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 49, 40, host.GetHwnd(),
                                  reinterpret_cast<HMENU>(1001), nullptr, nullptr);
    ASSERT_TRUE(preview.Subclass(stat));
    ASSERT_EQ(image.Create(32, 32), 1);
    image.Fill(192, 192, 192);
    preview.SetSource(&image);
    preview.SetMessageSink(&sink);
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + "glyph_preview_" + std::to_string(::GetCurrentProcessId()) + "\\";
    ::CreateDirectoryA(dir.c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* name : {"a.ico", "b.ico", "c.bmp", "locked.ico"}) ::DeleteFileA((dir + name).c_str());
    ::RemoveDirectoryA(dir.c_str());
    preview.Unsubclass();
    host.DestroyWindow();
  }

  Window host;
  CPreviewIcon preview;
  CDib image;
  RecordingSink sink;
  std::string dir;
};

TEST_F(PreviewIconTest, PaintsTheIconCentredOnTheBackground) {
  // Fresh: all transparent, so all white.
  test::ClientPixels px = test::CaptureClient(preview);
  ASSERT_EQ(px.width, 49);
  for (int y = 0; y < px.height; ++y)
    for (int x = 0; x < px.width; ++x) ASSERT_EQ(px.At(x, y), 0xFFFFFFu) << x << "," << y;

  image.View().At(0, 0) = kOpaqueBits | 0xFF0000;
  image.View().At(31, 31) = kOpaqueBits | 0x0000FF;
  image.View().At(2, 0) = 0x80FF0000u;  // half: laid over the background
  image.View().At(3, 0) = 0x7FFF0000u;
  preview.SetBackgroundColor(0x00FF00);
  px = test::CaptureClient(preview);
  const int left = (49 - 32) / 2, top = (40 - 32) / 2;  // odd width rounds down
  EXPECT_EQ(px.At(left, top), 0xFF0000u);
  EXPECT_EQ(px.At(left + 31, top + 31), 0x0000FFu);
  EXPECT_EQ(px.At(left - 1, top), 0x00FF00u);
  EXPECT_EQ(px.At(left + 1, top), 0x00FF00u);  // transparent shows the background
  EXPECT_EQ(px.At(left + 2, top), 0x807E00u);
  EXPECT_EQ(px.At(left + 3, top), 0x7E8000u);
  EXPECT_EQ(px.At(48, 39), 0x00FF00u);
  // The composed picture stays in the working copy; the image is untouched.
  EXPECT_EQ(preview.GetWorkingCopy().View().At(1, 0) & 0xFFFFFF, 0x00FF00u);
  EXPECT_EQ(image.View().At(1, 0) & 0xFFFFFF, kSilver);

  // A pen pixel in the transparent colour disappears, and comes back when
  // the transparent colour changes.
  image.View().At(5, 5) = kOpaqueBits | kSilver;
  preview.SetTransparentColor(0x123456);
  px = test::CaptureClient(preview);
  EXPECT_EQ(px.At(left + 5, top + 5), kSilver);
}

TEST_F(PreviewIconTest, TrueColorIconWorkedExamples) {
  ASSERT_TRUE(preview.SaveTrueColorIcon(W(dir + "a.ico")));
  std::vector<uint8_t> file = ReadFile(dir + "a.ico");
  ASSERT_EQ(file.size(), 3262u);
  for (size_t i = 62; i < 3134; ++i) ASSERT_EQ(file[i], 0);
  for (size_t i = 3134; i < 3262; ++i) ASSERT_EQ(file[i], 0xFF);

  image.View().At(0, 0) = kOpaqueBits | 0xFF0000;
  ASSERT_TRUE(preview.SaveTrueColorIcon(W(dir + "a.ico")));  // replaces the old file
  file = ReadFile(dir + "a.ico");
  ASSERT_EQ(file.size(), 3262u);
  EXPECT_EQ(file[62 + 31 * 96 + 2], 255);
  EXPECT_EQ(file[3134 + 31 * 4], 0x7F);
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(PreviewIconTest, EveryFormatLoadsThroughThePlatformWithTheSamePixels) {
  PaintTestImage(image);
  ASSERT_TRUE(preview.SaveTrueColorIcon(W(dir + "a.ico")));
  ASSERT_TRUE(preview.Save16ColorIcon(W(dir + "b.ico")));
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_EQ(ReadFile(dir + "b.ico").size(), kSixteenColorIconBytes);
  // No paint in between: the bitmap still shows the background colour.
  ASSERT_TRUE(preview.SaveBitmap(W(dir + "c.bmp")));
  EXPECT_EQ(ReadFile(dir + "c.bmp").size(), 4150u);

  CDib drawn;
  ASSERT_TRUE(DrawIconFile(dir + "a.ico", drawn));
  CDib drawn16;
  ASSERT_TRUE(DrawIconFile(dir + "b.ico", drawn16));
  UniqueBitmap bmp(static_cast<HBITMAP>(::LoadImageA(nullptr, (dir + "c.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  ASSERT_TRUE(bmp);
  DIBSECTION section{};
  ASSERT_EQ(::GetObjectA(bmp.Get(), sizeof section, &section), static_cast<int>(sizeof section));
  ASSERT_EQ(section.dsBm.bmBitsPixel, 32);
  ASSERT_EQ(section.dsBm.bmWidth, 32);

  const PixelView src = image.View();
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const Pixel p = src.At(x, y) & 0xFFFFFF;
      const bool transparent = p == kSilver;
      EXPECT_EQ(drawn.View().At(x, y) & 0xFFFFFF, transparent ? kMarker : p) << x << "," << y;
      const Pixel nearest = SixteenColorPalette()[NearestPaletteIndex(p)];
      EXPECT_EQ(drawn16.View().At(x, y) & 0xFFFFFF, transparent ? kMarker : nearest) << x << "," << y;
      // Bottom-up file: row y of the image is row 31 - y of the bitmap memory.
      const auto* rows = static_cast<const uint32_t*>(section.dsBm.bmBits);
      const bool topDown = section.dsBmih.biHeight < 0;
      EXPECT_EQ(rows[(topDown ? y : 31 - y) * 32 + x] & 0xFFFFFF, transparent ? 0xFFFFFFu : p)
          << x << "," << y;
    }
  }
}

TEST_F(PreviewIconTest, MakeIconMasksTheTransparentColour) {
  image.Fill(192, 192, 192, 255);
  image.View().At(2, 3) = kOpaqueBits | 0x102030;
  UniqueIcon icon = preview.MakeIcon();
  ASSERT_TRUE(icon);
  CDib out;
  out.Create(32, 32);
  out.Fill(0xFF, 0x00, 0xFF);
  HDC dc = out.LockDC();
  ::DrawIconEx(dc, 0, 0, icon.Get(), 32, 32, 0, nullptr, DI_NORMAL);
  out.UnlockDC();
  EXPECT_EQ(out.View().At(2, 3) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(out.View().At(3, 3) & 0xFFFFFF, kMarker);
  // Another transparent colour: silver is now opaque, the image unchanged.
  preview.SetTransparentColor(0x102030);
  icon = preview.MakeIcon();
  out.Fill(0xFF, 0x00, 0xFF);
  dc = out.LockDC();
  ::DrawIconEx(dc, 0, 0, icon.Get(), 32, 32, 0, nullptr, DI_NORMAL);
  out.UnlockDC();
  EXPECT_EQ(out.View().At(2, 3) & 0xFFFFFF, kMarker);
  EXPECT_EQ(out.View().At(3, 3) & 0xFFFFFF, kSilver);
  EXPECT_EQ(image.View().At(2, 3) & 0xFFFFFF, 0x102030u);
}

// The three files know only a mask: transparent pixels of any colour
// give the bytes that opaque pixels of the transparent colour give, and
// a half-transparent pixel is either shown or not.
TEST_F(PreviewIconTest, TransparentPixelsSaveAsTheTransparentColourDid) {
  std::vector<uint8_t> files[2][3];
  const Pixel clear[2] = {0x00123456u, kOpaqueBits | kSilver};
  for (int i = 0; i < 2; ++i) {
    PaintTestImage(image, clear[i]);
    image.View().At(5, 9) = i == 0 ? 0x7F336699u : kOpaqueBits | kSilver;
    image.View().At(6, 9) = i == 0 ? 0x80336699u : kOpaqueBits | 0x336699;
    ASSERT_TRUE(preview.SaveTrueColorIcon(W(dir + "a.ico")));
    ASSERT_TRUE(preview.Save16ColorIcon(W(dir + "b.ico")));
    ASSERT_TRUE(preview.SaveBitmap(W(dir + "c.bmp")));
    files[i][0] = ReadFile(dir + "a.ico");
    files[i][1] = ReadFile(dir + "b.ico");
    files[i][2] = ReadFile(dir + "c.bmp");
  }
  for (int f = 0; f < 3; ++f) {
    EXPECT_FALSE(files[0][f].empty()) << f;
    EXPECT_EQ(files[0][f], files[1][f]) << f;
  }
}

TEST_F(PreviewIconTest, AFailedSaveKeepsTheOldFileAndSaysWhy) {
  EXPECT_FALSE(preview.SaveTrueColorIcon(W(dir + "missing\\x.ico")));
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_NE(sink.shown[0].find(L"missing\\x.ico: "), std::wstring::npos);

  const std::string target = dir + "locked.ico";
  {
    std::ofstream old(target, std::ios::binary);
    old << "old contents";
  }
  {
    // Another program holds the file open without sharing.
    UniqueFile lock(::CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_FALSE(preview.Save16ColorIcon(W(target)));
    EXPECT_FALSE(preview.SaveBitmap(W(target)));
  }
  EXPECT_EQ(sink.shown.size(), 3u);
  const std::vector<uint8_t> kept = ReadFile(target);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "old contents");
  EXPECT_EQ(::GetFileAttributesA((target + ".save~").c_str()), INVALID_FILE_ATTRIBUTES);

  // A read-only file is refused, not replaced by the finished copy.
  ASSERT_TRUE(::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(preview.SaveTrueColorIcon(W(target)));
  ASSERT_EQ(sink.shown.size(), 4u);
  EXPECT_NE(sink.shown[3].find(L"locked.ico: it is read-only."), std::wstring::npos);
  const std::vector<uint8_t> readOnly = ReadFile(target);
  EXPECT_EQ(std::string(readOnly.begin(), readOnly.end()), "old contents");
  ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The scratch file of a save never takes the name of a file the user has:
// such files stay as they were, and the save still succeeds.
TEST_F(PreviewIconTest, SavingLeavesTheUsersFilesOfScratchNamesAlone) {
  const std::string target = dir + "a.ico";
  const std::string taken[] = {target + ".~tmp", target + ".save~", target + ".save~2"};
  for (const std::string& name : taken) std::ofstream(name, std::ios::binary) << "mine";
  ASSERT_TRUE(preview.SaveTrueColorIcon(W(target)));
  EXPECT_EQ(ReadFile(target).size(), 3262u);
  for (const std::string& name : taken) {
    const std::vector<uint8_t> kept = ReadFile(name);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "mine") << name;
    ::DeleteFileA(name.c_str());
  }
  EXPECT_EQ(::GetFileAttributesA((target + ".save~3").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(sink.shown.empty());
}

// A path past MAX_PATH is written whole (through its long form).
TEST_F(PreviewIconTest, SavesToAPathPastMaxPath) {
  const std::wstring longForm = L"\\\\?\\";
  std::wstring folder = W(dir.substr(0, dir.size() - 1));
  std::vector<std::wstring> made;
  for (wchar_t c : {L'a', L'b', L'c'}) {
    folder += L"\\" + std::wstring(100, c);
    ASSERT_TRUE(::CreateDirectoryW((longForm + folder).c_str(), nullptr));
    made.push_back(folder);
  }
  const std::wstring path = folder + L"\\" + std::wstring(60, L'n') + L".ico";
  EXPECT_TRUE(preview.SaveTrueColorIcon(path));
  WIN32_FILE_ATTRIBUTE_DATA info{};
  EXPECT_TRUE(::GetFileAttributesExW((longForm + path).c_str(), GetFileExInfoStandard, &info));
  EXPECT_EQ(info.nFileSizeLow, 3262u);
  EXPECT_TRUE(sink.shown.empty());
  ::DeleteFileW((longForm + path).c_str());
  for (auto it = made.rbegin(); it != made.rend(); ++it) ::RemoveDirectoryW((longForm + *it).c_str());
}

// Leaves the files of the test image for check_exports.py, with the pixels
// every reader must give: R, G, B, A per pixel, top row first.
TEST_F(PreviewIconTest, WritesTheCrossCheckFiles) {
  PaintTestImage(image);
  ::CreateDirectoryA("export_out", nullptr);
  ASSERT_TRUE(preview.SaveTrueColorIcon(W("export_out\\truecolor.ico")));
  ASSERT_TRUE(preview.Save16ColorIcon(W("export_out\\16color.ico")));
  test::CaptureClient(preview);
  ASSERT_TRUE(preview.SaveBitmap(W("export_out\\bitmap.bmp")));
  std::string trueColor, sixteen, bitmap;
  const PixelView src = image.View();
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const Pixel p = src.At(x, y) & 0xFFFFFF;
      const bool transparent = p == kSilver;
      auto put = [](std::string& out, Pixel c, bool clear) {
        out += static_cast<char>(clear ? 0 : (c >> 16) & 0xFF);
        out += static_cast<char>(clear ? 0 : (c >> 8) & 0xFF);
        out += static_cast<char>(clear ? 0 : c & 0xFF);
        out += static_cast<char>(clear ? 0 : 0xFF);
      };
      put(trueColor, p, transparent);
      put(sixteen, SixteenColorPalette()[NearestPaletteIndex(p)], transparent);
      put(bitmap, transparent ? 0xFFFFFF : p, false);
    }
  }
  std::ofstream("export_out\\truecolor.rgba", std::ios::binary) << trueColor;
  std::ofstream("export_out\\16color.rgba", std::ios::binary) << sixteen;
  std::ofstream("export_out\\bitmap.rgba", std::ios::binary) << bitmap;
}

}  // namespace
}  // namespace glyph
