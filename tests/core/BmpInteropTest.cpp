// .bmp files made by other tools read back through CDib, and a CDib file
// left for other tools to read (check_bmp_interop.py).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/Dib.h"

namespace glyph {
namespace {

struct Sample {
  std::string name;
  std::vector<COLORREF> pixels;  // top row first
};

std::vector<Sample> LoadExpected() {
  std::vector<Sample> samples;
  std::ifstream in(GLYPH_TEST_DATA "/expected.txt");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Sample s;
    fields >> s.name;
    std::string rgb;
    while (fields >> rgb) {
      int r = 0, g = 0, b = 0;
      if (std::sscanf(rgb.c_str(), "%d,%d,%d", &r, &g, &b) == 3) s.pixels.push_back(RGB(r, g, b));
    }
    samples.push_back(s);
  }
  return samples;
}

TEST(BmpInterop, FilesFromPillowAndImageMagickReadWithTheirColours) {
  const auto samples = LoadExpected();
  ASSERT_EQ(samples.size(), 16u);
  for (const Sample& s : samples) {
    FileStream in((std::string(GLYPH_TEST_DATA "/") + s.name).c_str(), FileStream::Mode::kRead);
    ASSERT_TRUE(in.IsOpen()) << s.name;
    CDib dib;
    ASSERT_GT(dib.ReadBmp(in), 0u) << s.name;
    ASSERT_EQ(dib.GetWidth(), 5u) << s.name;
    ASSERT_EQ(dib.GetHeight(), 3u) << s.name;
    HDC dc = dib.LockDC();
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(::GetPixel(dc, x, y), s.pixels[y * 5 + x]) << s.name << " at " << x << "," << y;
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
