#include "browser/IconSource.h"

#include <vector>

namespace glyph {
namespace {

// Reads at most `limit` bytes of the file.
std::vector<unsigned char> ReadHead(const std::wstring& path, DWORD limit, ULONGLONG& fileSize) {
  std::vector<unsigned char> out;
  UniqueFile f(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!f || !::GetFileSizeEx(f.Get(), &size)) return out;
  fileSize = static_cast<ULONGLONG>(size.QuadPart);
  out.resize(static_cast<size_t>(fileSize < limit ? fileSize : limit));
  DWORD got = 0;
  if (!::ReadFile(f.Get(), out.data(), static_cast<DWORD>(out.size()), &got, nullptr)) got = 0;
  out.resize(got);
  return out;
}

unsigned Le16(const unsigned char* p) { return p[0] | (p[1] << 8); }
unsigned long Le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<unsigned long>(p[3]) << 24);
}

// An icon file with at least one image that lies inside the file.
bool IsIconFile(const std::vector<unsigned char>& head, ULONGLONG fileSize) {
  if (head.size() < 6 + 16 || Le16(&head[0]) != 0 || Le16(&head[2]) != 1 || Le16(&head[4]) == 0) return false;
  const unsigned char* e = &head[6];
  const ULONGLONG bytes = Le32(e + 8), offset = Le32(e + 12);
  return bytes >= 40 && offset >= 6 && offset + bytes <= fileSize;
}

class ModuleIcons {
 public:
  explicit ModuleIcons(const std::wstring& path)
      : module_(::LoadLibraryExW(path.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
    if (module_)
      ::EnumResourceNamesW(module_.Get(), MAKEINTRESOURCEW(14), &Collect, reinterpret_cast<LONG_PTR>(this));
  }
  int Count() const { return static_cast<int>(names_.size()); }
  UniqueIcon Make(int index) const {
    if (index < 0 || index >= Count()) return {};
    const std::wstring& name = names_[static_cast<size_t>(index)];
    LPCWSTR id = name[0] == L'#' ? MAKEINTRESOURCEW(_wtoi(name.c_str() + 1)) : name.c_str();
    HRSRC group = ::FindResourceW(module_.Get(), id, MAKEINTRESOURCEW(14));
    HGLOBAL groupData = group ? ::LoadResource(module_.Get(), group) : nullptr;
    auto* dir = groupData ? static_cast<BYTE*>(::LockResource(groupData)) : nullptr;
    if (!dir) return {};
    const int iconId = ::LookupIconIdFromDirectoryEx(dir, TRUE, 0, 0, LR_DEFAULTCOLOR);
    HRSRC icon =
        iconId ? ::FindResourceW(module_.Get(), MAKEINTRESOURCEW(iconId), MAKEINTRESOURCEW(3)) : nullptr;
    HGLOBAL iconData = icon ? ::LoadResource(module_.Get(), icon) : nullptr;
    auto* bits = iconData ? static_cast<BYTE*>(::LockResource(iconData)) : nullptr;
    if (!bits) return {};
    return UniqueIcon(::CreateIconFromResourceEx(bits, ::SizeofResource(module_.Get(), icon), TRUE,
                                                 0x00030000, 0, 0, LR_DEFAULTCOLOR | LR_DEFAULTSIZE));
  }

 private:
  static BOOL CALLBACK Collect(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR self) {
    auto* me = reinterpret_cast<ModuleIcons*>(self);
    if (IS_INTRESOURCE(name))
      me->names_.push_back(L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)));
    else
      me->names_.push_back(name);
    return TRUE;
  }
  UniqueModule module_;
  std::vector<std::wstring> names_;
};

// Icon files are checked by our own code; modules go through the loader's
// resource lookup as data files.
class StandardIconSource : public IconSource {
 public:
  int Count(const std::wstring& path) override {
    ULONGLONG size = 0;
    const std::vector<unsigned char> head = ReadHead(path, 64, size);
    if (IsIconFile(head, size)) return 1;
    if (head.size() < 64 || head[0] != 'M' || head[1] != 'Z') return 0;
    return ModuleIcons(path).Count();
  }
  UniqueIcon Extract(const std::wstring& path, int index) override {
    ULONGLONG size = 0;
    const std::vector<unsigned char> head = ReadHead(path, 64, size);
    if (IsIconFile(head, size)) {
      if (index != 0) return {};
      return UniqueIcon(static_cast<HICON>(
          ::LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
    }
    if (head.size() < 64 || head[0] != 'M' || head[1] != 'Z') return {};
    return ModuleIcons(path).Make(index);
  }
  std::vector<UniqueIcon> ExtractAll(const std::wstring& path) override {
    ULONGLONG size = 0;
    const std::vector<unsigned char> head = ReadHead(path, 64, size);
    if (IsIconFile(head, size) || head.size() < 64 || head[0] != 'M' || head[1] != 'Z')
      return IconSource::ExtractAll(path);
    const ModuleIcons module(path);
    std::vector<UniqueIcon> out;
    for (int i = 0; i < module.Count(); ++i) out.push_back(module.Make(i));
    return out;
  }
};

}  // namespace

IconSource& DefaultIconSource() {
  static StandardIconSource source;
  return source;
}

}  // namespace glyph
