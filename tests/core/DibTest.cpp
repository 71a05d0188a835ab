#include "core/Dib.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace glyph {
namespace {

constexpr Pixel kWhite = 0x00FFFFFFu;
constexpr ColorValue kRed = 0x000000FFu;  // colour value: red in the low byte
constexpr Pixel kRedPixel = 0x00FF0000u;

using Cells = std::set<std::pair<int, int>>;

// The pixels that differ from `background` (low 24 bits).
Cells Changed(const CDib& dib, Pixel background = kWhite) {
  Cells cells;
  const PixelView v = dib.View();
  for (int y = 0; y < v.height; ++y)
    for (int x = 0; x < v.width; ++x)
      if (!SameColor(v.At(x, y), background)) cells.insert({x, y});
  return cells;
}

Cells Outline(int x1, int y1, int x2, int y2) {
  Cells cells;
  for (int x = x1; x <= x2; ++x) cells.insert({x, y1}), cells.insert({x, y2});
  for (int y = y1; y <= y2; ++y) cells.insert({x1, y}), cells.insert({x2, y});
  return cells;
}

class DibTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(dib.Create(32, 32), 1);
    dib.Fill(255, 255, 255, 255);
  }
  CDib dib;
};

TEST_F(DibTest, CreateMakesABlackTopDownImage) {
  CDib fresh;
  EXPECT_EQ(fresh.GetWidth(), 0u);
  ASSERT_EQ(fresh.Create(5, 3), 1);
  EXPECT_EQ(fresh.GetWidth(), 5u);
  EXPECT_EQ(fresh.GetHeight(), 3u);
  EXPECT_EQ(fresh.GetStride(), 8);
  EXPECT_EQ(fresh.GetColorCount(), 0);
  for (int i = 0; i < 8 * 3; ++i) EXPECT_EQ(fresh.GetBits()[i], 0u);
  // GDI and the pointer agree on which row is the top.
  HDC dc = fresh.LockDC();
  ::SetPixel(dc, 1, 0, RGB(255, 0, 0));
  fresh.UnlockDC();
  EXPECT_EQ(fresh.GetBits()[1] & 0xFFFFFF, kRedPixel);
  fresh.Release();
  EXPECT_EQ(fresh.GetWidth(), 0u);
  EXPECT_TRUE(fresh.IsEmpty());
}

TEST_F(DibTest, FillSetsEveryPixelAndClearsByteThree) {
  dib.GetBits()[3] = 0xFF000000u;
  dib.Fill(192, 192, 192);
  for (int i = 0; i < 32 * 32; ++i) EXPECT_EQ(dib.GetBits()[i], 0x00C0C0C0u);
}

TEST_F(DibTest, BlendFromMixesWithTheOpacity) {
  CDib black;
  ASSERT_EQ(black.Create(32, 32), 1);
  black.Fill(0, 0, 0, 255);
  struct Case {
    int opacity;
    Pixel expected;
  };
  for (const Case& c : {Case{256, 0xFF000000u}, Case{0, 0xFFFFFFFFu}, Case{128, 0xFF7F7F7Fu}}) {
    dib.Fill(255, 255, 255, 255);
    dib.BlendFrom(black, c.opacity);
    EXPECT_EQ(dib.GetBits()[77], c.expected) << c.opacity;
  }
  CDib other;
  ASSERT_EQ(other.Create(16, 32), 1);
  dib.BlendFrom(other, 256);  // sizes differ: nothing happens
  EXPECT_EQ(dib.GetBits()[0], 0xFF7F7F7Fu);
}

TEST_F(DibTest, CopyToRecreatesTheTargetWhenSizesDiffer) {
  dib.GetBits()[5] = 0x00123456u;
  CDib copy;
  ASSERT_EQ(copy.Create(3, 3), 1);
  dib.CopyTo(copy);
  EXPECT_EQ(copy.GetWidth(), 32u);
  EXPECT_EQ(copy.GetBits()[5], 0x00123456u);
}

TEST_F(DibTest, OutlineShapesFollowTheGdiConventions) {
  dib.DrawRect(5, 5, 2, 2, kRed, 1, 256);  // normalised; right and bottom outside
  EXPECT_EQ(Changed(dib), Outline(2, 2, 4, 4));
  for (const auto& [x, y] : Changed(dib)) EXPECT_EQ(dib.View().At(x, y) & 0xFFFFFF, kRedPixel);

  dib.Fill(255, 255, 255, 255);
  dib.DrawLine(3, 4, 4, 4, kRed, 1, 256);  // the end point is not drawn
  EXPECT_EQ(Changed(dib), (Cells{{3, 4}}));

  dib.Fill(255, 255, 255, 255);
  dib.DrawEllipse(2, 2, 5, 5, kRed, 1, 256);  // the box includes right and bottom
  const Cells ellipse = Changed(dib);
  ASSERT_FALSE(ellipse.empty());
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (const auto& [x, y] : ellipse) {
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  }
  EXPECT_EQ(minX, 2);
  EXPECT_EQ(maxX, 5);
  EXPECT_EQ(minY, 2);
  EXPECT_EQ(maxY, 5);
  EXPECT_EQ(ellipse.count({3, 3}), 0u);  // an outline, not filled

  dib.Fill(255, 255, 255, 255);
  dib.FillEllipse(2, 2, 9, 9, kRed, 256);
  EXPECT_EQ(dib.View().At(5, 5) & 0xFFFFFF, kRedPixel);
  EXPECT_EQ(Changed(dib).count({2, 2}), 0u);
  EXPECT_EQ(Changed(dib).count({10, 10}), 0u);
}

TEST_F(DibTest, ShapesAreMixedWithTheOpacity) {
  for (int opacity : {0, 128, 256}) {
    dib.Fill(255, 255, 255, 255);
    dib.DrawRect(1, 1, 8, 8, kRed, 1, opacity);
    dib.FillEllipse(10, 10, 20, 20, kRed, opacity);
    dib.DrawLine(0, 30, 31, 30, kRed, 1, opacity);
    const Pixel expected = opacity == 0 ? kWhite : opacity == 128 ? 0x00FF7F7Fu : kRedPixel;
    EXPECT_EQ(dib.View().At(1, 1) & 0xFFFFFF, expected) << opacity;
    EXPECT_EQ(dib.View().At(15, 15) & 0xFFFFFF, expected) << opacity;
    EXPECT_EQ(dib.View().At(16, 30) & 0xFFFFFF, expected) << opacity;
    EXPECT_EQ(dib.View().At(4, 4) & 0xFFFFFF, kWhite) << opacity;
  }
}

// GDI knows no alpha: a shape sets it where it draws and leaves the other
// pixels as they were.
TEST_F(DibTest, ShapesLayTheirColourOverTransparentPixels) {
  dib.Fill(192, 192, 192);
  dib.DrawLine(0, 5, 32, 5, kRed, 1, 128);
  dib.FillEllipse(10, 10, 20, 20, kRed, 256);
  EXPECT_EQ(dib.View().At(7, 5), 0x80FF0000u);
  EXPECT_EQ(dib.View().At(15, 15), 0xFFFF0000u);
  EXPECT_EQ(dib.View().At(7, 7), 0x00C0C0C0u);
}

TEST_F(DibTest, ShapesAreClippedAtTheImageEdge) {
  dib.DrawRect(-3, -3, 2, 2, kRed, 1, 256);
  EXPECT_EQ(Changed(dib), (Cells{{1, 0}, {1, 1}, {0, 1}}));
  dib.Fill(255, 255, 255, 255);
  dib.DrawLine(-10, 31, 50, 31, kRed, 1, 256);
  EXPECT_EQ(Changed(dib).size(), 32u);
  dib.Fill(255, 255, 255, 255);
  dib.FillEllipse(-40, -40, 80, 80, kRed, 256);
  EXPECT_EQ(Changed(dib).size(), 32u * 32u);
  dib.Fill(255, 255, 255, 255);
  dib.DrawEllipse(100, 100, 120, 120, kRed, 3, 256);
  EXPECT_TRUE(Changed(dib).empty());
}

TEST_F(DibTest, PenWidthSetsTheThicknessOfALine) {
  for (int width = 1; width <= 14; ++width) {
    dib.Fill(255, 255, 255, 255);
    dib.DrawLine(2, 16, 30, 16, kRed, width, 256);
    int thickness = 0;
    for (int y = 0; y < 32; ++y) thickness += !SameColor(dib.View().At(16, y), kWhite);
    EXPECT_EQ(thickness, width) << "pen width " << width;
  }
}

TEST_F(DibTest, BlurAllOfASingleWhitePixel) {
  dib.Fill(0, 0, 0, 255);
  dib.View().At(10, 10) = 0xFFFFFFFFu;
  dib.BlurAll(0x00C0C0C0u);
  EXPECT_EQ(dib.View().At(10, 10), 0xFF999999u);
  EXPECT_EQ(dib.View().At(10, 11), 0xFF191919u);
  EXPECT_EQ(dib.View().At(9, 10), 0xFF191919u);
  dib.Fill(10, 20, 30, 255);
  dib.BlurAll(0x00C0C0C0u);
  EXPECT_EQ(dib.View().At(0, 0), 0xFF0A141Eu);
}

TEST_F(DibTest, BlurRectClampsToTheImage) {
  dib.Fill(0, 0, 0, 255);
  dib.View().At(1, 1) = 0xFFFFFFFFu;
  dib.View().At(3, 3) = 0xFFFFFFFFu;
  dib.BlurRect(-1, -1, 1, 1, 0x00C0C0C0u, 256);
  EXPECT_EQ(dib.View().At(1, 1), 0xFF999999u);
  EXPECT_EQ(dib.View().At(0, 1), 0xFF1C1C1Cu);  // border pixel: 255 / 9
  EXPECT_EQ(dib.View().At(2, 1), 0xFF000000u);  // outside the rectangle
  EXPECT_EQ(dib.View().At(3, 3), 0xFFFFFFFFu);

  const std::vector<Pixel> before(dib.GetBits(), dib.GetBits() + 32 * 32);
  dib.BlurRect(32, 0, 40, 5, 0x00C0C0C0u, 256);
  EXPECT_EQ(std::vector<Pixel>(dib.GetBits(), dib.GetBits() + 32 * 32), before);

  dib.BlurRect(3, 3, 3, 3, 0x00C0C0C0u, 128);  // 153 mixed halfway from 255
  EXPECT_EQ(dib.View().At(3, 3), 0xFFCCCCCCu);
}

TEST_F(DibTest, WriteThenReadGivesTheSameImage) {
  for (int i = 0; i < 32 * 32; ++i) dib.GetBits()[i] = static_cast<Pixel>(i * 2654435761u) & 0xFFFFFF;
  MemoryStream out;
  EXPECT_EQ(dib.WriteBmp(out), 4150u);
  EXPECT_EQ(out.Bytes().size(), 4150u);
  CDib back;
  MemoryStream in(out.Bytes().data(), out.Bytes().size());
  EXPECT_EQ(back.ReadBmp(in), 4150u);
  ASSERT_EQ(back.GetWidth(), 32u);
  ASSERT_EQ(back.GetHeight(), 32u);
  for (int i = 0; i < 32 * 32; ++i) ASSERT_EQ(back.GetBits()[i] & 0xFFFFFF, dib.GetBits()[i]) << i;
  // GDI sees the read image the right way up too.
  HDC dc = back.LockDC();
  EXPECT_EQ(::GetPixel(dc, 0, 1), static_cast<COLORREF>(ColorFromPixel(dib.View().At(0, 1))));
  back.UnlockDC();
}

TEST_F(DibTest, ANarrowImageKeepsItsWidthThroughAFile) {
  CDib narrow;
  ASSERT_EQ(narrow.Create(5, 2), 1);
  MemoryStream out;
  narrow.WriteBmp(out);
  CDib back;
  MemoryStream in(out.Bytes().data(), out.Bytes().size());
  ASSERT_GT(back.ReadBmp(in), 0u);
  EXPECT_EQ(back.GetWidth(), 5u);
  EXPECT_EQ(back.GetStride(), 8);
}

TEST_F(DibTest, AFailedReadLeavesTheImageEmpty) {
  const uint8_t junk[] = {'B', 'M', 1, 2, 3};
  MemoryStream in(junk, sizeof junk);
  EXPECT_EQ(dib.ReadBmp(in), 0u);
  EXPECT_TRUE(dib.IsEmpty());
  EXPECT_EQ(dib.GetWidth(), 0u);
}

TEST_F(DibTest, PalettedFilesBuildAPalette) {
  // 2 x 1, 8 bits, three colours used.
  std::vector<uint8_t> f(54 + 12 + 4, 0);
  f[0] = 'B', f[1] = 'M';
  f[10] = 66;
  f[14] = 40, f[18] = 2, f[22] = 1, f[26] = 1, f[28] = 8, f[46] = 3;
  f[54] = 0x30, f[55] = 0x20, f[56] = 0x10;  // entry 0: blue 0x30, green 0x20, red 0x10
  f[66] = 0, f[67] = 2;
  MemoryStream in(f.data(), f.size());
  ASSERT_GT(dib.ReadBmp(in), 0u);
  EXPECT_EQ(dib.GetColorCount(), 3);
  EXPECT_EQ(dib.GetColorTableSize(), 12);
  ASSERT_NE(dib.GetPalette(), nullptr);
  PALETTEENTRY entry{};
  ASSERT_EQ(::GetPaletteEntries(dib.GetPalette(), 0, 1, &entry), 1u);
  EXPECT_EQ(entry.peRed, 0x10);
  EXPECT_EQ(entry.peBlue, 0x30);
}

TEST(PaintBuffer, CopiesToTheTargetInOneStep) {
  CDib target;
  ASSERT_EQ(target.Create(20, 20), 1);
  HDC dc = target.LockDC();
  {
    CPaintBuffer buffer(dc, RECT{5, 5, 15, 15});
    RECT r{5, 5, 15, 15};
    UniqueBrush red(::CreateSolidBrush(RGB(255, 0, 0)));
    ::FillRect(buffer, &r, red.Get());
    EXPECT_EQ(::GetPixel(dc, 7, 7), RGB(0, 0, 0));  // nothing on the target yet
  }
  EXPECT_EQ(::GetPixel(dc, 7, 7), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(dc, 4, 4), RGB(0, 0, 0));
  target.UnlockDC();
}

}  // namespace
}  // namespace glyph
