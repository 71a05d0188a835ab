#include "support/Archive.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <vector>

#include "support/Checksum.h"
#include "support/FileAccess.h"
#include "support/SideFile.h"
#include "support/compress.h"

namespace support {

using file_access::FileLength;
using file_access::ReadRegularFile;
using file_access::SeekFile;
using file_access::TellFile;
using file_access::TruncateFile;

namespace {

constexpr uint32_t kTrailerMagic = 0x56425273;  // "sRBV"
constexpr char kDirectoryMagic[4] = {'i', 'x', '5', '0'};
constexpr size_t kTrailerSize = 16;
constexpr uint32_t kVersion = 5;
constexpr uint32_t kVersionMask = 0xF;
constexpr uint32_t kOlderPacked = 0x100;
constexpr uint32_t kOlderWideRecords = 0x200;
constexpr uint32_t kWrittenFlags = kVersion | kOlderPacked | kOlderWideRecords;  // 0x305
constexpr size_t kEntryFields = 6 * 4;
// A directory list (or an older packed directory) larger than this is
// taken for corruption rather than allocated.
constexpr uint64_t kMaxDirectory = uint64_t{64} << 20;
// Its packed form may come out a little longer than the list itself.
constexpr uint64_t kMaxPackedDirectory = 2 * kMaxDirectory;
constexpr size_t kMaxNameLength = 32767;

struct OlderLayout {
  size_t recordSize;
  size_t nameSize;
};
constexpr OlderLayout kWideRecord{64, 40};
constexpr OlderLayout kNarrowRecord{48, 24};

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void NoProgress() {}

uint32_t Now() { return static_cast<uint32_t>(std::time(nullptr)); }

// The six values of an entry record, in file order.
void GetRecord(const uint8_t* p, TArchiveEntry* entry) {
  entry->offset = GetU32(p);
  entry->storedSize = GetU32(p + 4);
  entry->size = GetU32(p + 8);
  entry->checksum = GetU32(p + 12);
  entry->time = GetU32(p + 16);
  entry->flags = GetU32(p + 20);
}

void PackStream(std::FILE* in, std::FILE* out, ProgressFunc progress) { compressStream(in, out, progress); }

// The bounded decoder: a stream that is damaged, or decodes to more than
// `capacity`, is a failed read like any other, never a fatal report.
bool Unpack(const std::vector<uint8_t>& packed, void* dest, size_t capacity, ProgressFunc progress,
            size_t* decoded) {
  return decodeBuffer(packed.data(), packed.size(), dest, capacity, decoded, progress) == DecodeResult::kOk;
}

// Unpacks a directory list of at most `capacity` bytes. The room for it is
// allocated, not cleared: a length field may claim up to kMaxDirectory
// bytes, and only what the stream really holds is touched. Memory that is
// not there is a failed read too.
bool UnpackList(const std::vector<uint8_t>& packed, size_t capacity, ProgressFunc progress,
                std::vector<uint8_t>* list) {
  const std::unique_ptr<uint8_t[]> room(new (std::nothrow) uint8_t[std::max<size_t>(capacity, 1)]);
  size_t decoded = 0;
  if (!room || !Unpack(packed, room.get(), capacity, progress, &decoded)) return false;
  list->assign(room.get(), room.get() + decoded);
  return true;
}

}  // namespace

TResourceArchive::TResourceArchive() : buffer_(new char[kBufferSize]), progress_(NoProgress) {}

TResourceArchive::~TResourceArchive() {
  if (directory_ && dirty_) Flush();
  Close();
}

void TResourceArchive::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  directory_.reset();
  path_.clear();
  writable_ = false;
  cursorValid_ = false;
}

bool TResourceArchive::Seek(uint64_t pos) { return file_ && SeekFile(file_, pos); }

bool TResourceArchive::ReadAt(uint64_t pos, void* data, size_t size) {
  return Seek(pos) && std::fread(data, 1, size, file_) == size;
}

bool TResourceArchive::WriteAt(uint64_t pos, const void* data, size_t size) {
  return writable_ && Seek(pos) && std::fwrite(data, 1, size, file_) == size;
}

bool TResourceArchive::TruncateTo(uint64_t length) {
  if (std::fflush(file_) != 0) return false;
  return TruncateFile(file_, length);
}

bool TResourceArchive::Open(const char* path, bool create) {
  if (directory_ && dirty_) Flush();  // keep the edits of the archive open so far
  Close();
  failed_ = true;
  dirty_ = false;
  if (!path) return false;

  file_ = std::fopen(path, create ? "r+b" : "rb");
  if (!file_ && create) {
    // Only a missing file is created: one that exists but cannot be opened
    // for writing (read-only, locked) must never be truncated.
    if (std::FILE* existing = std::fopen(path, "rb")) {
      std::fclose(existing);
      return false;
    }
    file_ = std::fopen(path, "w+b");
  }
  if (!file_) return false;
  std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferSize);
  path_ = path;
  writable_ = create;

  const int64_t length = FileLength(file_);
  if (length < 0) {
    Close();
    return false;
  }
  const auto fileLength = static_cast<uint64_t>(length);

  uint8_t trailer[kTrailerSize];
  const bool hasTrailer =
      fileLength >= kTrailerSize && ReadAt(fileLength - kTrailerSize, trailer, kTrailerSize) &&
      GetU32(trailer) == kTrailerMagic && (GetU32(trailer + 12) & kVersionMask) <= kVersion;
  if (!hasTrailer) {
    if (!create || fileLength > UINT32_MAX) {
      Close();
      return false;
    }
    directory_ = std::make_unique<Directory>();
    dataStart_ = dataEnd_ = static_cast<uint32_t>(fileLength);
    version_ = kVersion;
    failed_ = false;
    return true;
  }

  // Every position the trailer gives must lie inside the file.
  const uint32_t dataSize = GetU32(trailer + 4);
  const auto directoryOffset = static_cast<int32_t>(GetU32(trailer + 8));
  const uint32_t flags = GetU32(trailer + 12);
  const int64_t back = -static_cast<int64_t>(directoryOffset);
  if (back < static_cast<int64_t>(kTrailerSize) || static_cast<uint64_t>(back) > fileLength) {
    Close();
    return false;
  }
  const uint64_t directoryPos = fileLength - static_cast<uint64_t>(back);
  const uint64_t directoryEnd = fileLength - kTrailerSize;
  if (directoryPos > UINT32_MAX || dataSize > directoryPos) {
    Close();
    return false;
  }
  dataEnd_ = static_cast<uint32_t>(directoryPos);
  dataStart_ = dataEnd_ - dataSize;
  version_ = flags & kVersionMask;
  directory_ = std::make_unique<Directory>();
  const bool read = version_ == kVersion ? ReadVersion5(directoryPos, directoryEnd)
                                         : ReadOlder(directoryPos, directoryEnd, flags);
  if (!read) {
    Close();
    return false;
  }
  failed_ = false;
  return true;
}

bool TResourceArchive::ReadVersion5(uint64_t directoryPos, uint64_t directoryEnd) {
  uint8_t head[12];
  if (directoryEnd - directoryPos < sizeof head || !ReadAt(directoryPos, head, sizeof head)) return false;
  if (std::memcmp(head, kDirectoryMagic, 4) != 0) return false;
  const uint32_t length = GetU32(head + 4);
  const uint32_t count = GetU32(head + 8);
  if (length > kMaxDirectory || static_cast<uint64_t>(count) * (2 + kEntryFields) > length) return false;

  // The length field bounds the list: a stream that unpacks to more is a
  // damaged directory.
  std::vector<uint8_t> packed;
  std::vector<uint8_t> list;
  if (!ReadPacked(directoryPos + sizeof head, directoryEnd, &packed) ||
      !UnpackList(packed, length, progress_, &list)) {
    return false;
  }

  size_t pos = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (list.size() - pos < 2) return false;
    const auto nameLength = static_cast<int16_t>(list[pos] | (list[pos + 1] << 8));
    pos += 2;
    if (nameLength < 0 || list.size() - pos < static_cast<size_t>(nameLength) + kEntryFields) return false;
    TArchiveEntry entry;
    entry.name.assign(reinterpret_cast<const char*>(list.data() + pos), static_cast<size_t>(nameLength));
    pos += static_cast<size_t>(nameLength);
    GetRecord(list.data() + pos, &entry);
    pos += kEntryFields;
    std::string key = entry.name;
    (*directory_)[key] = std::move(entry);
  }
  return true;
}

bool TResourceArchive::ReadOlder(uint64_t directoryPos, uint64_t directoryEnd, uint32_t trailerFlags) {
  uint8_t head[4];
  if (directoryEnd - directoryPos < sizeof head || !ReadAt(directoryPos, head, sizeof head)) return false;
  const uint32_t count = GetU32(head);
  const uint64_t available = directoryEnd - directoryPos - sizeof head;

  const bool packed = trailerFlags & kOlderPacked;
  const OlderLayout layout = (packed || (trailerFlags & kOlderWideRecords)) ? kWideRecord : kNarrowRecord;
  const uint64_t listSize = static_cast<uint64_t>(count) * layout.recordSize;
  if (listSize > kMaxDirectory || (!packed && listSize > available)) return false;
  std::vector<uint8_t> list;
  if (packed) {
    std::vector<uint8_t> stream;
    if (!ReadPacked(directoryPos + sizeof head, directoryEnd, &stream) ||
        !UnpackList(stream, static_cast<size_t>(listSize), progress_, &list) || list.size() != listSize) {
      return false;
    }
  } else {
    // Plain records lie in the file: their size is checked against it.
    list.resize(static_cast<size_t>(listSize));
    if (!list.empty() && !ReadAt(directoryPos + sizeof head, list.data(), list.size())) return false;
  }

  // Older records carry no time worth keeping: entries take the time of reading.
  const uint32_t now = Now();
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* record = list.data() + static_cast<size_t>(i) * layout.recordSize;
    TArchiveEntry entry;
    const auto* name = reinterpret_cast<const char*>(record);
    entry.name.assign(name, static_cast<size_t>(std::find(name, name + layout.nameSize, '\0') - name));
    GetRecord(record + layout.nameSize, &entry);
    entry.time = now;
    std::string key = entry.name;
    (*directory_)[key] = std::move(entry);
  }
  return true;
}

int32_t TResourceArchive::Count() { return directory_ ? static_cast<int32_t>(directory_->size()) : 0; }

const TArchiveEntry* TResourceArchive::FindEntry(const char* name) {
  if (!directory_ || !name) return nullptr;
  const auto it = directory_->find(std::string_view(name));
  return it == directory_->end() ? nullptr : &it->second;
}

const TArchiveEntry* TResourceArchive::First() {
  cursorValid_ = false;
  if (!directory_ || directory_->empty()) return nullptr;
  const auto it = directory_->begin();
  cursor_ = it->first;
  cursorValid_ = true;
  return &it->second;
}

const TArchiveEntry* TResourceArchive::Next() {
  // The walk remembers a name, not an iterator, so that removing the
  // current entry does not break it.
  if (!directory_ || !cursorValid_) return nullptr;
  const auto it = directory_->upper_bound(cursor_);
  if (it == directory_->end()) {
    cursorValid_ = false;
    return nullptr;
  }
  cursor_ = it->first;
  return &it->second;
}

bool TResourceArchive::ReadStored(const TArchiveEntry& entry, std::vector<uint8_t>* stored) {
  const uint64_t dataSize = dataEnd_ - dataStart_;
  if (static_cast<uint64_t>(entry.offset) + entry.storedSize > dataSize) return false;
  stored->resize(entry.storedSize);
  return entry.storedSize == 0 || ReadAt(uint64_t{dataStart_} + entry.offset, stored->data(), stored->size());
}

bool TResourceArchive::ReadPacked(uint64_t pos, uint64_t end, std::vector<uint8_t>* packed) {
  if (end < pos || end - pos > kMaxPackedDirectory) return false;
  packed->resize(static_cast<size_t>(end - pos));
  return packed->empty() || ReadAt(pos, packed->data(), packed->size());
}

char* TResourceArchive::ReadFile(const char* name, bool verify, size_t* sizeOut) {
  if (!name) return nullptr;
  const TArchiveEntry* found = FindEntry(name);
  // A loose file in place of an entry: no larger than an entry may be.
  if (!found) return ReadRegularFile(name, kMaxEntrySize, sizeOut);
  const TArchiveEntry entry = *found;

  // A record that cannot be right (bytes beyond the data, a size beyond any
  // sensible file) gives no buffer, rather than a huge allocation or a read
  // outside the data.
  const bool packed = entry.flags & kEntryCompressed;
  const bool blockSorted = packed && (entry.flags & kEntryBlockSorted);
  const uint64_t dataSize = dataEnd_ - dataStart_;
  if (entry.size > kMaxEntrySize || (!packed && entry.size > entry.storedSize) ||
      static_cast<uint64_t>(entry.offset) + entry.storedSize > dataSize) {
    failed_ = true;
    return nullptr;
  }
  std::unique_ptr<char, decltype(&std::free)> data(static_cast<char*>(std::malloc(size_t{entry.size} + 1)),
                                                   &std::free);
  if (!data) {
    failed_ = true;
    return nullptr;
  }
  failed_ = false;
  auto* dest = reinterpret_cast<uint8_t*>(data.get());
  // Every method decodes from the entry's own stored bytes: a stream cannot
  // run on into the next entry or the directory.
  std::vector<uint8_t> stored;
  bool ok = ReadStored(entry, &stored);
  size_t produced = 0;
  if (ok && blockSorted) {
    ok = Unpack(stored, dest, entry.size, progress_, &produced) && produced == entry.size;
  } else if (ok && packed) {
    ok = WindowDecompress(stored.data(), stored.size(), dest, entry.size, &produced, progress_) ==
             WindowResult::kOk &&
         produced == entry.size;
  } else if (ok && entry.size > 0) {
    std::memcpy(dest, stored.data(), entry.size);
  }
  if (!ok) {
    failed_ = true;
    return nullptr;
  }
  if (verify && ArchiveChecksum(dest, entry.size) != entry.checksum) failed_ = true;
  data.get()[entry.size] = '\0';
  if (sizeOut) *sizeOut = entry.size;
  return data.release();
}

const TArchiveEntry* TResourceArchive::AddFile(std::FILE* source, const char* name, uint32_t options) {
  if (!directory_ || !source || !name) return nullptr;
  const bool compress = options & kAddCompress;
  const bool blockSorted = compress && (options & kAddBlockSorted);
  if (!writable_ || std::strlen(name) > kMaxNameLength) {
    failed_ = true;
    return nullptr;
  }

  // The checksum and size of the whole source, which is then rewound.
  std::vector<uint8_t> piece(kBufferSize);
  std::vector<uint8_t> whole;  // kept only for the window method, which packs from memory
  uint32_t checksum = kChecksumStart;
  uint64_t size = 0;
  if (!SeekFile(source, 0)) {
    failed_ = true;
    return nullptr;
  }
  for (size_t got; (got = std::fread(piece.data(), 1, piece.size(), source)) > 0;) {
    checksum = UpdateChecksum(checksum, piece.data(), got);
    size += got;
    if (size > kMaxEntrySize) break;
    if (compress && !blockSorted)
      whole.insert(whole.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
  }
  if (size > kMaxEntrySize || std::ferror(source) || !SeekFile(source, 0)) {
    failed_ = true;
    return nullptr;
  }

  // The new bytes go over the old directory, which Flush writes anew.
  dirty_ = true;
  uint64_t stored = 0;
  bool ok = Seek(dataEnd_);
  if (ok && blockSorted) {
    // The stream ends where the compressor stopped writing, which is not
    // the end of the file while an older directory still follows the data.
    PackStream(source, file_, progress_);
    const int64_t end = TellFile(file_);
    ok = std::fflush(file_) == 0 && end >= static_cast<int64_t>(dataEnd_);
    stored = ok ? static_cast<uint64_t>(end) - dataEnd_ : 0;
  } else if (ok && compress) {
    const std::vector<uint8_t> packed = WindowCompress(whole.data(), whole.size(), progress_);
    ok = std::fwrite(packed.data(), 1, packed.size(), file_) == packed.size();
    stored = packed.size();
  } else if (ok) {
    for (size_t got; ok && (got = std::fread(piece.data(), 1, piece.size(), source)) > 0;) {
      ok = std::fwrite(piece.data(), 1, got, file_) == got;
      stored += got;
    }
    ok = ok && stored == size;
  }
  if (!ok || uint64_t{dataEnd_} + stored > UINT32_MAX) {
    failed_ = true;
    return nullptr;
  }

  TArchiveEntry entry;
  entry.name = name;
  entry.offset = dataEnd_ - dataStart_;
  entry.storedSize = static_cast<uint32_t>(stored);
  entry.size = static_cast<uint32_t>(size);
  entry.checksum = FinishChecksum(checksum);
  entry.time = Now();
  entry.flags = (compress ? kEntryCompressed : 0) | ((options & kAddUserBit) ? kEntryUserBit : 0) |
                (blockSorted ? kEntryBlockSorted : 0);
  dataEnd_ += entry.storedSize;
  (*directory_)[entry.name] = entry;
  return FindEntry(name);
}

void TResourceArchive::Remove(const char* name) {
  if (!directory_ || !name) return;
  const auto it = directory_->find(std::string_view(name));
  if (it == directory_->end()) return;
  directory_->erase(it);
  dirty_ = true;
}

bool TResourceArchive::WriteDirectory() {
  std::string list;
  for (const auto& [name, entry] : *directory_) {
    const auto length = static_cast<uint16_t>(name.size());
    list.push_back(static_cast<char>(length & 0xFF));
    list.push_back(static_cast<char>(length >> 8));
    list += name;
    PutU32(list, entry.offset);
    PutU32(list, entry.storedSize);
    PutU32(list, entry.size);
    PutU32(list, entry.checksum);
    PutU32(list, entry.time);
    PutU32(list, entry.flags);
  }
  // Directory and trailer are made whole in memory before the first byte
  // of the old directory is overwritten: nothing that can fail (no other
  // file, no name beside the archive) stands between the two.
  const std::vector<uint8_t> packed = compressBuffer(list.data(), list.size(), progress_);
  std::string tail(kDirectoryMagic, 4);
  PutU32(tail, static_cast<uint32_t>(list.size()));
  PutU32(tail, static_cast<uint32_t>(directory_->size()));
  tail.append(packed.begin(), packed.end());
  const uint64_t directoryLength = tail.size();
  PutU32(tail, kTrailerMagic);
  PutU32(tail, dataEnd_ - dataStart_);
  PutU32(tail, static_cast<uint32_t>(-static_cast<int64_t>(directoryLength + kTrailerSize)));
  PutU32(tail, kWrittenFlags);
  // The trailer must end the file: cut whatever a longer old directory left.
  return WriteAt(dataEnd_, tail.data(), tail.size()) && TruncateTo(uint64_t{dataEnd_} + tail.size());
}

bool TResourceArchive::Flush() {
  if (!directory_) return false;
  if (!dirty_) return true;
  if (!writable_ || !WriteDirectory()) return false;
  dirty_ = false;
  version_ = kVersion;
  return true;
}

bool TResourceArchive::Compact() {
  if (!directory_ || !writable_) return false;
  const uint64_t dataSize = dataEnd_ - dataStart_;
  uint64_t total = 0;
  for (const auto& [name, entry] : *directory_) {
    if (static_cast<uint64_t>(entry.offset) + entry.storedSize > dataSize) return false;
    total += entry.storedSize;
  }
  if (dataStart_ + total > UINT32_MAX) return false;

  std::vector<char> piece(kBufferSize);
  {
    const SideFile temp(path_, "compact");
    if (!temp.get()) return false;
    for (const auto& [name, entry] : *directory_) {
      for (uint32_t done = 0; done < entry.storedSize;) {
        const size_t n = std::min<size_t>(kBufferSize, entry.storedSize - done);
        if (!ReadAt(uint64_t{dataStart_} + entry.offset + done, piece.data(), n) ||
            std::fwrite(piece.data(), 1, n, temp.get()) != n) {
          return false;
        }
        done += static_cast<uint32_t>(n);
      }
    }
    if (std::fflush(temp.get()) != 0 || !SeekFile(temp.get(), 0)) return false;
    // From here on the data area changes: whatever happens, the directory
    // must be written anew.
    dirty_ = true;
    for (uint64_t done = 0; done < total;) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(kBufferSize, total - done));
      if (std::fread(piece.data(), 1, n, temp.get()) != n || !WriteAt(dataStart_ + done, piece.data(), n)) {
        return false;
      }
      done += n;
    }
  }
  uint32_t offset = 0;
  for (auto& [name, entry] : *directory_) {
    entry.offset = offset;
    offset += entry.storedSize;
  }
  dataEnd_ = static_cast<uint32_t>(dataStart_ + total);
  return Flush();
}

void TResourceArchive::SetProgress(ProgressFunc progress) { progress_ = progress ? progress : NoProgress; }

void TResourceArchive::SetUserData(const char* bytes, int32_t length) {
  if (!bytes || length <= 0) return;
  userData_.assign(bytes, static_cast<size_t>(length));
}

}  // namespace support
