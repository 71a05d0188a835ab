// The archive's checksum: a reflected CRC-32 (polynomial 0xEDB88320, start
// 0xFFFFFFFF, final complement) whose table is shifted by one entry against
// the usual one: T[k] is the usual entry for k + 1, so T[0] = 0x77073096 and
// T[255] = 1. Archives in the field carry checksums made with this table,
// so it is kept as it is. The checksum of "abc" is 0x5AFA2A22.
#pragma once

#include <cstddef>
#include <cstdint>

namespace support {

// The table entry T[k].
uint32_t ArchiveChecksumEntry(uint8_t k);

// Continues a running checksum: start with kChecksumStart, feed every piece,
// then complement (FinishChecksum).
constexpr uint32_t kChecksumStart = 0xFFFFFFFFu;
uint32_t UpdateChecksum(uint32_t value, const void* data, size_t size);
inline uint32_t FinishChecksum(uint32_t value) { return ~value; }

uint32_t ArchiveChecksum(const void* data, size_t size);

}  // namespace support
