#include "editor/UndoHistory.h"

#include <algorithm>
#include <cstring>

namespace glyph {

void UndoHistory::Clear() {
  for (auto& state : states_) state.clear();
  first_ = held_ = 0;
}

void UndoHistory::Push(const PixelView& image) {
  if (!image.bits || image.Count() <= 0) return;
  if (held_ == kLevels) {
    first_ = (first_ + 1) % kLevels;
    --held_;
  }
  std::vector<Pixel>& state = states_[(first_ + held_) % kLevels];
  state.assign(image.bits, image.bits + image.Count());
  ++held_;
}

bool UndoHistory::Undo(const PixelView& image) {
  if (held_ == 0 || !image.bits) return false;
  --held_;
  const std::vector<Pixel>& state = states_[(first_ + held_) % kLevels];
  // A state never writes past the image it is given, whatever it was
  // taken from.
  const size_t count = std::min(state.size(), static_cast<size_t>(std::max(0, image.Count())));
  std::memcpy(image.bits, state.data(), count * sizeof(Pixel));
  return true;
}

}  // namespace glyph
