// Writing a file so that it is whole or untouched: the bytes go to a
// scratch file of our own beside the target and are moved over it only
// once all of them are on disk.
//
// The scratch file is created exclusively, "<path>.save~" or, when that
// name is taken, "<path>.save~2", "~3" ... (the naming of
// support/SideFile.h): a user's file of such a name is never opened,
// replaced or removed. Paths are wide, and one too long for the plain form
// is written through its "\\?\" form, so any path a user can type either
// gets its file or a reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyph {

// Why a write failed, for the message that names the file.
enum class WriteFailure { kNone, kReadOnly, kCannotCreate, kCannotWrite, kCannotReplace };

// Writes `bytes` over `path` (an existing read-only file is refused).
WriteFailure ReplaceFile(const std::wstring& path, const std::vector<uint8_t>& bytes);

// The user's words for a failure: "it is read-only." and so on.
std::wstring DescribeWriteFailure(WriteFailure failure);

// The form of `path` the W file functions take at any length: a path of
// MAX_PATH characters or more gets the "\\?\" prefix ("\\?\UNC\" for a
// share); shorter and relative paths come back as they are.
std::wstring LongPathForm(const std::wstring& path);

}  // namespace glyph
