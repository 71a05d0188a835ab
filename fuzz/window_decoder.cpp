// The archive's window method: any bytes decode without leaving their
// arrays, and any bytes packed then unpacked come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "support/WindowCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first two bytes choose the destination's size, the rest is a stream.
  if (size >= 2) {
    const size_t capacity = (static_cast<size_t>(data[0]) << 8 | data[1]) * 4;
    std::vector<uint8_t> out(capacity);
    size_t produced = 0;
    support::WindowDecompress(data + 2, size - 2, out.data(), out.size(), &produced, nullptr);
    if (produced > capacity) std::abort();
  }
  const std::vector<uint8_t> packed = support::WindowCompress(data, size, nullptr);
  std::vector<uint8_t> back(size);
  size_t produced = 0;
  if (support::WindowDecompress(packed.data(), packed.size(), back.data(), back.size(), &produced, nullptr) !=
          support::WindowResult::kOk ||
      produced != size || (size && std::memcmp(back.data(), data, size) != 0)) {
    std::abort();
  }
  return 0;
}
