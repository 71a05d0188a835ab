// The platform-neutral file operations of FileAccess.h.
#include <cstdlib>

#include "support/FileAccess.h"

namespace support::file_access {

char* ReadRegularFile(const char* name, std::uint64_t limit, std::size_t* sizeOut) {
  // Asked before opening: a folder opens on Linux and its length reads as
  // 2^63, a device never ends, and opening a pipe waits for a writer.
  const std::int64_t length = name ? RegularFileSize(name) : -1;
  if (length < 0 || static_cast<std::uint64_t>(length) > limit) return nullptr;
  std::FILE* f = std::fopen(name, "rb");
  if (!f) return nullptr;
  auto* data = static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1));
  if (data) {
    const std::size_t got = std::fread(data, 1, static_cast<std::size_t>(length), f);
    data[got] = '\0';
    if (sizeOut) *sizeOut = got;
  }
  std::fclose(f);
  return data;
}

}  // namespace support::file_access
