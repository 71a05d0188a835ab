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

}  // namespace glyph
