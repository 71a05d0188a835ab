// Whatever .bmp it reads, CDib must come out as the one image type every
// primitive assumes: a 32-bit top-down DIB section whose stride and height
// are the memory GDI gave it. Each case then runs every primitive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Dib.h"
#include "tests/core/BmpSamples.h"

namespace glyph {
namespace {

// The pointer arithmetic (stride x height x 4 bytes) against the section.
::testing::AssertionResult MemoryAgrees(const CDib& dib) {
  DIBSECTION section{};
  if (::GetObject(dib.GetBitmap(), sizeof section, &section) != sizeof section)
    return ::testing::AssertionFailure() << "not a DIB section";
  if (section.dsBm.bmBits != dib.GetBits() || section.dsBm.bmBitsPixel != 32 ||
      section.dsBm.bmWidthBytes != 4 * dib.GetStride() ||
      section.dsBm.bmHeight != static_cast<LONG>(dib.GetHeight()) ||
      dib.GetStride() < static_cast<int>(dib.GetWidth())) {
    return ::testing::AssertionFailure()
           << "section " << section.dsBm.bmWidth << " x " << section.dsBm.bmHeight << " at "
           << section.dsBm.bmBitsPixel << " bits, " << section.dsBm.bmWidthBytes << " bytes a row; image "
           << dib.GetWidth() << " x " << dib.GetHeight() << ", stride " << dib.GetStride();
  }
  return ::testing::AssertionSuccess();
}

void ReadAndDraw(const bmptest::Sample& c) {
  CDib dib;
  MemoryStream in(c.bytes.data(), c.bytes.size());
  ASSERT_EQ(dib.ReadBmp(in), c.bytes.size());
  EXPECT_EQ(dib.GetWidth(), c.width);
  EXPECT_EQ(dib.GetHeight(), c.height);
  ASSERT_TRUE(MemoryAgrees(dib));
  const int w = static_cast<int>(dib.GetWidth()), h = static_cast<int>(dib.GetHeight());
  for (size_t i = 0; i < c.pixels.size(); ++i) {
    const int x = static_cast<int>(i) % w, y = static_cast<int>(i) / w;
    EXPECT_EQ(dib.View().At(x, y) & 0xFFFFFF, c.pixels[i]) << "at " << x << "," << y;
  }

  // Written and read again, the image keeps its size and pixels.
  MemoryStream out;
  ASSERT_GT(dib.WriteBmp(out), 0u);
  CDib back;
  MemoryStream again(out.Bytes().data(), out.Bytes().size());
  ASSERT_GT(back.ReadBmp(again), 0u);
  ASSERT_EQ(back.GetWidth(), dib.GetWidth());
  ASSERT_TRUE(MemoryAgrees(back));
  EXPECT_EQ(back.View().At(w - 1, h - 1), dib.View().At(w - 1, h - 1));

  CDib copy;
  dib.CopyTo(copy);
  ASSERT_TRUE(MemoryAgrees(copy));
  EXPECT_EQ(copy.GetWidth(), dib.GetWidth());
  CDib created;
  ASSERT_EQ(created.Create(dib.GetWidth(), dib.GetHeight()), 1);
  created.Fill(9, 9, 9);
  created.CopyTo(dib);
  EXPECT_EQ(dib.View().At(w - 1, h - 1), 0x090909u);
  dib.BlendFrom(copy, kOpaque);
  EXPECT_TRUE(SameColor(dib.View().At(w - 1, h - 1), copy.View().At(w - 1, h - 1)));

  constexpr ColorValue kRed = 0x0000FF;
  dib.BlendRect(-1, -1, w + 2, h + 2, kRed, 128);
  dib.BlurAll(0);
  dib.BlurRect(-1, -1, w, h, 0, 128);
  dib.DrawRect(-1, -1, w, h, kRed, 3, 200);
  dib.DrawLine(0, 0, w, h, kRed, 2, 200);
  dib.DrawEllipse(0, 0, w - 1, h - 1, kRed, 1, 200);
  dib.FillEllipse(-w, -h, 2 * w, 2 * h, kRed, kOpaque);
  EXPECT_EQ(dib.View().At(w / 2, h / 2) & 0xFFFFFF, PixelFromColor(kRed));
  ASSERT_TRUE(MemoryAgrees(dib));
  dib.Fill(1, 2, 3);
  const PixelView v = dib.View();
  for (int i = 0; i < v.Count(); ++i) ASSERT_EQ(v.bits[i], 0x010203u) << i;
}

TEST(DibRead, EveryImageReadIsA32BitImageThatEveryPrimitiveStaysInside) {
  const auto cases = bmptest::ImagesToRead(GLYPH_TEST_DATA);
  ASSERT_EQ(cases.size(), 18u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReadAndDraw(c);
  }
}

}  // namespace
}  // namespace glyph
