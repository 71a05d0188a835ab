#include "core/Stream.h"

#include <algorithm>
#include <cstring>

namespace glyph {

size_t MemoryStream::Read(void* data, size_t size) {
  const size_t n = std::min(size, bytes_.size() - pos_);
  if (n) std::memcpy(data, bytes_.data() + pos_, n);
  pos_ += n;
  return n;
}

size_t MemoryStream::Write(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + size);
  return size;
}

FileStream::FileStream(const char* path, Mode mode)
    : file_(std::fopen(path, mode == Mode::kRead ? "rb" : "wb")) {}

#ifdef _WIN32
FileStream::FileStream(const wchar_t* path, Mode mode)
    : file_(::_wfopen(path, mode == Mode::kRead ? L"rb" : L"wb")) {}
#endif

FileStream::~FileStream() { Close(); }

size_t FileStream::Read(void* data, size_t size) { return file_ ? std::fread(data, 1, size, file_) : 0; }

size_t FileStream::Write(const void* data, size_t size) {
  return file_ ? std::fwrite(data, 1, size, file_) : 0;
}

bool FileStream::Close() {
  if (!file_) return true;
  const bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok && closed;
}

}  // namespace glyph
