#include "icon/DocumentReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "icon/IcoWriter.h"
#include "icon/PngCodec.h"
#include "tests/icon/IconSamples.h"

namespace glyph::icon {
namespace {

using test::ByteVector;
using Rgba = std::vector<uint8_t>;

void Put16(ByteVector& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(ByteVector& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
void Set32(ByteVector& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}

// Rows written bottom-up, each padded to 4 bytes.
void PutRows(ByteVector& v, const std::vector<ByteVector>& topDown) {
  for (auto row = topDown.rbegin(); row != topDown.rend(); ++row) {
    v.insert(v.end(), row->begin(), row->end());
    while (v.size() % 4) v.push_back(0);
  }
}

// A bitmap-info header, the `table` (colours, or bit masks) right after it.
void PutInfo(ByteVector& v, int width, int height, int bits, uint32_t compression,
             const std::vector<uint32_t>& table) {
  Put32(v, 40);
  Put32(v, static_cast<uint32_t>(width));
  Put32(v, static_cast<uint32_t>(height));
  Put16(v, 1);
  Put16(v, static_cast<uint32_t>(bits));
  Put32(v, compression);
  for (int i = 0; i < 3; ++i) Put32(v, 0);
  Put32(v, bits <= 8 ? static_cast<uint32_t>(table.size()) : 0);
  Put32(v, 0);
  for (uint32_t entry : table) Put32(v, entry);
}

// A 3 x 2 icon image whose mask makes the top middle pixel transparent.
struct DibCase {
  const char* name;
  int bits;
  uint32_t compression;
  std::vector<uint32_t> table;
  std::vector<ByteVector> rows;  // top row first
  bool maskPlane;
  int documentBits;
  Rgba pixels;  // top row first
};

ByteVector Dib(const DibCase& c) {
  ByteVector v;
  PutInfo(v, 3, 4, c.bits, c.compression, c.table);
  PutRows(v, c.rows);
  if (c.maskPlane) PutRows(v, {{0x40}, {0x00}});
  return v;
}

const uint8_t T = 0, O = 255;  // transparent, opaque

const std::vector<DibCase>& DibCases() {
  static const std::vector<DibCase> cases = {
      {"1 bit", 1, 0, {0, 0xFF8040}, {{0xA0}, {0x60}}, true, 1, {0xFF, 0x80, 0x40, O,    0,    0,
                                                                 0,    T,    0xFF, 0x80, 0x40, O,  //
                                                                 0,    0,    0,    O,    0xFF, 0x80,
                                                                 0x40, O,    0xFF, 0x80, 0x40, O}},
      {"4 bits, short table",
       4,
       0,
       {0, 0x102030, 0x405060, 0x708090},
       {{0x12, 0x30}, {0x30, 0x20}},
       true,
       4,
       {0x10, 0x20, 0x30, O, 0x40, 0x50, 0x60, T, 0x70, 0x80, 0x90, O,  //
        0x70, 0x80, 0x90, O, 0,    0,    0,    O, 0x40, 0x50, 0x60, O}},
      {"8 bits",
       8,
       0,
       {0xAABBCC, 0x010203, 0xFEFDFC},
       {{2, 1, 0}, {0, 0, 1}},
       true,
       8,
       {0xFE, 0xFD, 0xFC, O, 1,    2,    3,    T, 0xAA, 0xBB, 0xCC, O,  //
        0xAA, 0xBB, 0xCC, O, 0xAA, 0xBB, 0xCC, O, 1,    2,    3,    O}},
      {"16 bits 5-5-5",
       16,
       0,
       {},
       {{0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00}, {0, 0, 0xFF, 0x7F, 0x1F, 0x7C}},
       true,
       24,
       {0xFF, 0, 0, O, 0,    0xFF, 0,    T, 0,    0, 0xFF, O,  //
        0,    0, 0, O, 0xFF, 0xFF, 0xFF, O, 0xFF, 0, 0xFF, O}},
      {"16 bits 5-6-5 fields",
       16,
       3,
       {0xF800, 0x07E0, 0x001F},
       {{0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00}, {0xFF, 0xFF, 0, 0, 0x1F, 0xF8}},
       true,
       24,
       {0xFF, 0,    0,    O, 0, 0xFF, 0, T, 0,    0, 0xFF, O,  //
        0xFF, 0xFF, 0xFF, O, 0, 0,    0, O, 0xFF, 0, 0xFF, O}},
      {"24 bits",
       24,
       0,
       {},
       {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}},
       true,
       24,
       {3, 2, 1, O, 6, 5, 4, T, 9, 8, 7, O, 12, 11, 10, O, 15, 14, 13, O, 18, 17, 16, O}},
      // The alpha bytes decide, whatever the mask says.
      {"32 bits",
       32,
       0,
       {},
       {{1, 2, 3, 0x80, 4, 5, 6, 0xC8, 7, 8, 9, 0}, {10, 11, 12, 0xFF, 13, 14, 15, 1, 0, 0, 0, 0}},
       true,
       32,
       {3, 2, 1, 0x80, 6, 5, 4, 0xC8, 9, 8, 7, 0, 12, 11, 10, 0xFF, 15, 14, 13, 1, 0, 0, 0, 0}},
      {"32 bits without mask plane",
       32,
       0,
       {},
       {{1, 2, 3, 0x80, 4, 5, 6, 0xC8, 7, 8, 9, 0}, {10, 11, 12, 0xFF, 13, 14, 15, 1, 0, 0, 0, 0}},
       false,
       32,
       {3, 2, 1, 0x80, 6, 5, 4, 0xC8, 9, 8, 7, 0, 12, 11, 10, 0xFF, 15, 14, 13, 1, 0, 0, 0, 0}},
      // An icon from before alpha: every alpha byte 0, the mask decides.
      {"32 bits, alpha all 0",
       32,
       0,
       {},
       {{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}, {10, 11, 12, 0, 13, 14, 15, 0, 0, 0, 0, 0}},
       true,
       32,
       {3, 2, 1, O, 6, 5, 4, T, 9, 8, 7, O, 12, 11, 10, O, 15, 14, 13, O, 0, 0, 0, O}},
      {"32 bits, alpha all 0, without mask plane",
       32,
       0,
       {},
       {{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}, {10, 11, 12, 0, 13, 14, 15, 0, 0, 0, 0, 0}},
       false,
       32,
       {3, 2, 1, O, 6, 5, 4, O, 9, 8, 7, O, 12, 11, 10, O, 15, 14, 13, O, 0, 0, 0, O}},
  };
  return cases;
}

RgbaImage SmallPicture() {
  return {5, 3, {0,   0,   0,   0,   255, 0,   0,   255, 0,   255, 0,   128, 0,   0,   255,
                 1,   9,   8,   7,   6,   10,  20,  30,  40,  50,  60,  70,  80,  90,  100,
                 110, 120, 130, 140, 150, 160, 170, 180, 190, 200, 210, 220, 230, 240, 250,
                 255, 255, 255, 255, 0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10}};
}

ByteVector Png(const RgbaImage& image) {
  std::vector<uint8_t> bytes;
  std::string why;
  EXPECT_TRUE(EncodePng(image, bytes, why)) << why;
  return bytes;
}

std::string Notes(const DocumentRead& read) {
  std::string all;
  for (const std::string& note : read.notes) all += note + "\n";
  return all;
}

TEST(DocumentReader, ReadsEveryDepthExactly) {
  std::vector<ByteVector> images;
  for (const DibCase& c : DibCases()) images.push_back(Dib(c));
  images.push_back(Png(SmallPicture()));
  const DocumentRead read = ReadDocument(test::MakeIcoFile(images));
  ASSERT_TRUE(read.Ok()) << read.error;
  EXPECT_EQ(Notes(read), "");
  ASSERT_EQ(read.document.images.size(), images.size());
  for (size_t i = 0; i < DibCases().size(); ++i) {
    const DibCase& c = DibCases()[i];
    const IconDocumentImage& image = read.document.images[i];
    EXPECT_EQ(image.storage, IconStorage::kBmp) << c.name;
    EXPECT_EQ(image.bits, c.documentBits) << c.name;
    EXPECT_EQ(image.pixels.width, 3) << c.name;
    EXPECT_EQ(image.pixels.height, 2) << c.name;
    EXPECT_EQ(image.pixels.pixels, c.pixels) << c.name;
  }
  const IconDocumentImage& png = read.document.images.back();
  EXPECT_EQ(png.storage, IconStorage::kPng);
  EXPECT_EQ(png.bits, 32);
  EXPECT_EQ(png.pixels.width, 5);
  EXPECT_EQ(png.pixels.pixels, SmallPicture().pixels);
}

// The images' own headers give their sizes: a directory that says 0 for
// 256, or anything at all, is not believed.
TEST(DocumentReader, SizesComeFromTheImagesNotTheDirectory) {
  ByteVector file =
      test::MakeIcoFile({test::MakeDibImage(256, 256, 32, 1), test::MakeDibImage(16, 16, 4, 2)});
  constexpr size_t kSecondEntry = 6 + 16;
  file[kSecondEntry] = 48;
  file[kSecondEntry + 1] = 0;
  file[kSecondEntry + 2] = 0;
  file[kSecondEntry + 6] = 32;
  const DocumentRead read = ReadDocument(file);
  ASSERT_TRUE(read.Ok()) << read.error;
  ASSERT_EQ(read.document.images.size(), 2u);
  EXPECT_EQ(read.document.images[0].pixels.width, 256);
  EXPECT_EQ(read.document.images[0].pixels.height, 256);
  EXPECT_EQ(read.document.images[0].bits, 32);
  EXPECT_EQ(read.document.images[1].pixels.width, 16);
  EXPECT_EQ(read.document.images[1].pixels.height, 16);
  EXPECT_EQ(read.document.images[1].bits, 4);
}

// Images that cannot be held are left out, each named as the file numbers
// it; the rest of the icon is read.
TEST(DocumentReader, LeavesOutImagesItCannotHoldAndSaysWhich) {
  RgbaImage one{1, 1, {1, 2, 3, 4}};
  ByteVector unreadablePng = Png(one);
  Set32(unreadablePng, 16, 0x10000);  // IHDR: 256 x 256 from one pixel's data
  Set32(unreadablePng, 20, 0x10000);
  ByteVector file = test::MakeIcoFile({test::MakeDibImage(16, 16, 8), test::MakeDibImage(16, 16, 8),
                                       test::MakeDibImage(300, 300, 1), unreadablePng});
  constexpr size_t kSecondOffset = 6 + 16 + 12;
  Set32(file, kSecondOffset, static_cast<uint32_t>(file.size()));  // past the end
  const DocumentRead read = ReadDocument(file);
  ASSERT_TRUE(read.Ok()) << read.error;
  EXPECT_EQ(read.document.images.size(), 1u);
  ASSERT_EQ(read.notes.size(), 3u) << Notes(read);
  EXPECT_EQ(read.notes[0], "image 1 is damaged or lies past the end of the file: left out");
  EXPECT_EQ(read.notes[1], "image 2 is 300 x 300; an icon image is at most 256 x 256: left out");
  EXPECT_NE(read.notes[2].find("image 3 is damaged (the PNG file holds too little image data"),
            std::string::npos)
      << read.notes[2];

  const DocumentRead none = ReadDocument(test::MakeIcoFile({test::MakeDibImage(300, 300, 1)}));
  EXPECT_EQ(
      none.error,
      "the icon holds no image that can be read: image 0 is 300 x 300; an icon image is at most 256 x 256: "
      "left out");
  EXPECT_TRUE(none.document.images.empty());
}

// Entries that point at bytes another image was read from would let a
// small file fill memory with copies of one large image.
TEST(DocumentReader, ReadsSharedBytesOnce) {
  ByteVector file = test::MakeIcoFile(
      {test::MakeDibImage(256, 256, 1), test::MakeDibImage(16, 16, 8), test::MakeDibImage(16, 16, 8)});
  constexpr size_t kPlace = 6 + 8, kEntry = 16;  // byte count and offset
  std::copy(file.begin() + kPlace, file.begin() + kPlace + 8, file.begin() + kPlace + 2 * kEntry);
  const DocumentRead read = ReadDocument(file);
  ASSERT_TRUE(read.Ok()) << read.error;
  EXPECT_EQ(read.document.images.size(), 2u);
  EXPECT_EQ(Notes(read), "image 2 shares its bytes with image 0: left out\n");
}

// A group of a PE or NE file reads as the same images in an icon file do.
TEST(DocumentReader, ReadsGroupsOfExecutables) {
  const std::vector<test::SampleGroup> groups = {
      {"MAIN", 0, {Dib(DibCases()[0]), Png(SmallPicture())}},
      {"", 7, {Dib(DibCases()[5]), Dib(DibCases()[7]), test::MakeDibImage(300, 300, 1)}},
  };
  const struct {
    const char* name;
    ByteVector file;
  } files[] = {{"PE32+", test::MakePeFile(groups)},
               {"PE32", test::MakePeFile(groups, false)},
               {"NE", test::MakeNeFile(groups)}};
  for (const auto& f : files) {
    for (size_t g = 0; g < groups.size(); ++g) {
      const DocumentRead read = ReadDocument(f.file, g);
      const DocumentRead expected = ReadDocument(test::MakeIcoFile(groups[g].images));
      ASSERT_TRUE(read.Ok()) << f.name << ": " << read.error;
      ASSERT_EQ(read.document.images.size(), expected.document.images.size()) << f.name;
      for (size_t i = 0; i < read.document.images.size(); ++i) {
        EXPECT_EQ(read.document.images[i].pixels.pixels, expected.document.images[i].pixels.pixels)
            << f.name << " group " << g << " image " << i;
        EXPECT_EQ(read.document.images[i].storage, expected.document.images[i].storage);
        EXPECT_EQ(read.document.images[i].bits, expected.document.images[i].bits);
      }
    }
    EXPECT_EQ(Notes(ReadDocument(f.file, 1)),
              "image 2 (icon resource 5) is 300 x 300; an icon image is at most 256 x 256: left out\n")
        << f.name;
    EXPECT_EQ(ReadDocument(f.file, 2).error, "no icon 2 (the file holds 2)") << f.name;
  }
}

ByteVector BmpFile(int width, int bits, const std::vector<uint32_t>& table, const ByteVector& row) {
  ByteVector info;
  PutInfo(info, width, 1, bits, 0, table);
  ByteVector v{'B', 'M'};
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, static_cast<uint32_t>(14 + info.size()));
  v.insert(v.end(), info.begin(), info.end());
  const size_t rowsAt = v.size();
  v.insert(v.end(), row.begin(), row.end());
  while ((v.size() - rowsAt) % 4) v.push_back(0);
  Set32(v, 2, static_cast<uint32_t>(v.size()));
  return v;
}

TEST(DocumentReader, ReadsPictures) {
  const struct {
    const char* name;
    ByteVector file;
    IconStorage storage;
    int bits;
    RgbaImage pixels;
  } cases[] = {
      {"PNG", Png(SmallPicture()), IconStorage::kPng, 32, SmallPicture()},
      {"BMP 32 bits",
       BmpFile(2, 32, {}, {1, 2, 3, 0x40, 4, 5, 6, 0}),
       IconStorage::kBmp,
       32,
       {2, 1, {3, 2, 1, 0x40, 6, 5, 4, 0}}},
      {"BMP 32 bits, alpha all 0",
       BmpFile(2, 32, {}, {1, 2, 3, 0, 4, 5, 6, 0}),
       IconStorage::kBmp,
       32,
       {2, 1, {3, 2, 1, 255, 6, 5, 4, 255}}},
      {"BMP 24 bits",
       BmpFile(2, 24, {}, {1, 2, 3, 4, 5, 6}),
       IconStorage::kBmp,
       24,
       {2, 1, {3, 2, 1, 255, 6, 5, 4, 255}}},
      {"BMP 8 bits",
       BmpFile(2, 8, {0x102030, 0x405060}, {1, 0}),
       IconStorage::kBmp,
       8,
       {2, 1, {0x40, 0x50, 0x60, 255, 0x10, 0x20, 0x30, 255}}},
  };
  for (const auto& c : cases) {
    RgbaImage picture;
    std::string why;
    ASSERT_TRUE(ReadPicture(c.file, picture, why)) << c.name << ": " << why;
    EXPECT_EQ(picture.width, c.pixels.width) << c.name;
    EXPECT_EQ(picture.height, c.pixels.height) << c.name;
    EXPECT_EQ(picture.pixels, c.pixels.pixels) << c.name;
    const DocumentRead read = ReadDocument(c.file);
    ASSERT_TRUE(read.Ok()) << c.name << ": " << read.error;
    ASSERT_EQ(read.document.images.size(), 1u) << c.name;
    EXPECT_EQ(read.document.images[0].storage, c.storage) << c.name;
    EXPECT_EQ(read.document.images[0].bits, c.bits) << c.name;
    EXPECT_EQ(read.document.images[0].pixels.pixels, c.pixels.pixels) << c.name;
  }
}

// Pictures too large for an icon are still pictures; each refusal says why.
TEST(DocumentReader, SaysWhyAFileHoldsNoDocument) {
  const ByteVector widePng = Png({300, 20, Rgba(300 * 20 * 4, 7)});
  const ByteVector wideBmp = BmpFile(300, 24, {}, ByteVector(900, 7));
  RgbaImage picture;
  std::string why;
  EXPECT_TRUE(ReadPicture(widePng, picture, why)) << why;
  EXPECT_EQ(picture.width, 300);
  EXPECT_TRUE(ReadPicture(wideBmp, picture, why)) << why;
  EXPECT_EQ(picture.width, 300);

  ByteVector cutBmp = BmpFile(2, 24, {}, {1, 2, 3, 4, 5, 6});
  cutBmp.resize(cutBmp.size() - 4);
  const struct {
    ByteVector file;
    size_t group;
    std::string error;
  } cases[] = {
      {{}, 0, "the file is empty"},
      {{'h', 'e', 'l', 'l', 'o'}, 0, "not an executable or icon file"},
      {test::MakePeFile({}), 0, "the file holds no icon"},
      {test::MakeIcoFile({test::MakeDibImage(16, 16, 8)}), 1, "no icon 1 (the file holds 1)"},
      {widePng, 0, "the picture is 300 x 20; an icon image is at most 256 x 256"},
      {wideBmp, 0, "the picture is 300 x 1; an icon image is at most 256 x 256"},
      {cutBmp, 0, "the BMP picture is damaged or of a kind that cannot be read"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadDocument(c.file, c.group).error, c.error);
  EXPECT_FALSE(ReadPicture(ByteVector{'h', 'e', 'l', 'l', 'o'}, picture, why));
  EXPECT_EQ(why, "not a PNG or BMP picture");
}

// The writer and the reader agree: what was read, written and read again
// is what was read (the writer's order aside), at every depth and form.
TEST(DocumentReader, ReadsWhatTheWriterWrites) {
  std::vector<ByteVector> images;
  for (const DibCase& c : DibCases()) images.push_back(Dib(c));
  images.push_back(Png(SmallPicture()));
  images.push_back(test::MakeDibImage(256, 256, 32, 3));
  const DocumentRead first = ReadDocument(test::MakeIcoFile(images));
  ASSERT_TRUE(first.Ok()) << first.error;
  std::vector<uint8_t> written;
  std::string why;
  ASSERT_TRUE(WriteIcoFile(first.document, written, why)) << why;
  const DocumentRead second = ReadDocument(written);
  ASSERT_TRUE(second.Ok()) << second.error;
  ASSERT_TRUE(WriteIcoFile(second.document, written, why)) << why;
  const DocumentRead third = ReadDocument(written);
  ASSERT_EQ(third.document.images.size(), images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IconDocumentImage& a = second.document.images[i];
    const IconDocumentImage& b = third.document.images[i];
    EXPECT_EQ(a.storage, b.storage) << "image " << i;
    EXPECT_EQ(a.bits, b.bits) << "image " << i;
    EXPECT_EQ(a.pixels.pixels, b.pixels.pixels) << "image " << i;
  }
}

}  // namespace
}  // namespace glyph::icon
