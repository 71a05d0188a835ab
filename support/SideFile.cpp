#include "support/SideFile.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "support/FileAccess.h"

namespace support {

namespace {

// Names tried before giving up: more scratch files than this beside one
// file mean something else is wrong.
constexpr int kMaxAttempts = 100;

}  // namespace

SideFile::SideFile(const std::string& base, const char* tag) {
  const std::string stem = base + "." + tag + "~";
  for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
    const std::string candidate = attempt == 1 ? stem : stem + std::to_string(attempt);
    const int fd = file_access::CreateExclusive(candidate);
    if (fd < 0) {
      // Only a taken name is worth another try; a folder that refuses new
      // files refuses every name.
      if (errno == EEXIST || file_access::NameTaken(candidate)) continue;
      return;
    }
    file_ = file_access::StreamOf(fd);
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
