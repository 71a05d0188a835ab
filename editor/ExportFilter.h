// The file-type list of the export dialog and the file-name rules that
// keep a name's extension in step with the chosen type.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace glyph {

struct ExportFilter {
  static constexpr size_t kMaxTypes = 20;
  static constexpr size_t kMaxName = 255;  // characters of the file-name field

  std::vector<std::string> descriptions;  // "True-color icon (*.ico)"
  std::vector<std::string> patterns;      // "*.ico"
  std::vector<std::string> extensions;    // ".ico"

  // Parses "Desc (*.ext)|Desc (*.ext)|"; runs of "|" count as one.
  static ExportFilter Parse(const std::string& list);
  // The common dialog's filter: description and pattern per type, each
  // ended by NUL, the list ended by one more NUL.
  std::string PlatformFilter() const;
  // The name the field starts with: `name`, or "*" + the first extension.
  std::string InitialName(const std::string& name) const;
  // 1-based type whose extension matches the name's text from its first
  // "." (case-insensitive); 1 when none does.
  int FormatIndexFor(const std::string& name) const;
};

// The extension a type description names: the text after "*" up to ")".
std::string ExtensionOfDescription(const std::string& description);
// `name` with everything from its first "." replaced by `extension`
// ("*" + extension when empty, appended when it has no ".").
std::string ApplyExtension(const std::string& name, const std::string& extension);

}  // namespace glyph
