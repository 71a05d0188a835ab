// SideFile: a scratch file of our own beside another file, for work that
// needs a second stream (the archive's Compact copies its data through one).
//
// The file is created exclusively: "<base>.<tag>~", or when that name is
// taken (by a file of the user's, a folder, another process's scratch file)
// "<base>.<tag>~2", "~3" and so on. A file that already has one of these
// names is never opened, overwritten or removed. The object owns the
// stream; its destructor closes it and removes the file it created.
#pragma once

#include <cstdio>
#include <string>

namespace support {

class SideFile {
 public:
  SideFile(const std::string& base, const char* tag);
  ~SideFile();
  SideFile(const SideFile&) = delete;
  SideFile& operator=(const SideFile&) = delete;

  // The open stream (binary, read and write), or null when no name could be
  // created (a read-only folder, a path too long, every name taken).
  std::FILE* get() const { return file_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

}  // namespace support
