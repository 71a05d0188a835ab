// UndoHistory: the bounded history of image states behind the canvas's
// undo. A state is a copy of the image's pixel memory, taken before a
// change; an undo writes the newest one back and forgets it. When the
// history is full the oldest state is dropped. Plain pixel memory, no
// platform: the history builds and is tested natively.
#pragma once

#include <array>
#include <vector>

#include "core/Pixels.h"

namespace glyph {

class UndoHistory {
 public:
  static constexpr int kLevels = 100;

  // Forgets every state held (the image they belonged to has gone).
  void Clear();
  // Saves the image as the newest state, dropping the oldest when full.
  void Push(const PixelView& image);
  // Writes the newest state into the image and forgets it; false (the
  // image untouched) when there is none.
  bool Undo(const PixelView& image);
  // One more than the states held: 1 means nothing to undo.
  int GetCount() const { return held_ + 1; }

 private:
  // A ring: the oldest state is at first_, held_ states follow it. Buffers
  // are reused when the ring turns, so a long session allocates no more.
  std::array<std::vector<Pixel>, kLevels> states_;
  int first_ = 0;
  int held_ = 0;
};

}  // namespace glyph
