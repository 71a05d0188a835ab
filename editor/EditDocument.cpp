#include "editor/EditDocument.h"

#include <algorithm>
#include <set>

#include "icon/MakeIcon.h"
#include "icon/Resample.h"

namespace glyph {
namespace {

int Side(const icon::IconDocumentImage& image) { return std::max(image.pixels.width, image.pixels.height); }
bool Square(const icon::IconDocumentImage& image) { return image.pixels.width == image.pixels.height; }

// Ascending by side; at one side, square before not, more bits first.
bool Before(const icon::IconDocumentImage& a, const icon::IconDocumentImage& b) {
  if (Side(a) != Side(b)) return Side(a) < Side(b);
  if (Square(a) != Square(b)) return Square(a);
  return a.bits > b.bits;
}

bool Valid(const icon::IconDocumentImage& image) {
  const icon::RgbaImage& p = image.pixels;
  return p.width >= 1 && p.height >= 1 && p.width <= icon::kMaxIconSide && p.height <= icon::kMaxIconSide &&
         p.pixels.size() == static_cast<size_t>(p.width) * p.height * 4;
}

// How an image made in the editor is stored: as the icon maker stores it.
icon::IconDocumentImage MadeImage(icon::RgbaImage pixels) {
  icon::IconDocumentImage image;
  const icon::MakeOptions defaults;
  image.storage = std::max(pixels.width, pixels.height) >= defaults.pngFrom ? icon::IconStorage::kPng
                                                                            : icon::IconStorage::kBmp;
  image.bits = defaults.bits;
  image.pixels = std::move(pixels);
  return image;
}

icon::RgbaImage Ground(int width, int height, Pixel ground) {
  icon::RgbaImage image{width, height, {}};
  image.pixels.resize(static_cast<size_t>(width) * height * 4);
  GroundTransparent(image, ground);
  return image;
}

}  // namespace

icon::RgbaImage RgbaFromPixels(const PixelView& view) {
  icon::RgbaImage image{view.width, view.height, {}};
  image.pixels.resize(static_cast<size_t>(view.width) * view.height * 4);
  uint8_t* out = image.pixels.data();
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x, out += 4) {
      const Pixel p = view.At(x, y);
      out[0] = static_cast<uint8_t>(p >> 16);
      out[1] = static_cast<uint8_t>(p >> 8);
      out[2] = static_cast<uint8_t>(p);
      out[3] = static_cast<uint8_t>(p >> 24);
    }
  }
  return image;
}

void GroundTransparent(icon::RgbaImage& image, Pixel ground) {
  std::vector<uint8_t>& bytes = image.pixels;
  for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
    if (bytes[i + 3] != 0) continue;
    bytes[i] = static_cast<uint8_t>(ground >> 16);
    bytes[i + 1] = static_cast<uint8_t>(ground >> 8);
    bytes[i + 2] = static_cast<uint8_t>(ground);
  }
}

void PixelsFromRgba(const icon::RgbaImage& image, const PixelView& view) {
  const uint8_t* in = image.pixels.data();
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x, in += 4) {
      view.At(x, y) = static_cast<Pixel>(in[3]) << 24 | static_cast<Pixel>(in[0]) << 16 |
                      static_cast<Pixel>(in[1]) << 8 | in[2];
    }
  }
}

EditDocument::EditDocument() { New(0); }

void EditDocument::New(Pixel ground) {
  images_.clear();
  images_.push_back(
      std::make_shared<const icon::IconDocumentImage>(MadeImage(Ground(kNewSide, kNewSide, ground))));
  current_ = 0;
  undo_.clear();
  redo_.clear();
}

bool EditDocument::Open(icon::IconDocument document) {
  if (document.images.empty()) return false;
  for (const icon::IconDocumentImage& image : document.images)
    if (!Valid(image)) return false;
  std::stable_sort(document.images.begin(), document.images.end(), Before);
  images_.clear();
  for (icon::IconDocumentImage& image : document.images)
    images_.push_back(std::make_shared<const icon::IconDocumentImage>(std::move(image)));
  // The first image of the largest side: by the order, a square one with
  // the most bits when there is one.
  current_ = 0;
  while (Side(*images_[current_]) != Side(*images_.back())) ++current_;
  return true;
}

icon::IconDocument EditDocument::Document() const {
  icon::IconDocument document;
  for (const ImagePtr& image : images_) document.images.push_back(*image);
  return document;
}

bool EditDocument::Select(size_t index) {
  if (index >= images_.size()) return false;
  current_ = index;
  return true;
}

void EditDocument::SetCurrentPixels(icon::RgbaImage pixels) {
  auto image = std::make_shared<icon::IconDocumentImage>(*images_[current_]);
  image->pixels = std::move(pixels);
  images_[current_] = std::move(image);
}

void EditDocument::SetStorage(size_t index, icon::IconStorage storage, int bits) {
  if (index >= images_.size()) return;
  auto image = std::make_shared<icon::IconDocumentImage>(*images_[index]);
  image->storage = storage;
  image->bits = bits;
  images_[index] = std::move(image);
}

size_t EditDocument::Find(int side) const {
  for (size_t i = 0; i < images_.size(); ++i)
    if (Square(*images_[i]) && images_[i]->pixels.width == side) return i;
  return images_.size();
}

void EditDocument::Insert(icon::IconDocumentImage image) {
  auto made = std::make_shared<const icon::IconDocumentImage>(std::move(image));
  const auto at = std::upper_bound(images_.begin(), images_.end(), made,
                                   [](const ImagePtr& a, const ImagePtr& b) { return Before(*a, *b); });
  const auto inserted = images_.insert(at, std::move(made));
  current_ = static_cast<size_t>(inserted - images_.begin());
}

bool EditDocument::AddSize(int side, bool empty, Pixel ground) {
  if (side < 1 || side > icon::kMaxIconSide) return false;
  if (const size_t existing = Find(side); existing < images_.size()) {
    current_ = existing;
    return true;
  }
  if (empty) {
    Insert(MadeImage(Ground(side, side, ground)));
    return true;
  }
  // The nearest larger image gives the most detail for the least blur;
  // without one the largest is enlarged, which only blocky pixels keep sharp.
  const icon::IconDocumentImage* source = images_.back().get();
  for (const ImagePtr& image : images_) {
    if (Side(*image) > side) {
      source = image.get();
      break;
    }
  }
  const icon::ResampleMode mode =
      Side(*source) > side ? icon::ResampleMode::kQuality : icon::ResampleMode::kSharp;
  std::optional<icon::RgbaImage> made = icon::Resample(source->pixels, side, side, mode);
  if (!made) return false;
  Insert(MadeImage(std::move(*made)));
  return true;
}

bool EditDocument::RemoveCurrent() {
  if (images_.size() <= 1) return false;
  images_.erase(images_.begin() + static_cast<std::ptrdiff_t>(current_));
  if (current_ > 0) --current_;
  return true;
}

bool EditDocument::MakeAllSizes(std::string& why) {
  std::set<int> sides(icon::kStandardIconSizes.begin(), icon::kStandardIconSizes.end());
  std::vector<ImagePtr> kept;
  size_t largest = 0;
  for (size_t i = 0; i < images_.size(); ++i) {
    const icon::IconDocumentImage& image = *images_[i];
    if (!Square(image)) {
      kept.push_back(images_[i]);
      continue;
    }
    sides.insert(image.pixels.width);
    if (!Square(*images_[largest]) || Side(image) > Side(*images_[largest]) ||
        (Side(image) == Side(*images_[largest]) && image.bits > images_[largest]->bits))
      largest = i;
  }
  // Held: the list it lives in is replaced below.
  const ImagePtr held = images_[largest];
  const icon::IconDocumentImage& source = *held;
  icon::MakeOptions options;
  // Enlarging only blurs: the sizes made are those up to the largest.
  options.sizes.clear();
  for (int side : sides)
    if (side <= Side(source)) options.sizes.push_back(side);
  icon::IconDocument made;
  if (!icon::MakeDocument({source.pixels}, options, made, why)) return false;
  const int currentSide = Side(*images_[current_]);
  images_ = std::move(kept);
  for (icon::IconDocumentImage& image : made.images) {
    // The source stays as it was stored; the sizes made from it are new.
    if (image.pixels.width == source.pixels.width && Square(source)) image = source;
    images_.push_back(std::make_shared<const icon::IconDocumentImage>(std::move(image)));
  }
  std::stable_sort(images_.begin(), images_.end(),
                   [](const ImagePtr& a, const ImagePtr& b) { return Before(*a, *b); });
  current_ = Find(currentSide);
  if (current_ >= images_.size()) current_ = images_.size() - 1;
  return true;
}

void EditDocument::Keep(std::vector<State>& side, State state) {
  if (side.size() >= static_cast<size_t>(kUndoLevels)) side.erase(side.begin());
  side.push_back(std::move(state));
}

void EditDocument::Restore(State state) {
  images_ = std::move(state.images);
  current_ = state.current;
}

void EditDocument::PushUndo() {
  Keep(undo_, Snapshot());
  redo_.clear();
}

bool EditDocument::Undo() {
  if (undo_.empty()) return false;
  Keep(redo_, Snapshot());
  Restore(std::move(undo_.back()));
  undo_.pop_back();
  return true;
}

bool EditDocument::Redo() {
  if (redo_.empty()) return false;
  Keep(undo_, Snapshot());
  Restore(std::move(redo_.back()));
  redo_.pop_back();
  return true;
}

}  // namespace glyph
