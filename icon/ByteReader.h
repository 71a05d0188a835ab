// Random access to the bytes of a file or of a buffer, for readers that
// take only the parts they need (headers, tables, one image) instead of
// the whole file.
//
// A read delivers every byte asked for or fails; it never faults. A failed
// read (a file that vanished, a device that went away, a range past the
// end) is an answer the caller turns into a refused file. Portable code.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

namespace glyph::icon {

class ByteReader {
 public:
  virtual ~ByteReader() = default;
  // The size the content had when it was opened.
  virtual uint64_t Size() const = 0;
  // Fills `out` with the bytes at `offset`; false when any of them cannot
  // be read. `out` may hold anything after a failure.
  virtual bool Read(uint64_t offset, std::span<uint8_t> out) = 0;
  // The whole content, when it lies in memory already (callers then read
  // it directly); empty otherwise.
  virtual std::span<const uint8_t> Memory() const { return {}; }
};

// A buffer the caller keeps alive while the reader is used.
class MemoryReader final : public ByteReader {
 public:
  explicit MemoryReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, std::span<uint8_t> out) override {
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return true;
  }
  std::span<const uint8_t> Memory() const override { return bytes_; }

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace glyph::icon
