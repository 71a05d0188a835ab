#include "browser/PathParts.h"

namespace glyph {

PathParts SplitPath(std::string_view path, LeadByteTest isLeadByte) {
  PathParts parts;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = path.substr(0, 2);
    path.remove_prefix(2);
  }
  // One forward pass so that double-byte characters are stepped over whole.
  size_t lastSeparator = std::string_view::npos;
  size_t lastDot = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<unsigned char>(path[i]);
    if (isLeadByte && isLeadByte(byte) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (byte == '\\' || byte == '/') {
      lastSeparator = i;
      lastDot = std::string_view::npos;
    } else if (byte == '.') {
      lastDot = i;
    }
  }
  size_t nameStart = 0;
  if (lastSeparator != std::string_view::npos) {
    nameStart = lastSeparator + 1;
    parts.directory = path.substr(0, nameStart);
  }
  if (lastDot != std::string_view::npos) {
    parts.name = path.substr(nameStart, lastDot - nameStart);
    parts.extension = path.substr(lastDot);
  } else {
    parts.name = path.substr(nameStart);
  }
  return parts;
}

std::string ExistencePattern(std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

}  // namespace glyph
