// TResourceArchive: one file that packs many named files, each stored
// plain, block-sorted or window-packed, with a block-sorted directory and a
// 16-byte trailer at its end. An archive may follow any other bytes (the
// program carries its skin appended to its own executable).
//
// ReadFile falls back to the disk when no archive is open or the name is
// not in it, so callers work the same with packed and loose resources.
//
// A damaged archive is never a fatal report: a directory that does not
// unpack to what its fields say makes Open fail, an entry that does not
// unpack to its recorded size makes ReadFile fail.
//
// Layout, all numbers 32-bit little-endian:
//   [any bytes] [packed data: dataStart..dataEnd] [directory] [trailer]
//   directory (version 5): "ix50", list length, entry count, the list as a
//     block-sorted stream; each list entry is a 16-bit name length, the
//     name, offset, storedSize, size, checksum, time, flags
//   trailer: "sRBV", dataEnd - dataStart, -(directory length + 16), flags
//     (bits 0-3 version; bit 8: older directory block-sorted; bit 9: older
//     records of 64 bytes rather than 48)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/Object.h"
#include "support/WindowCodec.h"

namespace support {

struct TArchiveEntry {
  std::string name;
  uint32_t offset = 0;  // relative to dataStart
  uint32_t storedSize = 0;
  uint32_t size = 0;
  uint32_t checksum = 0;
  uint32_t time = 0;
  uint32_t flags = 0;
};

// Entry flags.
constexpr uint32_t kEntryCompressed = 1;  // packed (bit 2 says which method)
constexpr uint32_t kEntryUserBit = 2;     // AddFile option bit 2, kept as it is
constexpr uint32_t kEntryBlockSorted = 4;

// AddFile options.
constexpr uint32_t kAddCompress = 1;     // pack the entry...
constexpr uint32_t kAddBlockSorted = 2;  // ...with the block-sorting method (else the window method)
constexpr uint32_t kAddUserBit = 4;      // stored as entry flag bit 1

class TResourceArchive : public TObject {
 public:
  // Entries larger than this are taken for corruption and never allocated.
  static constexpr uint32_t kMaxEntrySize = 1u << 28;
  static constexpr size_t kBufferSize = 40000;

  TResourceArchive();
  ~TResourceArchive() override;

  // Opens the archive at the end of `path`. With `create`, a missing file
  // is created and a file without an archive gets an empty one after its
  // last byte. False when there is no archive (or it is unreadable).
  virtual bool Open(const char* path, bool create);
  virtual int32_t Count();
  // The whole file as a std::malloc'd buffer with a NUL after its last
  // byte (the caller frees it with std::free), or null. `sizeOut` receives
  // the length without the NUL. On the disk only regular files of at most
  // kMaxEntrySize bytes are read.
  virtual char* ReadFile(const char* name, bool verify, size_t* sizeOut);
  // Packs all bytes of `source` (a binary stream; it is rewound first) as
  // entry `name`, replacing one of that name, at the end of the data; the
  // directory is written by Flush. Null when no archive is open or writing
  // fails.
  virtual const TArchiveEntry* AddFile(std::FILE* source, const char* name, uint32_t options);
  virtual void Remove(const char* name);
  virtual const TArchiveEntry* First();
  virtual const TArchiveEntry* Next();
  virtual const TArchiveEntry* FindEntry(const char* name);
  // Writes directory and trailer when the directory changed. True when the
  // archive on disk is complete afterwards. Both are prepared in memory
  // first: a Flush that fails before writing leaves the file as it was.
  virtual bool Flush();
  // Rewrites the data without gaps, then directory and trailer. The data
  // goes through a scratch file beside the archive (see SideFile.h).
  virtual bool Compact();
  virtual void SetProgress(ProgressFunc progress);
  virtual void SetUserData(const char* bytes, int32_t length);

  bool IsOpen() const { return directory_ != nullptr; }
  bool Failed() const { return failed_; }
  bool Dirty() const { return dirty_; }
  uint32_t DataStart() const { return dataStart_; }
  uint32_t DataEnd() const { return dataEnd_; }
  uint32_t Version() const { return version_; }
  const std::string& UserData() const { return userData_; }

 private:
  using Directory = std::map<std::string, TArchiveEntry, std::less<>>;

  bool ReadTrailerAndDirectory(uint64_t fileLength);
  bool ReadVersion5(uint64_t directoryPos, uint64_t directoryEnd);
  bool ReadOlder(uint64_t directoryPos, uint64_t directoryEnd, uint32_t trailerFlags);
  bool ReadAt(uint64_t pos, void* data, size_t size);
  bool WriteAt(uint64_t pos, const void* data, size_t size);
  bool Seek(uint64_t pos);
  uint64_t Tell();
  bool TruncateTo(uint64_t length);
  bool ReadStored(const TArchiveEntry& entry, std::vector<uint8_t>* stored);
  // The packed bytes of a directory, from `pos` to `end`.
  bool ReadPacked(uint64_t pos, uint64_t end, std::vector<uint8_t>* packed);
  bool WriteDirectory();
  void Close();

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::string path_;
  bool writable_ = false;
  bool failed_ = true;
  bool dirty_ = false;
  uint32_t dataStart_ = 0;
  uint32_t dataEnd_ = 0;
  uint32_t version_ = 5;
  std::unique_ptr<Directory> directory_;
  std::string cursor_;
  bool cursorValid_ = false;
  ProgressFunc progress_;
  std::string userData_;
};

}  // namespace support
