#include "browser/IconExtract.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browser/FileReader.h"
#include "tests/icon/IconSamples.h"

namespace glyph {
namespace {

using test::ByteVector;
using test::MakeDibImage;

// A folder of its own under the temporary folder, removed afterwards.
class IconExtractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    dir_ = std::filesystem::path(temp) / (L"iconextract-" + std::to_wstring(::GetCurrentProcessId()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::wstring Write(const std::wstring& name, const ByteVector& bytes) {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.wstring();
  }
  std::filesystem::path dir_;
};

struct Drawn {
  int width = 0, height = 0;
  std::vector<DWORD> pixels;  // top-down, 0x00RRGGBB
  DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

// Draws the icon at its own size over `background` and reads it back.
Drawn Draw(HICON icon, DWORD background) {
  ICONINFO info{};
  EXPECT_TRUE(::GetIconInfo(icon, &info));
  UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
  BITMAP bm{};
  ::GetObject(mask.Get(), sizeof bm, &bm);
  Drawn d;
  d.width = bm.bmWidth;
  d.height = colour ? bm.bmHeight : bm.bmHeight / 2;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), d.width, -d.height, 1, 32, BI_RGB};
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueDC dc(::CreateCompatibleDC(nullptr));
  {
    ScopedSelect select(dc.Get(), dib.Get());
    std::fill_n(static_cast<DWORD*>(bits), d.width * d.height, background);
    ::DrawIconEx(dc.Get(), 0, 0, icon, d.width, d.height, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
  }
  d.pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + d.width * d.height);
  return d;
}

// The colour MakeDibImage gives a 24- or 32-bit pixel at (x, y), top-down.
DWORD SamplePixel(int x, int y, int height, uint32_t seed, int bytesPerPixel = 3) {
  const int row = height - 1 - y;
  auto byte = [&](int k) {
    return static_cast<DWORD>((static_cast<uint32_t>(x * bytesPerPixel + k) * 7 + row * 13 + seed) & 0xFF);
  };
  return byte(2) << 16 | byte(1) << 8 | byte(0);
}

TEST_F(IconExtractTest, CountsAndMakesIconsOfFilesWithWideNames) {
  const std::vector<test::SampleGroup> groups = {
      {"MAIN", 0, {MakeDibImage(16, 16, 24, 9), MakeDibImage(32, 32, 24, 3), MakeDibImage(48, 48, 24, 9)}},
      {"", 2, {MakeDibImage(32, 32, 24, 4)}},
  };
  const std::wstring names[] = {L"b\u00e4r\u65e5\u672c.dll", L"\u0416\u0443\u043a.exe", L"plain.exe"};
  const ByteVector files[] = {test::MakePeFile(groups), test::MakePeFile(groups, false),
                              test::MakeNeFile(groups)};
  for (int f = 0; f < 3; ++f) {
    const std::wstring path = Write(names[f], files[f]);
    EXPECT_EQ(CountFileIcons(path), 2u);
    // The scan's count takes the size its listing gave; a listing already
    // out of date (the file since cut short) reads nothing past the end
    // and counts nothing.
    EXPECT_EQ(CountFileIcons(path, files[f].size()), 2u);
    EXPECT_EQ(CountFileIcons(path, files[f].size() + 4096), 0u);
    for (int g = 0; g < 2; ++g) {
      SCOPED_TRACE(testing::Message() << "file " << f << " icon " << g);
      UniqueIcon icon = LoadFileIcon(path, g, 32);
      ASSERT_TRUE(icon);
      const Drawn d = Draw(icon.Get(), 0x123456);
      ASSERT_EQ(d.width, 32);
      ASSERT_EQ(d.height, 32);
      // The 32 x 32 image was chosen: its seed shows in the pixels. The
      // left half is masked.
      const uint32_t seed = g == 0 ? 3 : 4;
      for (int y = 0; y < 32; y += 5) {
        for (int x = 0; x < 32; x += 3) {
          EXPECT_EQ(d.At(x, y), x < 16 ? 0x123456u : SamplePixel(x, y, 32, seed)) << x << "," << y;
        }
      }
    }
    EXPECT_FALSE(LoadFileIcon(path, 2));
  }
}

TEST_F(IconExtractTest, IconFilesAndPngImages) {
  const std::wstring ico = Write(L"one.ico", test::MakeIcoFile({MakeDibImage(32, 32, 24, 7)}));
  EXPECT_EQ(CountFileIcons(ico), 1u);
  UniqueIcon icon = LoadFileIcon(ico, 0, 32);
  ASSERT_TRUE(icon);
  EXPECT_EQ(Draw(icon.Get(), 0).At(20, 3), SamplePixel(20, 3, 32, 7));

  const std::wstring png = Write(L"png.ico", test::MakeIcoFile({test::MakePngImage(32, 32, 5)}));
  IconFile file;
  ASSERT_TRUE(file.Open(png));
  EXPECT_EQ(file.Count(), 1u);
  UniqueIcon fromPng = file.Icon(0, 32);
  ASSERT_TRUE(fromPng);
  const Drawn d = Draw(fromPng.Get(), 0x000000FF);
  EXPECT_EQ(d.At(3, 3), 0x0000FFu);  // transparent half
  EXPECT_EQ(d.At(20, 4), static_cast<DWORD>((20 * 8 + 5) << 16 | (4 * 8) << 8 | 15));
}

// Icon files as writers leave them make the icons of their images. A
// 32-bit image stored without its mask plane is transparent where its
// alpha is 0, drawn and in the mask the icon is given.
TEST_F(IconExtractTest, IconFilesFromTheWildMakeTheirIcons) {
  const ByteVector alpha = MakeDibImage(32, 32, 32, 3), rgb = MakeDibImage(32, 32, 24, 7);
  ByteVector resolution = rgb;
  resolution[24] = resolution[28] = 0xC4;  // pixels per metre
  resolution[36] = 99;                     // important colours
  auto entry = [](ByteVector f, size_t field, int delta) {
    f[6 + field] = static_cast<uint8_t>(f[6 + field] + delta);
    return f;
  };
  constexpr size_t kColours = 2, kReserved = 3, kPlanes = 4, kBitCount = 6, kSize = 8;
  struct Case {
    const wchar_t* name;
    ByteVector file;
    int bytesPerPixel;
    uint32_t seed;
  };
  const Case cases[] = {
      {L"no-mask.ico", test::MakeIcoFile({test::WithoutMaskPlane(alpha)}), 4, 3},
      {L"no-mask-short.ico", entry(test::MakeIcoFile({test::WithoutMaskPlane(alpha)}), kSize, -4), 4, 3},
      {L"reserved.ico", entry(entry(test::MakeIcoFile({rgb}), kReserved, 5), kColours, 3), 3, 7},
      {L"planes.ico", entry(entry(test::MakeIcoFile({rgb}), kPlanes, 7), kBitCount, 9), 3, 7},
      {L"resolution.ico", test::MakeIcoFile({resolution}), 3, 7},
      {L"size-past-end.ico", entry(test::MakeIcoFile({rgb}), kSize, 12), 3, 7},
      {L"size-short.ico", entry(test::MakeIcoFile({rgb}), kSize, -12), 3, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name);
    UniqueIcon icon = LoadFileIcon(Write(c.name, c.file), 0, 32);
    ASSERT_TRUE(icon);
    const Drawn d = Draw(icon.Get(), 0x123456);
    ASSERT_EQ(d.width, 32);
    for (int y = 0; y < 32; y += 5) {
      for (int x = 0; x < 32; x += 3) {
        EXPECT_EQ(d.At(x, y), x < 16 ? 0x123456u : SamplePixel(x, y, 32, c.seed, c.bytesPerPixel))
            << x << "," << y;
      }
    }
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon.Get(), &info));
    UniqueBitmap mask(info.hbmMask), colour(info.hbmColor);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB};
    std::vector<DWORD> maskPixels(32 * 32);
    UniqueDC dc(::CreateCompatibleDC(nullptr));
    ASSERT_EQ(::GetDIBits(dc.Get(), mask.Get(), 0, 32, maskPixels.data(), &bi, DIB_RGB_COLORS), 32);
    EXPECT_EQ(maskPixels[5 * 32 + 3] & 0xFFFFFF, 0xFFFFFFu);  // transparent
    EXPECT_EQ(maskPixels[5 * 32 + 20] & 0xFFFFFF, 0u);        // opaque
  }
}

TEST_F(IconExtractTest, AFileWhoseReadsFailIsRefused) {
  const std::vector<test::SampleGroup> groups = {{"", 1, {MakeDibImage(32, 32, 24, 1)}},
                                                 {"", 2, {MakeDibImage(32, 32, 24, 2)}}};
  const ByteVector pe = test::MakePeFile(groups);
  test::FlakyReader probe(pe);
  ASSERT_EQ(icon::ReadIcons(probe).Count(), 2u);
  // Gone in the middle of the scan: no icons.
  IconFile cut;
  EXPECT_FALSE(cut.Open(std::make_unique<test::FlakyReader>(pe, probe.Delivered() - 1)));
  EXPECT_EQ(cut.Count(), 0u);
  EXPECT_EQ(cut.Scan().problem, "the file could not be read");
  EXPECT_FALSE(cut.Icon(0));
  // Gone after the scan: counted, but no icon can be made.
  IconFile late;
  EXPECT_TRUE(late.Open(std::make_unique<test::FlakyReader>(pe, probe.Delivered())));
  EXPECT_EQ(late.Count(), 2u);
  EXPECT_FALSE(late.Icon(0));
  // Files over 1 GiB are not read at all.
  struct Huge final : icon::ByteReader {
    uint64_t Size() const override { return (1ull << 30) + 1; }
    bool Read(uint64_t, std::span<uint8_t>) override { return false; }
  };
  IconFile huge;
  EXPECT_FALSE(huge.Open(std::make_unique<Huge>()));
  EXPECT_EQ(huge.Scan().problem, "file too large");
  // A real file is read through the same path.
  FileReader file;
  std::string why;
  ASSERT_TRUE(file.Open(Write(L"pe.dll", pe), why));
  EXPECT_EQ(file.Size(), pe.size());
  ByteVector tail(16);
  EXPECT_TRUE(file.Read(pe.size() - 16, tail));
  EXPECT_EQ(tail, ByteVector(pe.end() - 16, pe.end()));
  EXPECT_FALSE(file.Read(pe.size() - 15, tail));
  EXPECT_FALSE(FileReader().Open((dir_ / L"missing.dll").wstring(), why));
}

TEST_F(IconExtractTest, HostileFilesGiveNoIconsAndNoCrash) {
  const std::vector<test::SampleGroup> groups = {{"", 1, {MakeDibImage(32, 32, 8, 1)}}};
  const ByteVector pe = test::MakePeFile(groups), ne = test::MakeNeFile(groups);
  const ByteVector ico = test::MakeIcoFile({MakeDibImage(32, 32, 4, 1)});
  ByteVector rawPastEnd = pe;
  rawPastEnd[test::kPeSectionTableAt(true) + 23] = 0x7F;
  ByteVector loop = pe;
  loop[test::kPeResourceAt + 16 + 8 + 4] = 0;  // group type -> root
  loop[test::kPeResourceAt + 16 + 8 + 5] = 0;
  ByteVector neTable = ne;
  neTable[test::kNeHeaderAt + 0x25] = 0xFF;
  neTable[test::kNeHeaderAt + 0x27] = 0xFF;
  ByteVector dibLies = ico;
  dibLies[6 + 16 + 5] = 0x10;  // width 4096
  const std::pair<const wchar_t*, ByteVector> cases[] = {
      {L"empty.exe", {}},
      {L"first-1k.exe", ByteVector(pe.begin(), pe.begin() + 1024)},
      {L"rsrc-cut.dll", ByteVector(pe.begin(), pe.begin() + test::kPeResourceAt + 100)},
      {L"raw-past-end.dll", rawPastEnd},
      {L"loop.dll", loop},
      {L"ne-table.exe", neTable},
      {L"header.ico", ByteVector(ico.begin(), ico.begin() + 6)},
      {L"dib-lies.ico", dibLies},
  };
  for (const auto& [name, bytes] : cases) {
    const std::wstring path = Write(name, bytes);
    IconFile file;
    EXPECT_FALSE(file.Open(path)) << name;
    EXPECT_EQ(file.Count(), 0u) << name;
    EXPECT_FALSE(file.Icon(0)) << name;
    EXPECT_EQ(CountFileIcons(path), 0u) << name;
    EXPECT_EQ(CountFileIcons(path, bytes.size()), 0u) << name;
    EXPECT_FALSE(LoadFileIcon(path, 0)) << name;
  }
  EXPECT_EQ(CountFileIcons((dir_ / L"missing.exe").wstring()), 0u);
}

// Every file of the reader's fuzz corpus (good, hostile and what the
// fuzzer found) goes through the whole Windows path: map, scan, make each
// icon. None may fault; every icon that is counted can be made.
// GLYPH_ICON_FOLDER names another folder to walk instead.
TEST_F(IconExtractTest, EveryCorpusFileGoesThroughTheWindowsLayer) {
  size_t files = 0, icons = 0;
  const wchar_t* folder = _wgetenv(L"GLYPH_ICON_FOLDER");
  for (const auto& entry : std::filesystem::directory_iterator(
           folder ? std::filesystem::path(folder) : std::filesystem::path(GLYPH_ICON_CORPUS))) {
    IconFile file;
    file.Open(entry.path().wstring());
    for (size_t i = 0; i < file.Count(); ++i) {
      EXPECT_TRUE(file.Icon(i)) << entry.path().string() << " icon " << i;
      ++icons;
    }
    EXPECT_FALSE(file.Icon(file.Count()));
    ++files;
  }
  EXPECT_GT(files, 10u);
  EXPECT_GT(icons, 10u);
}

}  // namespace
}  // namespace glyph
