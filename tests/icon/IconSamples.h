// Small, well-formed icon sources built in memory: icon images (DIB and
// PNG), icon files, and PE and NE files carrying group-icon resources.
// Tests damage them at the offsets named here.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "icon/ByteReader.h"

namespace glyph::test {

using ByteVector = std::vector<uint8_t>;

// An icon image as icon files hold it: info header (height doubled),
// palette, colour rows, mask rows. Pixels follow a pattern from `seed`;
// the left half of the mask is transparent (and, at 32 bits, has alpha 0
// where the right half has 255).
ByteVector MakeDibImage(int width, int height, int bits, uint32_t seed = 0);
// The same image without its mask plane, as some writers store 32-bit
// images.
ByteVector WithoutMaskPlane(ByteVector dib);
// A PNG image (stored, uncompressed deflate): decodable by any reader.
ByteVector MakePngImage(int width, int height, uint32_t seed = 0);

// An icon file of the given images, directory entries filled from them.
ByteVector MakeIcoFile(const std::vector<ByteVector>& images);

struct SampleGroup {
  std::string name;  // named when not empty
  uint16_t id = 0;
  std::vector<ByteVector> images;
};

// A PE file (one ".rsrc" section) whose group-icon resources are `groups`
// in this order; icon resources are numbered from 1 in image order.
ByteVector MakePeFile(const std::vector<SampleGroup>& groups, bool pe32plus = true);
// Layout of MakePeFile's output.
constexpr size_t kPeHeaderAt = 0x40;
constexpr size_t kPeSectionTableAt(bool pe32plus) { return kPeHeaderAt + 24 + (pe32plus ? 240 : 224); }
constexpr size_t kPeResourceAt = 0x200;  // the resource tree's root in the file
constexpr uint32_t kPeResourceRva = 0x1000;

// A 16-bit NE file with the same resources.
ByteVector MakeNeFile(const std::vector<SampleGroup>& groups);
constexpr size_t kNeHeaderAt = 0x80;

// Reads a buffer as a file is read, a piece at a time (it does not offer
// the buffer as memory), counting what it delivers; every read fails once
// `budget` bytes have been delivered, as when a file vanishes mid-read.
class FlakyReader final : public icon::ByteReader {
 public:
  explicit FlakyReader(ByteVector bytes, uint64_t budget = std::numeric_limits<uint64_t>::max())
      : bytes_(std::move(bytes)), budget_(budget) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, std::span<uint8_t> out) override;
  uint64_t Delivered() const { return delivered_; }

 private:
  ByteVector bytes_;
  uint64_t budget_, delivered_ = 0;
};

}  // namespace glyph::test
