// Icon files from the writer, loaded by the platform (LoadImage from the
// file) and drawn with DrawIconEx over a known ground: the entry of the
// asked size is the one drawn, and its transparency shows as it should.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "icon/IcoWriter.h"

namespace glyph::icon {
namespace {

constexpr std::uint32_t kGround = 0x285078;  // 0xRRGGBB
constexpr std::uint8_t kBand = 128;          // the half-transparent band's alpha

// A picture of one colour: a transparent corner (the top-left quarter of a
// quarter), a half-transparent band across the third quarter of the rows.
RgbaImage Sample(int side, std::uint32_t rgb) {
  RgbaImage image{side, side, {}};
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      std::uint8_t alpha = 255;
      if (y >= side / 2 && y < side * 3 / 4) alpha = kBand;
      if (x < side / 4 && y < side / 4) alpha = 0;
      image.pixels.insert(image.pixels.end(),
                          {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                           static_cast<std::uint8_t>(rgb), alpha});
    }
  }
  return image;
}

std::wstring WriteTemp(const IconDocument& document, const wchar_t* name) {
  std::vector<std::uint8_t> bytes;
  std::string why;
  EXPECT_TRUE(WriteIcoFile(document, bytes, why)) << why;
  wchar_t dir[MAX_PATH];
  ::GetTempPathW(MAX_PATH, dir);
  const std::wstring path = std::wstring(dir) + name;
  std::ofstream(path.c_str(), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// The icon of `path` loaded at side x side and drawn over kGround; 0x00RRGGBB
// pixels, top-down. Empty when the platform does not load it.
std::vector<std::uint32_t> LoadAndDraw(const std::wstring& path, int side) {
  UniqueIcon icon(
      static_cast<HICON>(::LoadImageW(nullptr, path.c_str(), IMAGE_ICON, side, side, LR_LOADFROMFILE)));
  if (!icon) return {};
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), side, -side, 1, 32, BI_RGB};
  void* bits = nullptr;
  UniqueBitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueDC dc(::CreateCompatibleDC(nullptr));
  const std::size_t count = static_cast<std::size_t>(side) * side;
  {
    ScopedSelect select(dc.Get(), dib.Get());
    std::fill_n(static_cast<std::uint32_t*>(bits), count, kGround);
    ::DrawIconEx(dc.Get(), 0, 0, icon.Get(), side, side, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
  }
  std::vector<std::uint32_t> pixels(static_cast<std::uint32_t*>(bits),
                                    static_cast<std::uint32_t*>(bits) + count);
  for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
  return pixels;
}

// `over` at alpha a over `under`, per channel.
std::uint32_t Blend(std::uint32_t over, std::uint32_t under, int a) {
  std::uint32_t out = 0;
  for (int s = 0; s < 24; s += 8) {
    const int o = static_cast<int>(over >> s & 0xFF), u = static_cast<int>(under >> s & 0xFF);
    out |= static_cast<std::uint32_t>((o * a + u * (255 - a) + 127) / 255) << s;
  }
  return out;
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int s = 0; s < 24; s += 8) {
    if (std::abs(static_cast<int>(a >> s & 0xFF) - static_cast<int>(b >> s & 0xFF)) > tolerance) return false;
  }
  return true;
}

struct Entry {
  int side, bits;
  std::uint32_t rgb;  // a colour every palette holds
};

// Checks the corner, an opaque pixel and a band pixel of the icon drawn at `side`.
void ExpectDrawn(const std::wstring& path, const Entry& entry) {
  SCOPED_TRACE(testing::Message() << entry.side << " x " << entry.side << " at " << entry.bits << " bits");
  const std::vector<std::uint32_t> pixels = LoadAndDraw(path, entry.side);
  ASSERT_FALSE(pixels.empty()) << "LoadImage refused the file";
  const int s = entry.side;
  auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * s + x]; };
  EXPECT_EQ(at(0, 0), kGround) << std::hex << at(0, 0);
  EXPECT_EQ(at(s - 1, 0), entry.rgb) << std::hex << at(s - 1, 0);
  // Below 32 bits the band is opaque: its alpha is not below the mask's threshold.
  const std::uint32_t band = entry.bits == 32 ? Blend(entry.rgb, kGround, kBand) : entry.rgb;
  EXPECT_TRUE(Near(at(s / 2, s * 5 / 8), band, 2)) << std::hex << at(s / 2, s * 5 / 8) << " for " << band;
}

TEST(IcoLoad, ThePlatformDrawsTheEntryOfEachSizeWithItsAlpha) {
  const Entry entries[] = {
      {16, 32, 0xFF0000}, {24, 32, 0x00FF00}, {32, 32, 0x0000FF}, {48, 32, 0xFFFF00}, {256, 32, 0xFF00FF}};
  IconDocument document;
  for (const Entry& e : entries)
    document.images.push_back({Sample(e.side, e.rgb), IconStorage::kBmp, e.bits});
  StoreAsPngFrom(document, 256);
  const std::wstring path = WriteTemp(document, L"glyph_icoload_sizes.ico");
  for (const Entry& e : entries) ExpectDrawn(path, e);
  ::DeleteFileW(path.c_str());
}

TEST(IcoLoad, ThePlatformDrawsPaletteEntriesWithTheirMasks) {
  const Entry entries[] = {{32, 8, 0x3C6E91}, {32, 4, 0x008080}, {32, 1, 0xFFFFFF}};
  for (const Entry& e : entries) {
    IconDocument document;
    document.images.push_back({Sample(e.side, e.rgb), IconStorage::kBmp, e.bits});
    const std::wstring path = WriteTemp(document, L"glyph_icoload_palette.ico");
    ExpectDrawn(path, e);
    ::DeleteFileW(path.c_str());
  }
}

}  // namespace
}  // namespace glyph::icon
