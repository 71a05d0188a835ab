// File access through the Windows C runtime (64-bit offsets throughout).
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#include "support/FileAccess.h"

namespace support::file_access {

bool SeekFile(std::FILE* f, std::uint64_t pos) {
  return ::_fseeki64(f, static_cast<long long>(pos), SEEK_SET) == 0;
}

std::int64_t TellFile(std::FILE* f) { return ::_ftelli64(f); }

std::int64_t FileLength(std::FILE* f) {
  if (::_fseeki64(f, 0, SEEK_END) != 0) return -1;
  return ::_ftelli64(f);
}

std::int64_t RegularFileSize(const char* name) {
  struct _stati64 status;
  if (::_stati64(name, &status) != 0) return -1;
  if ((status.st_mode & S_IFMT) != S_IFREG || status.st_size < 0) return -1;
  return static_cast<std::int64_t>(status.st_size);
}

bool TruncateFile(std::FILE* f, std::uint64_t length) {
  return ::_chsize_s(::_fileno(f), static_cast<long long>(length)) == 0;
}

int CreateExclusive(const std::string& path) {
  return ::_open(path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

// Windows answers "access denied" rather than "exists" when a folder has
// the name, so the caller asks this as well.
bool NameTaken(const std::string& path) { return ::_access(path.c_str(), 0) == 0; }

std::FILE* StreamOf(int fd) {
  std::FILE* f = ::_fdopen(fd, "w+b");
  if (!f) ::_close(fd);
  return f;
}

}  // namespace support::file_access
