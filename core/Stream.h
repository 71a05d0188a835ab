// Byte streams for the image and export code: a file or a memory block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace glyph {

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Returns the number of bytes read; fewer than asked means the end or an error.
  virtual size_t Read(void* data, size_t size) = 0;
  // Returns the number of bytes written.
  virtual size_t Write(const void* data, size_t size) = 0;
};

// Reads from a byte range; writes append to an owned buffer.
class MemoryStream final : public ByteStream {
 public:
  MemoryStream() = default;
  MemoryStream(const void* data, size_t size)
      : bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}
  size_t Read(void* data, size_t size) override;
  size_t Write(const void* data, size_t size) override;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  size_t pos_ = 0;
};

// A C stdio file opened in binary mode; closed by the destructor.
class FileStream final : public ByteStream {
 public:
  enum class Mode { kRead, kWrite };
  FileStream(const char* path, Mode mode);
#ifdef _WIN32
  FileStream(const wchar_t* path, Mode mode);
#endif
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  bool IsOpen() const { return file_ != nullptr; }
  size_t Read(void* data, size_t size) override;
  size_t Write(const void* data, size_t size) override;
  // Flushes and closes; false when anything written did not reach the file.
  bool Close();

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace glyph
