// Skin bitmaps under Wine: decoding pictures, window shapes, recolouring,
// cutting and drawing.
#include <gtest/gtest.h>

#include <vector>

#include "SkinTestUtil.h"
#include "skin/SkinBitmap.h"

namespace glyph::skin {
namespace {

using test::BitmapPixel;
using test::MemoryArchive;
using test::RecordingPrompt;

TEST(LoadSkinPicture, DecodesTheSkinsPictures) {
  struct Case {
    const char* file;
    int w, h;
  } cases[] = {{"Skin/main.jpg", 480, 408},    {"Skin/over.jpg", 480, 408},
               {"Skin/down.jpg", 480, 408},    {"Skin/mask.bmp", 480, 408},
               {"Skin/horslider.bmp", 20, 12}, {"Skin/horslider_over.bmp", 20, 12}};
  SkinContext context;
  RecordingPrompt prompt(context);
  MemoryArchive archive;
  for (const Case& c : cases) archive.items[c.file] = test::ReadFileBytes(c.file);
  ScopedSkinArchive current(context, &archive);
  for (const Case& c : cases) {
    UniqueBitmap bmp;
    SIZE size{};
    ASSERT_TRUE(LoadSkinPicture(context, c.file, bmp, &size)) << c.file;
    EXPECT_EQ(size.cx, c.w) << c.file;
    EXPECT_EQ(size.cy, c.h) << c.file;
  }
  EXPECT_TRUE(prompt.shown.empty());
  // The mask: black inside the shape, pure white in the corners.
  UniqueBitmap mask;
  ASSERT_TRUE(LoadSkinPicture(context, "Skin/mask.bmp", mask, nullptr));
  EXPECT_EQ(BitmapPixel(mask.Get(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(BitmapPixel(mask.Get(), 200, 200), RGB(0, 0, 0));
}

TEST(LoadSkinPicture, BitmapPixelsArriveExactly) {
  SkinContext context;
  RecordingPrompt prompt(context);
  MemoryArchive archive;
  archive.items["p.bmp"] = test::MakeBmp(7, 5, [](int x, int y) { return RGB(x * 30, y * 50, 200); });
  ScopedSkinArchive current(context, &archive);
  UniqueBitmap bmp;
  SIZE size{};
  ASSERT_TRUE(LoadSkinPicture(context, "p.bmp", bmp, &size));
  EXPECT_EQ(size.cx, 7);
  EXPECT_EQ(size.cy, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) EXPECT_EQ(BitmapPixel(bmp.Get(), x, y), RGB(x * 30, y * 50, 200));
  }
}

// Every pixel of a bitmap, top row first, colour bits only.
std::vector<DWORD> ColourBits(HBITMAP bitmap) {
  const SIZE size = BitmapSize(bitmap);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, size.cx, -size.cy, 1, 32, BI_RGB};
  std::vector<DWORD> bits(static_cast<size_t>(size.cx) * size.cy);
  UniqueDC dc(::CreateCompatibleDC(nullptr));
  if (::GetDIBits(dc.Get(), bitmap, 0, size.cy, bits.data(), &bi, DIB_RGB_COLORS) != size.cy) return {};
  for (DWORD& p : bits) p &= 0x00FFFFFF;
  return bits;
}

// The skins' bitmaps (a 1-bit mask, 24-bit slider pieces) come out as the
// platform's own reader has them, every pixel.
TEST(LoadSkinPicture, SkinBitmapsMatchThePlatformsReader) {
  for (const char* file : {"Skin/mask.bmp", "Skin/mask@1.5x.bmp", "Skin/mask@2x.bmp", "Skin/horslider.bmp",
                           "Skin/horslider_over@2x.bmp"}) {
    SkinContext context;
    MemoryArchive archive;
    archive.items[file] = test::ReadFileBytes(file);
    ScopedSkinArchive current(context, &archive);
    UniqueBitmap ours;
    ASSERT_TRUE(LoadSkinPicture(context, file, ours, nullptr)) << file;
    UniqueBitmap platform(static_cast<HBITMAP>(
        ::LoadImageA(nullptr, file, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_TRUE(platform) << file;
    const std::vector<DWORD> want = ColourBits(platform.Get());
    EXPECT_FALSE(want.empty()) << file;
    EXPECT_TRUE(ColourBits(ours.Get()) == want) << file;
  }
}

TEST(LoadSkinPicture, MissingAndBrokenItemsLeaveTheBitmap) {
  SkinContext context;
  RecordingPrompt prompt(context);
  MemoryArchive archive;
  std::string truncated = test::SolidBmp(10, 10, RGB(1, 2, 3)).substr(0, 30);
  archive.items["garbage"] = "this is not a picture at all";
  archive.items["empty"] = "";
  archive.items["short.bmp"] = truncated;
  archive.items["cut.bmp"] = test::SolidBmp(10, 10, RGB(1, 2, 3)).substr(0, 200);
  ScopedSkinArchive current(context, &archive);

  UniqueBitmap keep = test::SolidBitmap(3, 3, RGB(9, 9, 9));
  const HBITMAP before = keep.Get();
  SIZE size{11, 22};
  EXPECT_FALSE(LoadSkinPicture(context, "nowhere.jpg", keep, &size));  // unreadable: silent
  EXPECT_TRUE(prompt.shown.empty());
  for (const char* name : {"garbage", "empty", "short.bmp", "cut.bmp"}) {
    EXPECT_FALSE(LoadSkinPicture(context, name, keep, &size)) << name;
  }
  ASSERT_EQ(prompt.shown.size(), 4u);  // undecodable: "err", no caption
  EXPECT_EQ(prompt.shown[0].text, "err");
  EXPECT_EQ(prompt.shown[0].caption, "(none)");
  EXPECT_EQ(keep.Get(), before);
  EXPECT_EQ(size.cx, 11);
  EXPECT_EQ(size.cy, 22);
}

TEST(LoadSkinPicture, ReadsFromDiskWithoutAnArchive) {
  const SkinContext context;
  ASSERT_EQ(context.Archive(), nullptr);
  UniqueBitmap bmp;
  SIZE size{};
  EXPECT_TRUE(LoadSkinPicture(context, "Skin\\horslider.bmp", bmp, &size));
  EXPECT_EQ(size.cx, 20);
}

// A bitmap whose pixels are white where the pattern says '.'.
UniqueBitmap Pattern(const std::vector<std::string>& rows) {
  const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
  UniqueBitmap bmp = test::SolidBitmap(w, h, RGB(255, 255, 255));
  UniqueDC mem(::CreateCompatibleDC(nullptr));
  ScopedSelect sel(mem.Get(), bmp.Get());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (rows[y][x] != '.')
        ::SetPixel(mem.Get(), x, y, rows[y][x] == 'g' ? RGB(250, 250, 250) : RGB(0, 0, 0));
    }
  }
  return bmp;
}

TEST(RegionFromBitmap, CutsPureWhiteOnly) {
  UniqueBitmap bmp = Pattern({".##.#", "#####", ".....", "g...."});
  UniqueRegion rgn = RegionFromBitmap(bmp.Get(), 0xFFFFFFFF, 0x101010);
  ASSERT_TRUE(rgn);
  const char* expect[] = {".##.#", "#####", ".....", "#...."};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(::PtInRegion(rgn.Get(), x, y) != FALSE, expect[y][x] == '#') << x << "," << y;
    }
  }
  RECT box{};
  EXPECT_EQ(::GetRgnBox(rgn.Get(), &box), COMPLEXREGION);
  EXPECT_EQ(box.right, 5);
  EXPECT_EQ(box.bottom, 4);
}

TEST(RegionFromBitmap, AllWhiteGivesAnEmptyRegionAndNoBitmapNone) {
  UniqueBitmap white = test::SolidBitmap(30, 20, RGB(255, 255, 255));
  UniqueRegion rgn = RegionFromBitmap(white.Get(), 0xFFFFFFFF, 0x101010);
  ASSERT_TRUE(rgn);
  RECT box{};
  EXPECT_EQ(::GetRgnBox(rgn.Get(), &box), NULLREGION);
  EXPECT_FALSE(RegionFromBitmap(nullptr, 0xFFFFFFFF, 0x101010));
}

TEST(RegionFromBitmap, ManyRowsAreJoinedAcrossBatches) {
  // A checkerboard of 1-pixel runs: 5000 rectangles, three batches.
  const int w = 100, h = 100;
  UniqueBitmap bmp = test::SolidBitmap(w, h, RGB(255, 255, 255));
  {
    UniqueDC mem(::CreateCompatibleDC(nullptr));
    ScopedSelect sel(mem.Get(), bmp.Get());
    for (int y = 0; y < h; ++y) {
      for (int x = (y & 1); x < w; x += 2) ::SetPixel(mem.Get(), x, y, RGB(0, 0, 0));
    }
  }
  UniqueRegion rgn = RegionFromBitmap(bmp.Get(), 0xFFFFFFFF, 0x101010);
  ASSERT_TRUE(rgn);
  for (int y : {0, 1, 39, 40, 41, 98, 99}) {
    for (int x : {0, 1, 50, 51, 98, 99}) {
      EXPECT_EQ(::PtInRegion(rgn.Get(), x, y) != FALSE, ((x + y) & 1) == 0) << x << "," << y;
    }
  }
}

TEST(AdjustBitmapHls, ZeroOffsetsLeaveBitsAndOthersRecolour) {
  UniqueBitmap bmp = Pattern({"#.g", "g#."});
  WindowDC screen(nullptr);
  AdjustBitmapHls(HlsOffsets{}, screen.Get(), bmp.Get(), 3, 2);
  EXPECT_EQ(BitmapPixel(bmp.Get(), 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(BitmapPixel(bmp.Get(), 2, 0), RGB(250, 250, 250));

  UniqueBitmap red = test::SolidBitmap(4, 4, RGB(200, 30, 30));
  AdjustBitmapHls(HlsOffsets{0, 1, 0}, screen.Get(), red.Get(), 2, 4);  // only the first two columns
  EXPECT_EQ(BitmapPixel(red.Get(), 1, 3), RGB(255, 255, 255));
  EXPECT_EQ(BitmapPixel(red.Get(), 2, 0), RGB(200, 30, 30));
  AdjustBitmapHls(HlsOffsets{0, 0, -1}, screen.Get(), red.Get(), 4, 4);
  const COLORREF grey = BitmapPixel(red.Get(), 3, 3);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetRValue(grey), GetBValue(grey));
  AdjustBitmapHls(HlsOffsets{0, 1, 0}, screen.Get(), nullptr, 4, 4);  // no bitmap: nothing
}

TEST(CopyBitmapRect, CutsAPieceAndDrawBitmapPutsItBack) {
  UniqueBitmap src = Pattern({"#..", ".#.", "..#"});
  WindowDC screen(nullptr);
  UniqueBitmap piece;
  CopyBitmapRect(screen.Get(), piece, src.Get(), 1, 1, 3, 3);
  ASSERT_TRUE(piece);
  const SIZE size = BitmapSize(piece.Get());
  EXPECT_EQ(size.cx, 2);
  EXPECT_EQ(size.cy, 2);
  EXPECT_EQ(BitmapPixel(piece.Get(), 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(BitmapPixel(piece.Get(), 1, 0), RGB(255, 255, 255));
  EXPECT_EQ(BitmapPixel(piece.Get(), 1, 1), RGB(0, 0, 0));

  UniqueBitmap untouched = test::SolidBitmap(1, 1, RGB(5, 5, 5));
  CopyBitmapRect(screen.Get(), untouched, nullptr, 0, 0, 1, 1);  // no source: nothing
  EXPECT_EQ(BitmapPixel(untouched.Get(), 0, 0), RGB(5, 5, 5));

  // Several states' pieces at once: each from its own picture, a missing
  // picture leaving its piece as it was.
  UniqueBitmap red = test::SolidBitmap(3, 3, RGB(200, 0, 0));
  UniqueBitmap first, second, third = test::SolidBitmap(1, 1, RGB(5, 5, 5));
  CopyBitmapRects(screen.Get(), RECT{1, 1, 3, 3},
                  {{&first, src.Get()}, {&second, red.Get()}, {&third, nullptr}});
  ASSERT_TRUE(first && second);
  EXPECT_EQ(BitmapPixel(first.Get(), 1, 1), RGB(0, 0, 0));
  EXPECT_EQ(BitmapPixel(first.Get(), 1, 0), RGB(255, 255, 255));
  EXPECT_EQ(BitmapPixel(second.Get(), 1, 1), RGB(200, 0, 0));
  EXPECT_EQ(BitmapPixel(third.Get(), 0, 0), RGB(5, 5, 5));

  for (bool stretch : {false, true}) {
    UniqueBitmap target = test::SolidBitmap(4, 4, RGB(0, 0, 255));
    UniqueDC mem(::CreateCompatibleDC(screen.Get()));
    {
      ScopedSelect sel(mem.Get(), target.Get());
      DrawBitmap(mem.Get(), piece.Get(), 2, 2, 4, 4, stretch);
      DrawBitmap(mem.Get(), nullptr, 0, 0, 4, 4, stretch);
    }
    EXPECT_EQ(BitmapPixel(target.Get(), 2, 2), RGB(0, 0, 0));
    EXPECT_EQ(BitmapPixel(target.Get(), 3, 2), RGB(255, 255, 255));
    EXPECT_EQ(BitmapPixel(target.Get(), 1, 1), RGB(0, 0, 255));
  }
}

}  // namespace
}  // namespace glyph::skin
