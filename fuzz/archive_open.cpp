// TResourceArchive::Open and ReadFile of every entry, on any bytes. A fatal
// failure report on the way is a crash (see SupportFuzz.h).
//
// The low two bits of the first byte pick the form of the input:
//   0, 2: the rest is the archive file as it stands;
//   1:    the rest is a version 5 directory list (its length in the next
//         two bytes, little-endian, then the entry count, the list, then the
//         data area), which this target packs with the block-sorting
//         compressor so that the fuzzer reaches the list parser without
//         having to forge a stream;
//   3:    the rest describes entries that this target packs itself, and the
//         errors to put into the directory (see Crafted below), so that
//         records that understate what their streams unpack to are reached.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SupportFuzz.h"
#include "support/Archive.h"
#include "support/Checksum.h"
#include "support/WindowCodec.h"
#include "support/compress.h"

namespace {

constexpr uint32_t kTrailerMagic = 0x56425273;  // "sRBV"
constexpr uint32_t kVersion5Flags = 0x305;
constexpr uint32_t kOlderPackedFlags = 0x304;  // version 4, packed records of 64 bytes
constexpr size_t kOlderName = 40;
constexpr size_t kMaxCraftedEntries = 16;
constexpr int kMaxReads = 64;

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string Packed(const std::string& bytes) {
  const std::vector<uint8_t> stream = support::compressBuffer(bytes.data(), bytes.size());
  return std::string(stream.begin(), stream.end());
}

uint32_t Adjusted(size_t value, int8_t error) {
  return static_cast<uint32_t>(static_cast<int64_t>(value) + error);
}

// Any bytes, the data area, the directory, the trailer.
std::string Finish(const std::string& host, const std::string& area, const std::string& directory,
                   uint32_t flags) {
  std::string file = host + area + directory;
  PutU32(file, kTrailerMagic);
  PutU32(file, static_cast<uint32_t>(area.size()));
  PutU32(file, static_cast<uint32_t>(-static_cast<int64_t>(directory.size() + 16)));
  PutU32(file, flags);
  return file;
}

// data area + "ix50" + length + count + packed list + trailer.
std::string Version5(const uint8_t* data, size_t size) {
  if (size < 3) return std::string();
  const size_t listSize = std::min<size_t>(size - 3, data[0] | (data[1] << 8));
  const uint32_t count = data[2];
  const std::string list(reinterpret_cast<const char*>(data + 3), listSize);
  std::string directory = "ix50";
  PutU32(directory, static_cast<uint32_t>(list.size()));
  PutU32(directory, count);
  directory += Packed(list);
  return Finish(std::string(),
                std::string(reinterpret_cast<const char*>(data + 3 + listSize), size - 3 - listSize),
                directory, kVersion5Flags);
}

// After the first byte (bit 2: an older packed directory instead of a
// version 5 one): the list length error and the count error (signed bytes,
// added to the true values), then entries to the end of the input, each
//   method (bits 0-1: 0 plain, 1 window, 2 or 3 block-sorted),
//   size error (signed byte, added to the size in the record),
//   name length, name, content length, content.
std::string Crafted(uint8_t form, const uint8_t* data, size_t size) {
  if (size < 2) return std::string();
  const auto lengthError = static_cast<int8_t>(data[0]);
  const auto countError = static_cast<int8_t>(data[1]);
  const bool older = form & 4;
  size_t pos = 2;
  auto take = [&](size_t n) {
    const std::string bytes(reinterpret_cast<const char*>(data + pos), std::min(n, size - pos));
    pos += bytes.size();
    return bytes;
  };
  std::string area;
  std::string list;
  size_t count = 0;
  while (size - pos >= 3 && count < kMaxCraftedEntries) {
    const uint8_t method = data[pos] & 3;
    const auto sizeError = static_cast<int8_t>(data[pos + 1]);
    const size_t nameLength = data[pos + 2];
    pos += 3;
    const std::string name = take(nameLength);
    const size_t contentLength = pos < size ? data[pos++] : 0;
    const std::string content = take(contentLength);
    std::string stored = content;
    uint32_t flags = 0;
    if (method == 1) {
      const auto window =
          support::WindowCompress(reinterpret_cast<const uint8_t*>(content.data()), content.size(), nullptr);
      stored.assign(window.begin(), window.end());
      flags = support::kEntryCompressed;
    } else if (method >= 2) {
      stored = Packed(content);
      flags = support::kEntryCompressed | support::kEntryBlockSorted;
    }
    std::string record;
    if (older) {
      record = name.substr(0, kOlderName);
      record.resize(kOlderName, '\0');
    } else {
      record.push_back(static_cast<char>(name.size()));
      record.push_back('\0');
      record += name;
    }
    PutU32(record, static_cast<uint32_t>(area.size()));
    PutU32(record, static_cast<uint32_t>(stored.size()));
    PutU32(record, Adjusted(content.size(), sizeError));
    PutU32(record, support::ArchiveChecksum(content.data(), content.size()));
    PutU32(record, 0);
    PutU32(record, flags);
    list += record;
    area += stored;
    ++count;
  }
  std::string directory;
  if (older) {
    PutU32(directory, Adjusted(count, countError));
  } else {
    directory = "ix50";
    PutU32(directory, Adjusted(list.size(), lengthError));
    PutU32(directory, Adjusted(count, countError));
  }
  directory += Packed(list);
  return Finish("host", area, directory, older ? kOlderPackedFlags : kVersion5Flags);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  support_fuzz::SetUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static bool ready = (support_fuzz::SetUp(), true);  // the replay runner has no initialiser
  (void)ready;
  const std::string path = "archive.bin";
  std::string file;
  switch (data[0] & 3) {
    case 1:
      file = Version5(data + 1, size - 1);
      break;
    case 3:
      file = Crafted(data[0], data + 1, size - 1);
      break;
    default:
      file.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  }
  if (!WriteFile(path, file)) return 0;
  support::TResourceArchive archive;
  if (!archive.Open(path.c_str(), false)) return 0;
  int reads = 0;
  for (const support::TArchiveEntry* e = archive.First(); e && reads < kMaxReads;
       e = archive.Next(), ++reads) {
    const std::string name = e->name;
    size_t got = 0;
    std::free(archive.ReadFile(name.c_str(), true, &got));
  }
  return 0;
}
