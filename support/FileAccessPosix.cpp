// File access through POSIX calls (Linux builds).
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "support/FileAccess.h"

namespace support::file_access {

bool SeekFile(std::FILE* f, std::uint64_t pos) { return ::fseeko(f, static_cast<off_t>(pos), SEEK_SET) == 0; }

std::int64_t TellFile(std::FILE* f) { return ::ftello(f); }

std::int64_t FileLength(std::FILE* f) {
  if (::fseeko(f, 0, SEEK_END) != 0) return -1;
  return ::ftello(f);
}

std::int64_t RegularFileSize(const char* name) {
  struct stat status;
  if (::stat(name, &status) != 0) return -1;
  if ((status.st_mode & S_IFMT) != S_IFREG || status.st_size < 0) return -1;
  return static_cast<std::int64_t>(status.st_size);
}

bool TruncateFile(std::FILE* f, std::uint64_t length) {
  return ::ftruncate(::fileno(f), static_cast<off_t>(length)) == 0;
}

int CreateExclusive(const std::string& path) {
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

bool NameTaken(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::FILE* StreamOf(int fd) {
  std::FILE* f = ::fdopen(fd, "w+b");
  if (!f) ::close(fd);
  return f;
}

}  // namespace support::file_access
