// EditDocument: the icon the editor works on, every size of it, with the
// undo history of the whole document. Portable: no platform, tested
// natively.
//
// A document is a list of images (straight RGBA, each with how it is
// stored in an icon file) kept in ascending order of size, and the index of
// the one being edited. The canvas edits a copy of the current image; it
// hands its pixels back with SetCurrentPixels before anything reads the
// document (a size change, a save, an undo state).
//
// The history holds states of the whole document, so undo takes back size
// changes as well as drawing. States share the images they have in common:
// a drawing step costs a copy of one image, a size change none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Pixels.h"
#include "icon/IconDocument.h"

namespace glyph {

// The canvas's pixels (0xAARRGGBB, straight alpha) and the document's
// RGBA bytes, one to the other. The view's visible pixels only.
icon::RgbaImage RgbaFromPixels(const PixelView& view);
// Writes the image into the view; the view must be at least its size.
void PixelsFromRgba(const icon::RgbaImage& image, const PixelView& view);
// Every transparent (alpha 0) pixel takes the colour `ground` (0x00RRGGBB),
// as the mask-only formats and the transparent colour well read it.
void GroundTransparent(icon::RgbaImage& image, Pixel ground);

class EditDocument {
 public:
  // The side of a new document's one image.
  static constexpr int kNewSide = 32;
  // States each side of the history holds; the oldest goes first.
  static constexpr int kUndoLevels = 100;

  EditDocument();

  // A new document: one kNewSide square image, every pixel transparent
  // with the colour `ground` (a pixel value, 0x00RRGGBB). The history is
  // forgotten.
  void New(Pixel ground);
  // Takes the images of `document` (at least one, each 1 to 256 a side;
  // false and nothing changed otherwise) and edits the largest. The
  // history stays: a caller that pushed a state first can undo the open.
  bool Open(icon::IconDocument document);

  size_t Count() const { return images_.size(); }
  size_t Current() const { return current_; }
  const icon::IconDocumentImage& Image(size_t index) const { return *images_[index]; }
  const icon::IconDocumentImage& CurrentImage() const { return *images_[current_]; }
  // The document as an icon file stores it.
  icon::IconDocument Document() const;

  // Makes another image current; false for an index out of range.
  bool Select(size_t index);
  // The current image takes these pixels (same size as it has).
  void SetCurrentPixels(icon::RgbaImage pixels);
  // How image `index` is stored in an icon file from now on (no undo
  // state: the pixels stay as they are).
  void SetStorage(size_t index, icon::IconStorage storage, int bits);

  // Adds a side x side image and makes it current: resampled from the
  // nearest larger image (or enlarged from the largest, pixel for pixel,
  // when none is larger), or every pixel transparent with `ground` when
  // `empty`. An existing square side only becomes current. False (nothing
  // changed) for a side out of 1..256.
  bool AddSize(int side, bool empty, Pixel ground);
  // Removes the current image (never the last one); the next smaller
  // becomes current.
  bool RemoveCurrent();
  // Remakes every size from the largest square image: the standard sizes
  // and the square sizes the document has, up to the largest's own. False with `why` when resampling fails.
  bool MakeAllSizes(std::string& why);
  // The index of the square image of that side, or Count().
  size_t Find(int side) const;

  // History. PushUndo saves the document as it is now and forgets what
  // could be redone; Undo and Redo swap the document with the newest state
  // of one side, keeping the one they replace on the other.
  void PushUndo();
  bool Undo();
  bool Redo();
  int UndoCount() const { return static_cast<int>(undo_.size()); }
  int RedoCount() const { return static_cast<int>(redo_.size()); }

 private:
  using ImagePtr = std::shared_ptr<const icon::IconDocumentImage>;
  struct State {
    std::vector<ImagePtr> images;
    size_t current = 0;
  };
  State Snapshot() const { return State{images_, current_}; }
  void Restore(State state);
  void Insert(icon::IconDocumentImage image);
  static void Keep(std::vector<State>& side, State state);

  std::vector<ImagePtr> images_;
  size_t current_ = 0;
  std::vector<State> undo_;
  std::vector<State> redo_;
};

}  // namespace glyph
