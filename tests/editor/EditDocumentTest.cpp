#include "editor/EditDocument.h"

#include <gtest/gtest.h>

namespace glyph {
namespace {

constexpr Pixel kGround = 0xC0C0C0;

icon::RgbaImage Flat(int side, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
  icon::RgbaImage image{side, side, {}};
  for (int i = 0; i < side * side; ++i) image.pixels.insert(image.pixels.end(), {r, g, b, a});
  return image;
}

icon::IconDocumentImage Entry(int side, uint8_t shade, int bits = 32) {
  return icon::IconDocumentImage{Flat(side, shade, shade, shade), icon::IconStorage::kBmp, bits};
}

std::vector<int> Sides(const EditDocument& document) {
  std::vector<int> sides;
  for (size_t i = 0; i < document.Count(); ++i) sides.push_back(document.Image(i).pixels.width);
  return sides;
}

TEST(EditDocument, NewIsOneTransparentImageOfTheGround) {
  EditDocument document;
  document.New(kGround);
  ASSERT_EQ(document.Count(), 1u);
  const icon::RgbaImage& image = document.CurrentImage().pixels;
  EXPECT_EQ(image.width, 32);
  EXPECT_EQ(image.pixels, Flat(32, 0xC0, 0xC0, 0xC0, 0).pixels);
}

TEST(EditDocument, OpensSortedAndEditsTheLargestRefusingBadImages) {
  EditDocument document;
  icon::IconDocument file;
  file.images = {Entry(48, 1), Entry(16, 2, 4), Entry(256, 3), Entry(16, 4, 32)};
  ASSERT_TRUE(document.Open(file));
  EXPECT_EQ(Sides(document), (std::vector<int>{16, 16, 48, 256}));
  EXPECT_EQ(document.Image(0).bits, 32);  // more bits first at one size
  EXPECT_EQ(document.Current(), 3u);

  icon::IconDocument bad = file;
  bad.images[1].pixels.pixels.pop_back();
  EXPECT_FALSE(document.Open(bad));
  EXPECT_FALSE(document.Open(icon::IconDocument{}));
  EXPECT_EQ(document.Count(), 4u);
}

TEST(EditDocument, AddsSizesFromTheNearestLargerOrEmpty) {
  EditDocument document;
  icon::IconDocument file;
  file.images = {Entry(64, 10), Entry(32, 20)};
  ASSERT_TRUE(document.Open(file));

  ASSERT_TRUE(document.AddSize(48, false, kGround));  // from the 64: a flat colour stays exact
  EXPECT_EQ(document.CurrentImage().pixels.pixels, Flat(48, 10, 10, 10).pixels);
  ASSERT_TRUE(document.AddSize(20, true, kGround));
  EXPECT_EQ(document.CurrentImage().pixels.pixels, Flat(20, 0xC0, 0xC0, 0xC0, 0).pixels);
  ASSERT_TRUE(document.AddSize(128, false, kGround));  // enlarged from the 64
  EXPECT_EQ(document.CurrentImage().pixels.pixels, Flat(128, 10, 10, 10).pixels);
  EXPECT_EQ(Sides(document), (std::vector<int>{20, 32, 48, 64, 128}));

  ASSERT_TRUE(document.AddSize(32, true, kGround));  // already there: chosen, not replaced
  EXPECT_EQ(document.Current(), 1u);
  EXPECT_EQ(document.CurrentImage().pixels.pixels, Flat(32, 20, 20, 20).pixels);
  EXPECT_FALSE(document.AddSize(0, true, kGround));
  EXPECT_FALSE(document.AddSize(257, false, kGround));
  EXPECT_EQ(document.Count(), 5u);
}

TEST(EditDocument, RemovesAnyImageButTheLast) {
  EditDocument document;
  document.New(kGround);
  ASSERT_TRUE(document.AddSize(16, true, kGround));
  ASSERT_TRUE(document.RemoveCurrent());
  EXPECT_EQ(Sides(document), (std::vector<int>{32}));
  EXPECT_FALSE(document.RemoveCurrent());
}

TEST(EditDocument, MakesEverySizeUpToTheLargestKeepingIt) {
  EditDocument document;
  icon::IconDocument file;
  file.images = {Entry(48, 90, 8), Entry(16, 5), Entry(30, 7)};
  ASSERT_TRUE(document.Open(file));
  ASSERT_TRUE(document.Select(1));  // the 30
  std::string why;
  ASSERT_TRUE(document.MakeAllSizes(why)) << why;
  EXPECT_EQ(Sides(document), (std::vector<int>{16, 20, 24, 30, 32, 40, 48}));
  EXPECT_EQ(document.CurrentImage().pixels.width, 30);
  EXPECT_EQ(document.Image(0).pixels.pixels, Flat(16, 90, 90, 90).pixels);  // the hand-made 16 remade
  EXPECT_EQ(document.Image(6).bits, 8);                                     // the source as it was stored
}

TEST(EditDocument, UndoTakesBackDrawingAndSizeChangesAlike) {
  EditDocument document;
  document.New(kGround);
  document.PushUndo();
  document.SetCurrentPixels(Flat(32, 1, 2, 3));
  document.PushUndo();
  ASSERT_TRUE(document.AddSize(16, false, kGround));
  document.PushUndo();
  ASSERT_TRUE(document.RemoveCurrent());
  EXPECT_EQ(document.UndoCount(), 3);

  ASSERT_TRUE(document.Undo());
  EXPECT_EQ(Sides(document), (std::vector<int>{16, 32}));
  EXPECT_EQ(document.Current(), 0u);
  ASSERT_TRUE(document.Undo());
  EXPECT_EQ(Sides(document), (std::vector<int>{32}));
  EXPECT_EQ(document.CurrentImage().pixels.pixels, Flat(32, 1, 2, 3).pixels);
  ASSERT_TRUE(document.Undo());
  EXPECT_EQ(document.CurrentImage().pixels.pixels[3], 0);
  EXPECT_FALSE(document.Undo());

  ASSERT_TRUE(document.Redo());
  ASSERT_TRUE(document.Redo());
  EXPECT_EQ(Sides(document), (std::vector<int>{16, 32}));
  document.PushUndo();  // a new change forgets the redo side
  EXPECT_EQ(document.RedoCount(), 0);

  for (int i = 0; i < EditDocument::kUndoLevels + 5; ++i) document.PushUndo();
  EXPECT_EQ(document.UndoCount(), EditDocument::kUndoLevels);
}

TEST(EditDocument, PixelsAndRgbaConvertBothWays) {
  Pixel memory[3 * 2] = {0x80102030, 0x00FFFFFF, 0xDEADBEEF, 0xFF000000, 0x7F7F7F7F, 0xDEADBEEF};
  const PixelView view{memory, 2, 2, 3};
  const icon::RgbaImage image = RgbaFromPixels(view);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{0x10, 0x20, 0x30, 0x80, 0xFF, 0xFF, 0xFF, 0x00, 0, 0, 0, 0xFF,
                                                0x7F, 0x7F, 0x7F, 0x7F}));
  Pixel back[3 * 2] = {};
  PixelsFromRgba(image, PixelView{back, 2, 2, 3});
  for (int i : {0, 1, 3, 4}) EXPECT_EQ(back[i], memory[i]);
  EXPECT_EQ(back[2], 0u);  // the padding column is left alone
}

}  // namespace
}  // namespace glyph
