#include "tests/browser/TempTree.h"

#include "framework/Handles.h"

namespace glyph::test {

TempTree::TempTree() {
  wchar_t base[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, base);
  static int serial = 0;
  root_ = std::wstring(base) + L"glyph" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
          std::to_wstring(++serial);
  RemoveTree(root_);
  ::CreateDirectoryW(root_.c_str(), nullptr);
}

TempTree::~TempTree() { RemoveTree(root_); }

std::wstring TempTree::Dir(const std::wstring& relative) {
  std::wstring path = root_;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find(L'\\', start);
    if (end == std::wstring::npos) end = relative.size();
    path += L"\\" + relative.substr(start, end - start);
    ::CreateDirectoryW(path.c_str(), nullptr);
    start = end + 1;
  }
  return path;
}

std::wstring TempTree::File(const std::wstring& relative, const std::string& bytes) {
  if (const size_t slash = relative.rfind(L'\\'); slash != std::wstring::npos) Dir(relative.substr(0, slash));
  const std::wstring path = Path(relative);
  UniqueFile f(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (f) ::WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return path;
}

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW fd;
  {
    UniqueFind find(::FindFirstFileW((path + L"\\*").c_str(), &fd));
    if (find) {
      do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = path + L"\\" + name;
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
          RemoveTree(child);
        else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          ::RemoveDirectoryW(child.c_str());
        else
          ::DeleteFileW(child.c_str());
      } while (::FindNextFileW(find.Get(), &fd));
    }
  }
  ::RemoveDirectoryW(path.c_str());
}

}  // namespace glyph::test
