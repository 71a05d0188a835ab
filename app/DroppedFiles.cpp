#include "app/DroppedFiles.h"

namespace glyph {
namespace {

// DragQueryFileW's index that asks for the number of files.
constexpr UINT kFileCount = 0xFFFFFFFF;

}  // namespace

std::vector<std::wstring> TakeDroppedFiles(HDROP drop) {
  const UniqueDrop owned(drop);
  std::vector<std::wstring> paths;
  if (!owned) return paths;
  const UINT count = ::DragQueryFileW(drop, kFileCount, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // The length without its NUL; the buffer takes the NUL too.
    const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
    if (!length) continue;
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), length + 1));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

}  // namespace glyph
