// The history's ring: the newest states come back newest first, the
// oldest are dropped once it is full, however often it has turned.
#include "editor/UndoHistory.h"

#include <gtest/gtest.h>

#include <vector>

namespace glyph {
namespace {

constexpr int kWidth = 3, kHeight = 2, kStride = 4;

struct Image {
  std::vector<Pixel> pixels = std::vector<Pixel>(kStride * kHeight);
  PixelView View() { return PixelView{pixels.data(), kWidth, kHeight, kStride}; }
  void Fill(Pixel value) { pixels.assign(pixels.size(), value); }
};

TEST(UndoHistoryTest, KeepsTheNewestStatesAcrossTurnsOfTheRing) {
  struct Case {
    int pushes;
    int kept;
  } cases[] = {{0, 0},
               {1, 1},
               {UndoHistory::kLevels, UndoHistory::kLevels},
               {UndoHistory::kLevels * 2 + 37, UndoHistory::kLevels}};
  for (const Case& c : cases) {
    UndoHistory history;
    Image image;
    for (int i = 0; i < c.pushes; ++i) {
      image.Fill(static_cast<Pixel>(i));
      history.Push(image.View());
    }
    EXPECT_EQ(history.GetCount(), c.kept + 1) << c.pushes;
    image.Fill(0xABCDEF);
    for (int i = 1; i <= c.kept; ++i) {
      ASSERT_TRUE(history.Undo(image.View())) << c.pushes;
      EXPECT_EQ(image.pixels, std::vector<Pixel>(kStride * kHeight, static_cast<Pixel>(c.pushes - i)))
          << c.pushes << " undo " << i;
    }
    image.Fill(0xABCDEF);
    EXPECT_FALSE(history.Undo(image.View())) << c.pushes;
    EXPECT_EQ(image.pixels[0], 0xABCDEFu);
    EXPECT_EQ(history.GetCount(), 1);
  }
}

TEST(UndoHistoryTest, ClearForgetsAndNoImageIsNoState) {
  UndoHistory history;
  Image image;
  history.Push(image.View());
  history.Push(PixelView{});
  EXPECT_EQ(history.GetCount(), 2);
  history.Clear();
  EXPECT_EQ(history.GetCount(), 1);
  EXPECT_FALSE(history.Undo(image.View()));
}

}  // namespace
}  // namespace glyph
