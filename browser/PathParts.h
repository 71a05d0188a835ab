// Splitting of a Windows path into drive, directory, name and extension,
// the way the C runtime's _splitpath does it, without its fixed buffers.
//
// Byte paths are in the ANSI code page. In a double-byte code page a trail
// byte can equal '\\' or '.', so the caller may pass a lead-byte test
// (IsDBCSLeadByte on Windows); trail bytes are then never separators.
// Wide paths (UTF-16, as the W functions take them) need no such test.
#pragma once

#include <string>
#include <string_view>

namespace glyph {

template <class Char>
struct BasicPathParts {
  std::basic_string<Char> drive;      // "C:" or empty
  std::basic_string<Char> directory;  // up to and including the last '\\' or '/'
  std::basic_string<Char> name;       // file name without extension
  std::basic_string<Char> extension;  // from the last '.' of the file name, or empty
};
using PathParts = BasicPathParts<char>;
using WidePathParts = BasicPathParts<wchar_t>;

using LeadByteTest = bool (*)(unsigned char);

PathParts SplitPath(std::string_view path, LeadByteTest isLeadByte = nullptr);
WidePathParts SplitPath(std::wstring_view path);

// The pattern to look up for an existence test: the path with one trailing
// backslash cut off, so "C:\\Icons\\" asks about the folder itself.
std::string ExistencePattern(std::string_view path);
std::wstring ExistencePattern(std::wstring_view path);

}  // namespace glyph
