// A scratch folder under the temporary directory for tests that need real
// files; removed with everything in it when the object dies.
#pragma once

#include <windows.h>

#include <string>

namespace glyph::test {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The root, without a trailing backslash.
  const std::wstring& Root() const { return root_; }
  std::wstring Path(const std::wstring& relative) const { return root_ + L"\\" + relative; }
  // Creates the folder and its parents; returns its path.
  std::wstring Dir(const std::wstring& relative);
  // Creates a file (and its folders) with the given bytes; returns its path.
  std::wstring File(const std::wstring& relative, const std::string& bytes);

 private:
  std::wstring root_;
};

// Removes a folder tree (reparse points are removed, not followed).
void RemoveTree(const std::wstring& path);

}  // namespace glyph::test
