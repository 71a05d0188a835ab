// The file-type list of the export dialog and the file-name rules that
// keep a name's extension in step with the chosen type. Names are wide
// text, as the wide save dialog hands them over, so a name outside the
// ANSI code page keeps every character.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace glyph {

struct ExportFilter {
  static constexpr size_t kMaxTypes = 20;
  static constexpr size_t kMaxName = 255;  // characters of the proposed name

  std::vector<std::wstring> descriptions;  // "True-color icon (*.ico)"
  std::vector<std::wstring> patterns;      // "*.ico"
  std::vector<std::wstring> extensions;    // ".ico"

  // Parses "Desc (*.ext)|Desc (*.ext)|"; runs of "|" count as one.
  static ExportFilter Parse(const std::wstring& list);
  // The common dialog's filter: description and pattern per type, each
  // ended by NUL, the list ended by one more NUL.
  std::wstring PlatformFilter() const;
  // The name the field starts with: `name`, or "*" + the first extension.
  std::wstring InitialName(const std::wstring& name) const;
  // 1-based type whose extension matches the name's text from its first
  // "." (case-insensitive); 1 when none does.
  int FormatIndexFor(const std::wstring& name) const;
};

// The extension a type description names: the text after "*" up to ")".
std::wstring ExtensionOfDescription(const std::wstring& description);
// `name` with everything from its first "." replaced by `extension`
// ("*" + extension when empty, appended when it has no ".").
std::wstring ApplyExtension(const std::wstring& name, const std::wstring& extension);
// `path` with `extension` appended when its file name has no "." at all:
// a typed "sixteen" is saved as "sixteen.ico", which the icon browser
// lists; a name with any extension is the user's choice and stays.
std::wstring WithExtension(const std::wstring& path, const std::wstring& extension);

// The characters of the path the save dialog makes of `typed` in
// `folder` with `extension` added: a relative name joins the folder with a
// backslash, a name starting with a drive or "\\" stands alone.
size_t DialogPathLength(const std::wstring& folder, const std::wstring& typed, const std::wstring& extension);

}  // namespace glyph
