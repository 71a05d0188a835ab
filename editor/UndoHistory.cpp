#include "editor/UndoHistory.h"

#include <algorithm>
#include <cstring>

namespace glyph {

void UndoHistory::Stack::Clear() {
  for (auto& state : states_) state.clear();
  first_ = held_ = 0;
}

void UndoHistory::Stack::Push(const PixelView& image) {
  if (held_ == kLevels) {
    first_ = (first_ + 1) % kLevels;
    --held_;
  }
  std::vector<Pixel>& state = states_[(first_ + held_) % kLevels];
  state.assign(image.bits, image.bits + image.Count());
  ++held_;
}

bool UndoHistory::Stack::Pop(const PixelView& image) {
  if (held_ == 0) return false;
  --held_;
  const std::vector<Pixel>& state = states_[(first_ + held_) % kLevels];
  // A state never writes past the image it is given, whatever it was
  // taken from.
  const size_t count = std::min(state.size(), static_cast<size_t>(std::max(0, image.Count())));
  std::memcpy(image.bits, state.data(), count * sizeof(Pixel));
  return true;
}

void UndoHistory::Clear() {
  undo_.Clear();
  redo_.Clear();
}

void UndoHistory::Push(const PixelView& image) {
  if (!image.bits || image.Count() <= 0) return;
  undo_.Push(image);
  redo_.Clear();
}

bool UndoHistory::Swap(Stack& from, Stack& to, const PixelView& image) {
  if (from.Held() == 0 || !image.bits || image.Count() <= 0) return false;
  to.Push(image);
  return from.Pop(image);
}

bool UndoHistory::Undo(const PixelView& image) { return Swap(undo_, redo_, image); }

bool UndoHistory::Redo(const PixelView& image) { return Swap(redo_, undo_, image); }

}  // namespace glyph
