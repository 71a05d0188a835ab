// The history's rings: the newest states come back newest first, the
// oldest are dropped once full, however often they have turned; redo walks
// back what undo took until a new change.
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

// Each step of a session: an edit (push, then the image takes `value`),
// an undo or a redo; then what the image shows and what is held.
TEST(UndoHistoryTest, RedoReturnsWhatUndoTookUntilTheNextChange) {
  enum Op { kEdit, kUndo, kRedo };
  struct Step {
    Op op;
    Pixel value;  // the edit's new value, or the image expected after
    bool acted;
    int undo, redo;  // GetCount() and GetRedoCount()
  } steps[] = {
      {kRedo, 0, false, 1, 0}, {kEdit, 1, true, 2, 0},  {kEdit, 2, true, 3, 0}, {kUndo, 1, true, 2, 1},
      {kUndo, 0, true, 1, 2},  {kUndo, 0, false, 1, 2}, {kRedo, 1, true, 2, 1}, {kRedo, 2, true, 3, 0},
      {kRedo, 2, false, 3, 0}, {kUndo, 1, true, 2, 1},  {kEdit, 7, true, 3, 0}, {kRedo, 7, false, 3, 0},
      {kUndo, 1, true, 2, 1},
  };
  UndoHistory history;
  Image image;
  image.Fill(0);
  int n = 0;
  for (const Step& s : steps) {
    ++n;
    bool acted = true;
    if (s.op == kEdit) {
      history.Push(image.View());
      image.Fill(s.value);
    } else {
      acted = s.op == kUndo ? history.Undo(image.View()) : history.Redo(image.View());
    }
    EXPECT_EQ(acted, s.acted) << "step " << n;
    EXPECT_EQ(image.pixels[0], s.value) << "step " << n;
    EXPECT_EQ(history.GetCount(), s.undo) << "step " << n;
    EXPECT_EQ(history.GetRedoCount(), s.redo) << "step " << n;
  }
}

TEST(UndoHistoryTest, RedoIsBoundedLikeUndo) {
  UndoHistory history;
  Image image;
  const int edits = UndoHistory::kLevels + 20;
  for (int i = 0; i < edits; ++i) {
    history.Push(image.View());
    image.Fill(static_cast<Pixel>(i + 1));
  }
  while (history.Undo(image.View())) {
  }
  EXPECT_EQ(image.pixels[0], static_cast<Pixel>(edits - UndoHistory::kLevels));
  EXPECT_EQ(history.GetRedoCount(), UndoHistory::kLevels);
  while (history.Redo(image.View())) {
  }
  EXPECT_EQ(image.pixels[0], static_cast<Pixel>(edits));
  EXPECT_EQ(history.GetCount(), UndoHistory::kLevels + 1);
}

}  // namespace
}  // namespace glyph
