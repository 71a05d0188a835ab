#pragma once

// Wide text in the system's ANSI code page, for the parts of the program
// whose texts are byte strings.

#include <windows.h>

#include <string>

namespace glyph {

inline std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), length, out.data(), size, nullptr, nullptr);
  return out;
}

// A path for the functions that take byte-string names: the path in the
// ANSI code page when every character has a place there, else its short
// form (plain ASCII where the volume keeps short names); empty when neither
// names the file.
inline std::string NarrowPath(const std::wstring& path) {
  BOOL lossy = FALSE;
  const int length = static_cast<int>(path.size());
  const int size = ::WideCharToMultiByte(CP_ACP, 0, path.c_str(), length, nullptr, 0, nullptr, &lossy);
  if (size > 0 && !lossy) return Narrow(path);
  std::wstring shortPath(::GetShortPathNameW(path.c_str(), nullptr, 0), L'\0');
  if (shortPath.empty()) return {};
  shortPath.resize(::GetShortPathNameW(path.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size())));
  lossy = FALSE;
  ::WideCharToMultiByte(CP_ACP, 0, shortPath.c_str(), static_cast<int>(shortPath.size()), nullptr, 0, nullptr,
                        &lossy);
  return shortPath.empty() || lossy ? std::string() : Narrow(shortPath);
}

}  // namespace glyph
