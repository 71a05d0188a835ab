// Version-5 archives written byte by byte, so that a test can give the
// directory or an entry a value the library itself never writes (a list
// length or an entry size that understates what its stream unpacks to).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/Archive.h"
#include "support/Checksum.h"
#include "support/compress.h"

namespace support::test {

struct CraftedEntry {
  std::string name;
  std::string content;
  bool blockSorted;       // else stored plain
  int32_t sizeError = 0;  // added to the true size in the entry's record
};

inline void PutLe32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

inline std::string Packed(const std::string& bytes) {
  const std::vector<uint8_t> stream = compressBuffer(bytes.data(), bytes.size());
  return std::string(stream.begin(), stream.end());
}

// "host" bytes, the entries' data, "ix50", the list length (plus
// `lengthError`), the count, the packed list, the trailer.
inline std::string CraftedVersion5(const std::vector<CraftedEntry>& entries, int32_t lengthError = 0) {
  std::string file = "host";
  const auto dataStart = static_cast<uint32_t>(file.size());
  std::string list;
  for (const CraftedEntry& e : entries) {
    const std::string stored = e.blockSorted ? Packed(e.content) : e.content;
    list.push_back(static_cast<char>(e.name.size() & 0xFF));
    list.push_back(static_cast<char>(e.name.size() >> 8));
    list += e.name;
    PutLe32(list, static_cast<uint32_t>(file.size()) - dataStart);
    PutLe32(list, static_cast<uint32_t>(stored.size()));
    PutLe32(list, static_cast<uint32_t>(static_cast<int64_t>(e.content.size()) + e.sizeError));
    PutLe32(list, ArchiveChecksum(e.content.data(), e.content.size()));
    PutLe32(list, 0);
    PutLe32(list, e.blockSorted ? kEntryCompressed | kEntryBlockSorted : 0);
    file += stored;
  }
  const auto dataSize = static_cast<uint32_t>(file.size()) - dataStart;
  std::string directory = "ix50";
  PutLe32(directory, static_cast<uint32_t>(static_cast<int64_t>(list.size()) + lengthError));
  PutLe32(directory, static_cast<uint32_t>(entries.size()));
  directory += Packed(list);
  file += directory;
  PutLe32(file, 0x56425273);  // "sRBV"
  PutLe32(file, dataSize);
  PutLe32(file, static_cast<uint32_t>(-static_cast<int64_t>(directory.size() + 16)));
  PutLe32(file, 0x305);
  return file;
}

}  // namespace support::test
