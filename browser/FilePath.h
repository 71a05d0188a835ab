// CFilePath: one path and questions about its parts (file name, folder,
// path without extension, title) and whether it exists. The path never
// changes after construction; every answer is a new string.
//
// CWideFilePath asks the same of a wide path, through the W functions, so
// a name outside the ANSI code page (a user's "иконка.ico") stays whole;
// the byte form is for the program's own names.
#pragma once

#include <string>

namespace glyph {

template <class Char>
class BasicFilePath {
 public:
  using String = std::basic_string<Char>;
  // An empty path stands for the running program's own file.
  explicit BasicFilePath(const String& path);
  virtual ~BasicFilePath() = default;

  const String& GetPath() const { return path_; }
  String GetFileName() const;   // name + extension
  String GetDirectory() const;  // drive + directory, with its trailing backslash
  String GetPathNoExt() const;  // drive + directory + name
  String GetTitle() const;      // name alone
  // True when a file or folder matches the path (wildcards match too).
  bool Exists() const;

 private:
  String path_;
};

using CFilePath = BasicFilePath<char>;
using CWideFilePath = BasicFilePath<wchar_t>;

extern template class BasicFilePath<char>;
extern template class BasicFilePath<wchar_t>;

}  // namespace glyph
