#include "browser/IconExtract.h"

#include <vector>

namespace glyph {

namespace {

// Larger files are not icon sources anyone points at; mapping them would
// only cost address space.
constexpr ULONGLONG kMaxFileSize = 1ull << 30;
// Resource format version that CreateIconFromResourceEx expects.
constexpr DWORD kIconResourceVersion = 0x00030000;

int DisplayBits() {
  WindowDC screen(nullptr);
  if (!screen.Get()) return 32;
  return ::GetDeviceCaps(screen.Get(), BITSPIXEL) * ::GetDeviceCaps(screen.Get(), PLANES);
}

UniqueIcon MakeImageIcon(const IconImage& image, std::span<const uint8_t> file, int size) {
  if (image.offset > file.size() || image.size > file.size() - image.offset || image.size == 0) return {};
  // A private copy: the platform takes a non-const pointer, and the
  // mapped view is read-only.
  std::vector<BYTE> bits(file.begin() + image.offset, file.begin() + image.offset + image.size);
  return UniqueIcon(::CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), TRUE,
                                               kIconResourceVersion, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

UniqueIcon MakeGroupIcon(const IconGroup& group, std::span<const uint8_t> file, int size) {
  if (size <= 0) size = ::GetSystemMetrics(SM_CXICON);
  const int best = ChooseIconImage(group, size, DisplayBits());
  if (best < 0) return {};
  if (UniqueIcon icon = MakeImageIcon(group.images[static_cast<size_t>(best)], file, size)) return icon;
  for (size_t i = 0; i < group.images.size(); ++i) {
    if (static_cast<int>(i) == best) continue;
    if (UniqueIcon icon = MakeImageIcon(group.images[i], file, size)) return icon;
  }
  return {};
}

bool IconFile::Open(const std::wstring& path) {
  scan_ = IconScan();
  bytes_ = {};
  view_.Reset();
  mapping_.Reset();
  // Others may read but not write while it is mapped: nobody can cut the
  // file short under the reader.
  file_.Reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  auto fail = [&](const char* why) {
    scan_.refused = true;
    scan_.problem = why;
    return false;
  };
  if (!file_) return fail("cannot open the file");
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file_.Get(), &size)) return fail("cannot tell the file's size");
  if (size.QuadPart == 0) return fail("empty file");
  if (static_cast<ULONGLONG>(size.QuadPart) > kMaxFileSize) return fail("file too large");
  mapping_.Reset(::CreateFileMappingW(file_.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping_) return fail("cannot map the file");
  view_.Reset(::MapViewOfFile(mapping_.Get(), FILE_MAP_READ, 0, 0, 0));
  if (!view_) return fail("cannot map the file");
  bytes_ =
      std::span<const uint8_t>(static_cast<const uint8_t*>(view_.Get()), static_cast<size_t>(size.QuadPart));
  scan_ = ReadIcons(bytes_);
  return !scan_.refused;
}

UniqueIcon IconFile::Icon(size_t index, int size) const {
  if (index >= scan_.groups.size()) return {};
  return MakeGroupIcon(scan_.groups[index], bytes_, size);
}

size_t CountFileIcons(const std::wstring& path) {
  IconFile file;
  file.Open(path);
  return file.Count();
}

UniqueIcon LoadFileIcon(const std::wstring& path, size_t index, int size) {
  IconFile file;
  if (!file.Open(path)) return {};
  return file.Icon(index, size);
}

}  // namespace glyph
