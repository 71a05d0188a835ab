// .bmp files made by other tools read back through CDib, and a CDib file
// left for other tools to read (check_bmp_interop.py).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/Dib.h"
#include "tests/core/BmpSamples.h"

namespace glyph {
namespace {

TEST(BmpInterop, FilesFromPillowAndImageMagickReadWithTheirColours) {
  const auto samples = bmptest::LoadSamples(GLYPH_TEST_DATA);
  ASSERT_EQ(samples.size(), 16u);
  for (const auto& s : samples) {
    FileStream in((std::string(GLYPH_TEST_DATA "/") + s.name).c_str(), FileStream::Mode::kRead);
    ASSERT_TRUE(in.IsOpen()) << s.name;
    CDib dib;
    ASSERT_GT(dib.ReadBmp(in), 0u) << s.name;
    ASSERT_EQ(dib.GetWidth(), 5u) << s.name;
    ASSERT_EQ(dib.GetHeight(), 3u) << s.name;
    HDC dc = dib.LockDC();
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(::GetPixel(dc, x, y), ColorFromPixel(s.pixels[y * 5 + x]))
            << s.name << " at " << x << "," << y;
      }
    }
    dib.UnlockDC();
  }
}

TEST(BmpInterop, WritesAFileForOtherReaders) {
  CDib dib;
  ASSERT_EQ(dib.Create(32, 32), 1);
  std::ofstream expected("cdib_written.txt");
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const Pixel p = static_cast<Pixel>((x * 8) << 16 | (y * 8) << 8 | ((x + y) * 4 & 0xFF));
      dib.View().At(x, y) = p;
      expected << ((p >> 16) & 0xFF) << ',' << ((p >> 8) & 0xFF) << ',' << (p & 0xFF)
               << (x == 31 ? '\n' : ' ');
    }
  }
  FileStream out("cdib_written.bmp", FileStream::Mode::kWrite);
  ASSERT_EQ(dib.WriteBmp(out), 4150u);
  EXPECT_TRUE(out.Close());
}

}  // namespace
}  // namespace glyph
