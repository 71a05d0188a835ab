// PictureBatch: skin pictures decoded on a helper thread while the window
// goes on loading. The bytes are read at once on the calling thread (the
// archive serves one reader); the decoding runs beside it, in the order of
// the names; Take waits for that picture only and hands it out as
// LoadSkinPicture would have, reporting an undecodable one through the
// context's prompt on the calling thread. A name the batch does not hold
// is simply loaded by Take itself.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/Handles.h"
#include "skin/SkinContext.h"

namespace glyph::skin {

class PictureBatch {
 public:
  // Starts decoding `names` (empty ones and repeats skipped), except those
  // in `notHere`, which the caller loads on its own thread.
  PictureBatch(const SkinContext& context, const std::vector<std::string>& names,
               const std::vector<std::string>& notHere);
  ~PictureBatch();
  PictureBatch(const PictureBatch&) = delete;
  PictureBatch& operator=(const PictureBatch&) = delete;

  // As LoadSkinPicture(context, name, dest, size).
  bool Take(const std::string& name, UniqueBitmap& dest, SIZE* size);

 private:
  struct Item {
    std::string name;
    std::optional<std::string> bytes;
    int artScale = 100;
    UniqueBitmap decoded;
    bool taken = false;
  };
  void Join();
  // Waits until the helper is done with the item at index.
  void WaitFor(size_t index);

  const SkinContext& context_;
  std::vector<Item> items_;
  std::mutex mutex_;
  std::condition_variable decodedOne_;
  size_t decoded_ = 0;  // items the helper is done with, from the first
  std::thread helper_;
};

}  // namespace glyph::skin
