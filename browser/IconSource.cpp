#include "browser/IconSource.h"

#include <climits>

#include "browser/IconExtract.h"

namespace glyph {
namespace {

// Our own reader of icon, PE and NE files (IconExtract.h): every offset is
// checked against the file, so hostile files count 0 instead of crashing.
class FileIconSource : public IconSource {
  static int Clamped(size_t n) { return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n); }

 public:
  int Count(const std::wstring& path) override { return Clamped(CountFileIcons(path)); }
  int CountListed(const std::wstring& path, uint64_t size) override {
    return Clamped(CountFileIcons(path, size));
  }
  // Each count reads its file with a reader of its own.
  bool ConcurrentCounts() const override { return true; }
  UniqueIcon Extract(const std::wstring& path, int index) override {
    if (index < 0) return {};
    return LoadFileIcon(path, static_cast<size_t>(index));
  }
  std::vector<UniqueIcon> ExtractAll(const std::wstring& path) override {
    std::vector<UniqueIcon> out;
    IconFile file;
    if (!file.Open(path)) return out;
    for (size_t i = 0; i < file.Count(); ++i) out.push_back(file.Icon(i));
    return out;
  }
};

}  // namespace

IconSource& DefaultIconSource() {
  static FileIconSource source;
  return source;
}

}  // namespace glyph
