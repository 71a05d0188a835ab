// The few file operations the C library leaves to the platform: 64-bit
// seeks and lengths, a file's type and size before opening it, cutting an
// open file short, and creating a file under a name nothing has yet.
// FileAccessWin.cpp implements them for Windows, FileAccessPosix.cpp
// elsewhere, and FileAccess.cpp what is the same on both; only the support
// library's own files include this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace support::file_access {

// Moves the position of `f` to `pos` from the start; false on failure.
bool SeekFile(std::FILE* f, std::uint64_t pos);

// The position of `f`, or -1.
std::int64_t TellFile(std::FILE* f);

// Moves to the end of `f` and returns its length, or -1.
std::int64_t FileLength(std::FILE* f);

// The size of the regular file `name`, or -1 for anything else (a folder,
// a device, a pipe, or nothing at all).
std::int64_t RegularFileSize(const char* name);

// The whole regular file `name` (at most `limit` bytes) as a NUL-terminated
// text allocated with std::malloc, its size in `sizeOut` when given; null
// for anything else. A file that grows meanwhile is read up to the size it
// had.
char* ReadRegularFile(const char* name, std::uint64_t limit, std::size_t* sizeOut);

// Cuts the open file `f` (flushed by the caller) to `length` bytes.
bool TruncateFile(std::FILE* f, std::uint64_t length);

// A new file under exactly `path`, open for reading and writing, as a
// descriptor; -1 when that fails (errno tells why).
int CreateExclusive(const std::string& path);

// Whether anything at all has the name.
bool NameTaken(const std::string& path);

// A "w+b" stream on descriptor `fd`, which it then owns; null (and `fd`
// closed) on failure.
std::FILE* StreamOf(int fd);

}  // namespace support::file_access
