// Where the icon browser gets icon counts and icons from. The scan counts
// on its worker thread, so Count must be safe to call from any thread.
// Files the user points at are read by our own code, never handed to the
// platform's icon extraction (which brings the process down on files whose
// headers lie).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Handles.h"

namespace glyph {

class IconSource {
 public:
  virtual ~IconSource() = default;
  // Number of icons in the file; 0 when it has none or cannot be read.
  virtual int Count(const std::wstring& path) = 0;
  // The same for a file a folder listing just gave with its size: the
  // size need not be asked for again.
  virtual int CountListed(const std::wstring& path, uint64_t size) {
    (void)size;
    return Count(path);
  }
  // True when Count may run on two threads at once.
  virtual bool ConcurrentCounts() const { return false; }
  // Icon `index` of the file (system icon size); empty when there is none.
  virtual UniqueIcon Extract(const std::wstring& path, int index) = 0;
  // Every icon of the file, in order; a file is read once rather than once
  // per icon. An icon that cannot be made is an empty entry.
  virtual std::vector<UniqueIcon> ExtractAll(const std::wstring& path) {
    std::vector<UniqueIcon> out;
    const int count = Count(path);
    for (int i = 0; i < count; ++i) out.push_back(Extract(path, i));
    return out;
  }
};

// The program's own icon reader (browser/IconExtract.h).
IconSource& DefaultIconSource();

}  // namespace glyph
