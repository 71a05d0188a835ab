#include "support/SideFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace support {

namespace {

// Names tried before giving up: more scratch files than this beside one
// file mean something else is wrong.
constexpr int kMaxAttempts = 100;

// A new file under exactly `path`, or -1 (errno tells why).
int CreateExclusive(const std::string& path) {
#ifdef _WIN32
  return ::_open(path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
#endif
}

// Whether anything at all has the name: Windows answers "access denied"
// rather than "exists" when a folder has it.
bool Taken(const std::string& path) {
#ifdef _WIN32
  return ::_access(path.c_str(), 0) == 0;
#else
  return ::access(path.c_str(), F_OK) == 0;
#endif
}

std::FILE* StreamOf(int fd) {
#ifdef _WIN32
  std::FILE* f = ::_fdopen(fd, "w+b");
  if (!f) ::_close(fd);
#else
  std::FILE* f = ::fdopen(fd, "w+b");
  if (!f) ::close(fd);
#endif
  return f;
}

}  // namespace

SideFile::SideFile(const std::string& base, const char* tag) {
  const std::string stem = base + "." + tag + "~";
  for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
    const std::string candidate = attempt == 1 ? stem : stem + std::to_string(attempt);
    const int fd = CreateExclusive(candidate);
    if (fd < 0) {
      // Only a taken name is worth another try; a folder that refuses new
      // files refuses every name.
      if (errno == EEXIST || Taken(candidate)) continue;
      return;
    }
    file_ = StreamOf(fd);
    if (!file_) {
      std::remove(candidate.c_str());
      return;
    }
    path_ = candidate;
    return;
  }
}

SideFile::~SideFile() {
  if (!file_) return;
  std::fclose(file_);
  std::remove(path_.c_str());
}

}  // namespace support
