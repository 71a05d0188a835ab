#include "browser/ItemIdList.h"

#include <cstdint>
#include <cstring>

namespace glyph::idlist {
namespace {

constexpr size_t kTerminator = 2;

size_t ItemCount(const unsigned char* p) {
  return static_cast<size_t>(p[0]) | (static_cast<size_t>(p[1]) << 8);
}

}  // namespace

size_t Size(const void* list) {
  if (!list) return 0;
  const auto* p = static_cast<const unsigned char*>(list);
  size_t size = 0;
  for (size_t n = ItemCount(p); n != 0; n = ItemCount(p + size)) size += n;
  return size + kTerminator;
}

void* Join(const void* first, const void* second, Allocator alloc) {
  const size_t firstSize = first ? Size(first) - kTerminator : 0;
  const size_t secondSize = second ? Size(second) : kTerminator;
  auto* out = static_cast<unsigned char*>(alloc(firstSize + secondSize));
  if (!out) return nullptr;
  std::memset(out, 0, firstSize + secondSize);
  if (firstSize) std::memcpy(out, first, firstSize);
  if (second) std::memcpy(out + firstSize, second, secondSize);
  return out;
}

void* CopyFirst(const void* list, Allocator alloc) {
  if (!list) return nullptr;
  const size_t count = ItemCount(static_cast<const unsigned char*>(list));
  auto* out = static_cast<unsigned char*>(alloc(count + kTerminator));
  if (!out) return nullptr;
  std::memcpy(out, list, count);
  out[count] = out[count + 1] = 0;
  return out;
}

}  // namespace glyph::idlist
