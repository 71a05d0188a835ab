#include "skin/SkinPictureBatch.h"

#include <algorithm>

#include "framework/ComScope.h"
#include "skin/SkinBitmap.h"
#include "skin/StartupTrace.h"

namespace glyph::skin {

PictureBatch::PictureBatch(const SkinContext& context, const std::vector<std::string>& names,
                           const std::vector<std::string>& notHere)
    : context_(context) {
  for (const std::string& name : names) {
    if (name.empty() || std::find(notHere.begin(), notHere.end(), name) != notHere.end()) continue;
    if (std::any_of(items_.begin(), items_.end(), [&name](const Item& i) { return i.name == name; }))
      continue;
    Item item;
    item.name = name;
    PictureArt art = ReadPictureArt(context_, name);
    item.bytes = std::move(art.bytes);
    item.artScale = art.scale;
    items_.push_back(std::move(item));
  }
  if (items_.empty()) return;
  // An item belongs to the helper until it is counted in decoded_.
  helper_ = std::thread([this] {
    ComScope com;
    for (Item& item : items_) {
      if (item.bytes) item.decoded = DecodePictureBytes(*item.bytes);
      StartupMark("decoded aside", item.name.c_str());
      {
        std::lock_guard<std::mutex> lock(mutex_);
        ++decoded_;
      }
      decodedOne_.notify_one();
    }
  });
}

PictureBatch::~PictureBatch() { Join(); }

void PictureBatch::Join() {
  if (helper_.joinable()) helper_.join();
}

void PictureBatch::WaitFor(size_t index) {
  if (!helper_.joinable()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  decodedOne_.wait(lock, [&] { return decoded_ > index; });
}

bool PictureBatch::Take(const std::string& name, UniqueBitmap& dest, SIZE* size) {
  const auto it =
      std::find_if(items_.begin(), items_.end(), [&name](const Item& i) { return i.name == name; });
  if (it == items_.end()) return LoadSkinPicture(context_, name, dest, size);
  WaitFor(static_cast<size_t>(it - items_.begin()));
  if (!it->bytes) return false;
  if (!it->decoded) {
    context_.ShowMessage(nullptr, "err", nullptr);
    return false;
  }
  // A name taken twice gets a copy the second time.
  if (it->taken) return LoadSkinPicture(context_, name, dest, size);
  it->taken = true;
  FitPictureToScale(context_, it->decoded, it->artScale);
  context_.KeepPicture(name, it->decoded.Get());
  dest = std::move(it->decoded);
  if (size) *size = BitmapSize(dest.Get());
  return true;
}

}  // namespace glyph::skin
