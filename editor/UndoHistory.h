// UndoHistory: the bounded histories of image states behind the canvas's
// undo and redo. A state is a copy of the image's pixel memory. Push saves
// the image before a change; Undo writes the newest saved state back and
// keeps the image it replaces for Redo, which does the reverse. A new
// change (Push) forgets what could be redone. Each side holds at most
// kLevels states and drops its oldest when full. Plain pixel memory, no
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
  // Saves the image as the newest undo state, dropping the oldest when
  // full, and forgets the redo states.
  void Push(const PixelView& image);
  // Writes the newest undo state into the image and keeps the image as it
  // was for Redo; false (the image untouched) when there is none.
  bool Undo(const PixelView& image);
  // The reverse of the last Undo; false (the image untouched) when there
  // is nothing to redo.
  bool Redo(const PixelView& image);
  // One more than the undo states held: 1 means nothing to undo.
  int GetCount() const { return undo_.Held() + 1; }
  int GetRedoCount() const { return redo_.Held(); }

 private:
  // A ring: the oldest state is at first_, held_ states follow it. Buffers
  // are reused when the ring turns, so a long session allocates no more.
  class Stack {
   public:
    void Clear();
    void Push(const PixelView& image);
    // Writes the newest state into the image and forgets it.
    bool Pop(const PixelView& image);
    int Held() const { return held_; }

   private:
    std::array<std::vector<Pixel>, kLevels> states_;
    int first_ = 0;
    int held_ = 0;
  };

  // Moves the newest state of `from` into the image, saving the image on `to`.
  static bool Swap(Stack& from, Stack& to, const PixelView& image);

  Stack undo_;
  Stack redo_;
};

}  // namespace glyph
