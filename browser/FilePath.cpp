#include "browser/FilePath.h"

#include <windows.h>

#include "browser/PathParts.h"
#include "framework/Handles.h"

namespace glyph {
namespace {

// GetModuleFileNameA's buffer, in characters.
constexpr DWORD kModuleNameLength = 2047;

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

PathParts Split(const std::string& path) { return SplitPath(path, &IsLeadByte); }

}  // namespace

CFilePath::CFilePath(const std::string& path) : path_(path) {
  if (!path_.empty()) return;
  char buffer[kModuleNameLength + 1] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, buffer, kModuleNameLength);
  path_.assign(buffer, length < kModuleNameLength ? length : kModuleNameLength);
}

std::string CFilePath::GetFileName() const {
  PathParts p = Split(path_);
  return p.name + p.extension;
}

std::string CFilePath::GetDirectory() const {
  PathParts p = Split(path_);
  return p.drive + p.directory;
}

std::string CFilePath::GetPathNoExt() const {
  PathParts p = Split(path_);
  return p.drive + p.directory + p.name;
}

std::string CFilePath::GetTitle() const { return Split(path_).name; }

bool CFilePath::Exists() const {
  const std::string pattern = ExistencePattern(path_);
  // Wine finds something for an empty pattern; Windows finds nothing.
  if (pattern.empty()) return false;
  WIN32_FIND_DATAA data;
  UniqueFind find(::FindFirstFileA(pattern.c_str(), &data));
  return static_cast<bool>(find);
}

}  // namespace glyph
