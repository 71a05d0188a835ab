// CFilePath: one path and questions about its parts (file name, folder,
// path without extension, title) and whether it exists. The path never
// changes after construction; every answer is a new string.
#pragma once

#include <string>

namespace glyph {

class CFilePath {
 public:
  // An empty path stands for the running program's own file.
  explicit CFilePath(const std::string& path);
  virtual ~CFilePath() = default;

  const std::string& GetPath() const { return path_; }
  std::string GetFileName() const;   // name + extension
  std::string GetDirectory() const;  // drive + directory, with its trailing backslash
  std::string GetPathNoExt() const;  // drive + directory + name
  std::string GetTitle() const;      // name alone
  // True when a file or folder matches the path (wildcards match too).
  bool Exists() const;

 private:
  std::string path_;
};

}  // namespace glyph
