#include "core/BmpFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace glyph {
namespace {

// A 32-bpp header for a w x h image (negative h: top-down memory).
std::vector<uint8_t> Header32(int32_t w, int32_t h) {
  std::vector<uint8_t> header(44, 0);
  StoreU32(header.data(), 40);
  StoreU32(header.data() + 4, static_cast<uint32_t>(w));
  StoreU32(header.data() + 8, static_cast<uint32_t>(h));
  StoreU16(header.data() + 12, 1);
  StoreU16(header.data() + 14, 32);
  return header;
}

// A file with the given bit count and colour table, rows as given (file order).
std::vector<uint8_t> File(int32_t w, int32_t h, uint16_t bits, const std::vector<uint32_t>& table,
                          const std::vector<uint8_t>& data, uint32_t colorsUsed = 0) {
  std::vector<uint8_t> f(54 + table.size() * 4);
  StoreU16(f.data(), kBmpType);
  StoreU32(f.data() + 10, static_cast<uint32_t>(f.size()));
  StoreU32(f.data() + 14, 40);
  StoreU32(f.data() + 18, static_cast<uint32_t>(w));
  StoreU32(f.data() + 22, static_cast<uint32_t>(h));
  StoreU16(f.data() + 26, 1);
  StoreU16(f.data() + 28, bits);
  StoreU32(f.data() + 46, colorsUsed);
  for (size_t i = 0; i < table.size(); ++i) StoreU32(f.data() + 54 + 4 * i, table[i]);
  f.insert(f.end(), data.begin(), data.end());
  StoreU32(f.data() + 2, static_cast<uint32_t>(f.size()));
  return f;
}

std::optional<BmpImage> Read(const std::vector<uint8_t>& bytes) {
  MemoryStream in(bytes.data(), bytes.size());
  return ReadBmpStream(in);
}

TEST(BmpFormat, WritesACreatedImageAsTheDocumentedStream) {
  std::vector<uint8_t> rows(32 * 128);
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<uint8_t>(i / 128);  // byte = row index
  const auto header = Header32(32, -32);
  MemoryStream out;
  ASSERT_EQ(WriteBmpStream(out, header.data(), header.size(), rows.data(), 32), 4150u);
  const auto& f = out.Bytes();
  ASSERT_EQ(f.size(), 4150u);
  EXPECT_EQ(LoadU16(f.data()), kBmpType);
  EXPECT_EQ(LoadU32(f.data() + 2), 4150u);
  EXPECT_EQ(LoadU16(f.data() + 6), 32);
  EXPECT_EQ(LoadU16(f.data() + 8), 0);
  EXPECT_EQ(LoadU32(f.data() + 10), 54u);
  EXPECT_EQ(LoadI32(f.data() + 18), 32);
  EXPECT_EQ(LoadI32(f.data() + 22), 32);  // bottom-up in the file
  EXPECT_EQ(LoadU16(f.data() + 26), 1);
  EXPECT_EQ(LoadU16(f.data() + 28), 32);
  EXPECT_EQ(LoadU32(f.data() + 30), 0u);
  EXPECT_EQ(LoadU32(f.data() + 34), 4096u);
  EXPECT_EQ(f[54], 31);  // the bottom row comes first
  EXPECT_EQ(f[4150 - 1], 0);

  auto back = Read(f);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->reserved1, 32);
  EXPECT_EQ(back->rows, rows);
  EXPECT_EQ(back->Info().height, 32);
}

TEST(BmpFormat, ReadsEveryDepthInBothRowOrders) {
  // 2 x 2 images whose top row differs from the bottom row.
  struct Case {
    uint16_t bits;
    std::vector<uint32_t> table;
    std::vector<uint8_t> topRow, bottomRow;
  };
  const Case cases[] = {
      {1, {0, 0xFFFFFF}, {0x80, 0, 0, 0}, {0x40, 0, 0, 0}},
      {4, std::vector<uint32_t>(16, 0), {0x12, 0, 0, 0}, {0x34, 0, 0, 0}},
      {8, std::vector<uint32_t>(256, 0), {1, 2, 0, 0}, {3, 4, 0, 0}},
      {24, {}, {1, 2, 3, 4, 5, 6, 0, 0}, {7, 8, 9, 10, 11, 12, 0, 0}},
      {32, {}, {1, 2, 3, 0, 4, 5, 6, 0}, {7, 8, 9, 0, 10, 11, 12, 0}},
  };
  for (const Case& c : cases) {
    for (int32_t h : {2, -2}) {
      std::vector<uint8_t> data = h > 0 ? c.bottomRow : c.topRow;
      const auto& second = h > 0 ? c.topRow : c.bottomRow;
      data.insert(data.end(), second.begin(), second.end());
      auto image = Read(File(2, h, c.bits, c.table, data));
      ASSERT_TRUE(image) << c.bits << " bpp, height " << h;
      std::vector<uint8_t> expected = c.topRow;
      expected.insert(expected.end(), c.bottomRow.begin(), c.bottomRow.end());
      EXPECT_EQ(image->rows, expected) << c.bits << " bpp, height " << h;
      EXPECT_EQ(image->Info().ColorCount(), c.table.size());
    }
  }
}

TEST(BmpFormat, RefusesTruncatedAndLyingFiles) {
  const std::vector<uint8_t> good = File(2, 2, 32, {}, std::vector<uint8_t>(16, 7));
  ASSERT_TRUE(Read(good));

  auto with = [&](size_t offset, uint32_t value, bool wide = true) {
    auto f = good;
    if (wide)
      StoreU32(f.data() + offset, value);
    else
      StoreU16(f.data() + offset, static_cast<uint16_t>(value));
    return f;
  };
  const std::vector<std::pair<const char*, std::vector<uint8_t>>> bad = {
      {"empty", {}},
      {"file header only", std::vector<uint8_t>(good.begin(), good.begin() + 14)},
      {"short pixels", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"not BM", with(0, 0x4D43, false)},
      {"pixel offset inside the file header", with(10, 20)},
      {"pixel offset far beyond", with(10, 0x7FFFFFF0)},
      {"header size 12", with(14, 12)},
      {"header size beyond the offset", with(14, 400)},
      {"zero width", with(18, 0)},
      {"negative width", with(18, 0xFFFFFFFE)},
      {"huge width", with(18, 100000)},
      {"huge height", with(22, 0x80000000)},
      {"zero height", with(22, 0)},
      {"two planes", with(26, 2, false)},
      {"bit count 7", with(28, 7, false)},
      {"run-length", with(30, 1)},
      {"image size too small", with(34, 8)},
      {"image size beyond the file", with(34, 0x7FFFFFFF)},
      {"colour count beyond 256", with(46, 100000)},
  };
  for (const auto& [name, bytes] : bad) EXPECT_FALSE(Read(bytes)) << name;

  // An 8-bpp file claiming 256 colours but storing 2 reads zeros for the rest.
  auto shortTable = File(1, 1, 8, {0x112233, 0x445566}, {1, 0, 0, 0}, 0);
  auto image = Read(shortTable);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Info().ColorCount(), 256);
  EXPECT_GE(image->header.size(), 40u + 256 * 4);
  // An 8-bpp file claiming 300 colours is refused.
  EXPECT_FALSE(Read(File(1, 1, 8, {0, 0}, {1, 0, 0, 0}, 300)));
}

}  // namespace
}  // namespace glyph
