// Test input for the .bmp reader: files built field by field, and the
// samples in tests/core/data with the colours Pillow decodes from them
// (expected.txt, written by make_bmp_samples.sh).
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "core/BmpFormat.h"
#include "core/Pixels.h"

namespace glyph {
namespace bmptest {

struct FileLayout {
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored top first
  uint16_t bits = 32;
  uint32_t compression = 0;
  std::vector<uint32_t> table;  // the colour table, or the bit masks
  uint32_t colorsUsed = 0;
  uint16_t reserved1 = 0;  // the logical width our writer stores
};

// A file with a 40-byte info header; `data` is the pixel data in file order.
inline std::vector<uint8_t> BmpFile(const FileLayout& s, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> f(kBmpFileHeaderSize + kBmpInfoHeaderSize + s.table.size() * 4);
  StoreU16(f.data(), kBmpType);
  StoreU16(f.data() + 6, s.reserved1);
  StoreU32(f.data() + 10, static_cast<uint32_t>(f.size()));
  uint8_t* h = f.data() + kBmpFileHeaderSize;
  StoreU32(h, kBmpInfoHeaderSize);
  StoreU32(h + 4, static_cast<uint32_t>(s.width));
  StoreU32(h + 8, static_cast<uint32_t>(s.height));
  StoreU16(h + 12, 1);
  StoreU16(h + 14, s.bits);
  StoreU32(h + 16, s.compression);
  StoreU32(h + 32, s.colorsUsed);
  for (size_t i = 0; i < s.table.size(); ++i) StoreU32(h + kBmpInfoHeaderSize + 4 * i, s.table[i]);
  f.insert(f.end(), data.begin(), data.end());
  StoreU32(f.data() + 2, static_cast<uint32_t>(f.size()));
  return f;
}

struct Sample {
  std::string name;
  std::vector<uint8_t> bytes;
  uint32_t width = 0, height = 0;  // as read
  std::vector<Pixel> pixels;       // 0x00RRGGBB, top row first; empty: not known
};

// Every sample listed in `dir`/expected.txt, with its file's bytes.
inline std::vector<Sample> LoadSamples(const std::string& dir) {
  std::vector<Sample> samples;
  std::ifstream list(dir + "/expected.txt");
  std::string line;
  while (std::getline(list, line)) {
    std::istringstream fields(line);
    Sample s;
    s.width = 5;
    s.height = 3;
    fields >> s.name;
    std::string rgb;
    while (fields >> rgb) {
      unsigned r = 0, g = 0, b = 0;
      if (std::sscanf(rgb.c_str(), "%u,%u,%u", &r, &g, &b) == 3) s.pixels.push_back(r << 16 | g << 8 | b);
    }
    std::ifstream file(dir + "/" + s.name, std::ios::binary);
    s.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    samples.push_back(std::move(s));
  }
  return samples;
}

// The samples, and the two files that once made an image whose stride
// disagreed with its memory.
inline std::vector<Sample> ImagesToRead(const std::string& dir) {
  std::vector<Sample> images = LoadSamples(dir);
  // Rows of exactly 1021 pixels: not a multiple of 4.
  images.push_back(
      {"1021 wide, 32 bits", BmpFile({1021, 3}, std::vector<uint8_t>(1021 * 4 * 3, 0x5A)), 1021, 3});
  // A logical width in reserved 1 far below the rows' width.
  FileLayout claimsOne{64, 2};
  claimsOne.reserved1 = 1;
  images.push_back(
      {"64 wide claiming width 1", BmpFile(claimsOne, std::vector<uint8_t>(64 * 4 * 2, 7)), 64, 2});
  return images;
}

}  // namespace bmptest
}  // namespace glyph
