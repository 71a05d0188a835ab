#include "editor/FileReplace.h"

#include <windows.h>

#include "framework/Handles.h"

namespace glyph {
namespace {

// Scratch names tried before giving up: more of them beside one file
// mean something else is wrong.
constexpr int kMaxScratchNames = 100;
constexpr wchar_t kScratchTag[] = L".save~";

bool IsDriveAbsolute(const std::wstring& path) {
  return path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

// Creates the scratch file exclusively; its name goes to `name`.
UniqueFile CreateScratch(const std::wstring& path, std::wstring& name) {
  const std::wstring stem = path + kScratchTag;
  for (int attempt = 1; attempt <= kMaxScratchNames; ++attempt) {
    name = attempt == 1 ? stem : stem + std::to_wstring(attempt);
    UniqueFile file(::CreateFileW(LongPathForm(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return file;
    // Only a taken name is worth another try; a folder that refuses new
    // files refuses every name.
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) break;
    if (::GetFileAttributesW(LongPathForm(name).c_str()) == INVALID_FILE_ATTRIBUTES) break;
  }
  name.clear();
  return UniqueFile();
}

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (IsDriveAbsolute(path)) return L"\\\\?\\" + path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

WriteFailure ReplaceFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  if (path.empty() || bytes.empty()) return WriteFailure::kCannotCreate;
  const std::wstring target = LongPathForm(path);
  // Moving the finished copy over a read-only file would replace it: the
  // user marked it so that it stays as it is.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return WriteFailure::kReadOnly;
  std::wstring scratch;
  {
    UniqueFile file = CreateScratch(path, scratch);
    if (!file) return WriteFailure::kCannotCreate;
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && ::FlushFileBuffers(file.Get());
    if (!ok) {
      file.Reset();
      ::DeleteFileW(LongPathForm(scratch).c_str());
      return WriteFailure::kCannotWrite;
    }
  }
  if (!::MoveFileExW(LongPathForm(scratch).c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(LongPathForm(scratch).c_str());
    return WriteFailure::kCannotReplace;
  }
  return WriteFailure::kNone;
}

std::wstring DescribeWriteFailure(WriteFailure failure) {
  switch (failure) {
    case WriteFailure::kNone:
      return std::wstring();
    case WriteFailure::kReadOnly:
      return L"it is read-only.";
    case WriteFailure::kCannotCreate:
      return L"the folder does not take a new file there (it may not exist, be read-only, or the name may be "
             L"too long).";
    case WriteFailure::kCannotWrite:
      return L"the disk did not take all of it.";
    case WriteFailure::kCannotReplace:
      return L"the file in its place could not be replaced (it may be in use).";
  }
  return std::wstring();
}

}  // namespace glyph
