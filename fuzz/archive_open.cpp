// TResourceArchive::Open and ReadFile of every entry, on any bytes.
//
// The first byte picks the form of the input:
//   even: the rest is the archive file as it stands;
//   odd:  the rest is a version 5 directory list (its length in the next
//         two bytes, little-endian, then the list, then the data area), which
//         this target packs with the block-sorting compressor so that the
//         fuzzer reaches the list parser without having to forge a stream.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SupportFuzz.h"
#include "support/Archive.h"
#include "support/compress.h"

namespace {

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// data area + "ix50" + length + count + packed list + trailer.
std::string Version5(const uint8_t* data, size_t size) {
  std::string file;
  if (size < 3) return file;
  const size_t listSize = std::min<size_t>(size - 3, data[0] | (data[1] << 8));
  const uint32_t count = data[2];
  const std::string list(reinterpret_cast<const char*>(data + 3), listSize);
  file.assign(reinterpret_cast<const char*>(data + 3 + listSize), size - 3 - listSize);
  const auto dataSize = static_cast<uint32_t>(file.size());

  if (!WriteFile("list.bin", list)) return std::string();
  std::FILE* in = std::fopen("list.bin", "rb");
  std::FILE* out = std::fopen("packed.bin", "w+b");
  if (in && out) support::compressStream(in, out, nullptr);
  std::string packed;
  if (out) {
    std::fseek(out, 0, SEEK_SET);
    for (int c; (c = std::fgetc(out)) != EOF;) packed.push_back(static_cast<char>(c));
  }
  if (in) std::fclose(in);
  if (out) std::fclose(out);

  std::string directory = "ix50";
  PutU32(directory, static_cast<uint32_t>(list.size()));
  PutU32(directory, count);
  directory += packed;
  file += directory;
  PutU32(file, 0x56425273);
  PutU32(file, dataSize);
  PutU32(file, static_cast<uint32_t>(-static_cast<int64_t>(directory.size() + 16)));
  PutU32(file, 0x305);
  return file;
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
  support_fuzz::Guarded([&] {
    const std::string file = (data[0] & 1) ? Version5(data + 1, size - 1)
                                           : std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    if (!WriteFile(path, file)) return;
    support::TResourceArchive archive;
    if (!archive.Open(path.c_str(), false)) return;
    int entries = 0;
    for (const support::TArchiveEntry* e = archive.First(); e && entries < 64;
         e = archive.Next(), ++entries) {
      const std::string name = e->name;
      size_t got = 0;
      std::free(archive.ReadFile(name.c_str(), true, &got));
    }
  });
  return 0;
}
