#include "support/Checksum.h"

#include <array>

namespace support {

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t k = 0; k < 256; ++k) {
    uint32_t v = k + 1;
    for (int step = 0; step < 8; ++step) v = (v & 1) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
    table[k] = v;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

uint32_t ArchiveChecksumEntry(uint8_t k) { return kTable[k]; }

uint32_t UpdateChecksum(uint32_t value, const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) value = kTable[(value ^ p[i]) & 0xFF] ^ (value >> 8);
  return value;
}

uint32_t ArchiveChecksum(const void* data, size_t size) {
  return FinishChecksum(UpdateChecksum(kChecksumStart, data, size));
}

}  // namespace support
