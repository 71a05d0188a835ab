// Splitting of a Windows path into drive, directory, name and extension,
// the way the C runtime's _splitpath does it, without its fixed buffers.
//
// Paths are byte strings in the ANSI code page. In a double-byte code page
// a trail byte can equal '\\' or '.', so the caller may pass a lead-byte
// test (IsDBCSLeadByte on Windows); trail bytes are then never separators.
#pragma once

#include <string>
#include <string_view>

namespace glyph {

struct PathParts {
  std::string drive;      // "C:" or empty
  std::string directory;  // up to and including the last '\\' or '/'
  std::string name;       // file name without extension
  std::string extension;  // from the last '.' of the file name, or empty
};

using LeadByteTest = bool (*)(unsigned char);

PathParts SplitPath(std::string_view path, LeadByteTest isLeadByte = nullptr);

// The pattern to look up for an existence test: the path with one trailing
// backslash cut off, so "C:\\Icons\\" asks about the folder itself.
std::string ExistencePattern(std::string_view path);

}  // namespace glyph
