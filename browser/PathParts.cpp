#include "browser/PathParts.h"

namespace glyph {
namespace {

template <class Char>
BasicPathParts<Char> Split(std::basic_string_view<Char> path, LeadByteTest isLeadByte) {
  using View = std::basic_string_view<Char>;
  BasicPathParts<Char> parts;
  if (path.size() >= 2 && path[1] == Char(':')) {
    parts.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
  // One forward pass so that double-byte characters are stepped over whole.
  size_t lastSeparator = View::npos;
  size_t lastDot = View::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const Char c = path[i];
    if (isLeadByte && isLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (c == Char('\\') || c == Char('/')) {
      lastSeparator = i;
      lastDot = View::npos;
    } else if (c == Char('.')) {
      lastDot = i;
    }
  }
  size_t nameStart = 0;
  if (lastSeparator != View::npos) {
    nameStart = lastSeparator + 1;
    parts.directory = path.substr(0, nameStart);
  }
  if (lastDot != View::npos) {
    parts.name = path.substr(nameStart, lastDot - nameStart);
    parts.extension = path.substr(lastDot);
  } else {
    parts.name = path.substr(nameStart);
  }
  return parts;
}

template <class Char>
std::basic_string<Char> Pattern(std::basic_string_view<Char> path) {
  if (!path.empty() && path.back() == Char('\\')) path.remove_suffix(1);
  return std::basic_string<Char>(path);
}

}  // namespace

PathParts SplitPath(std::string_view path, LeadByteTest isLeadByte) { return Split(path, isLeadByte); }
WidePathParts SplitPath(std::wstring_view path) { return Split(path, nullptr); }

std::string ExistencePattern(std::string_view path) { return Pattern(path); }
std::wstring ExistencePattern(std::wstring_view path) { return Pattern(path); }

}  // namespace glyph
