#include "browser/FilePath.h"

#include <windows.h>

#include <type_traits>

#include "browser/PathParts.h"
#include "framework/Handles.h"

namespace glyph {
namespace {

// The module file name's buffer, in characters: the longest path the W
// function gives, so a program deep in a folder tree still finds itself.
constexpr DWORD kModuleNameLength = 32767;

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

PathParts Split(const std::string& path) { return SplitPath(path, &IsLeadByte); }
WidePathParts Split(const std::wstring& path) { return SplitPath(std::wstring_view(path)); }

std::string ModulePath(char) {
  std::string path(kModuleNameLength + 1, '\0');
  const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), kModuleNameLength);
  path.resize(length < kModuleNameLength ? length : kModuleNameLength);
  return path;
}

std::wstring ModulePath(wchar_t) {
  std::wstring path(kModuleNameLength + 1, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), kModuleNameLength);
  path.resize(length < kModuleNameLength ? length : kModuleNameLength);
  return path;
}

bool FindsSomething(const std::string& pattern) {
  WIN32_FIND_DATAA data;
  return static_cast<bool>(UniqueFind(::FindFirstFileA(pattern.c_str(), &data)));
}

bool FindsSomething(const std::wstring& pattern) {
  WIN32_FIND_DATAW data;
  return static_cast<bool>(UniqueFind(::FindFirstFileW(pattern.c_str(), &data)));
}

}  // namespace

template <class Char>
BasicFilePath<Char>::BasicFilePath(const String& path) : path_(path) {
  if (path_.empty()) path_ = ModulePath(Char());
}

template <class Char>
typename BasicFilePath<Char>::String BasicFilePath<Char>::GetFileName() const {
  auto p = Split(path_);
  return p.name + p.extension;
}

template <class Char>
typename BasicFilePath<Char>::String BasicFilePath<Char>::GetDirectory() const {
  auto p = Split(path_);
  return p.drive + p.directory;
}

template <class Char>
typename BasicFilePath<Char>::String BasicFilePath<Char>::GetPathNoExt() const {
  auto p = Split(path_);
  return p.drive + p.directory + p.name;
}

template <class Char>
typename BasicFilePath<Char>::String BasicFilePath<Char>::GetTitle() const {
  return Split(path_).name;
}

template <class Char>
bool BasicFilePath<Char>::Exists() const {
  const String pattern = ExistencePattern(std::basic_string_view<Char>(path_));
  // Wine finds something for an empty pattern; Windows finds nothing.
  if (pattern.empty()) return false;
  return FindsSomething(pattern);
}

template class BasicFilePath<char>;
template class BasicFilePath<wchar_t>;

}  // namespace glyph
