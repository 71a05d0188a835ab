#include "browser/IconExtract.h"

#include <vector>

#include "browser/FileReader.h"

namespace glyph {

namespace {

// Larger files are not icon sources anyone points at.
constexpr uint64_t kMaxFileSize = 1ull << 30;
// Resource format version that CreateIconFromResourceEx expects.
constexpr DWORD kIconResourceVersion = 0x00030000;

int DisplayBits() {
  WindowDC screen(nullptr);
  if (!screen.Get()) return 32;
  return ::GetDeviceCaps(screen.Get(), BITSPIXEL) * ::GetDeviceCaps(screen.Get(), PLANES);
}

UniqueIcon MakeImageIcon(const icon::IconImage& image, icon::ByteReader& file, int size) {
  // Whole image bytes, the mask plane added where the file left it out;
  // a private copy, as the platform takes a non-const pointer.
  std::vector<uint8_t> bits = icon::ReadIconImage(image, file);
  if (bits.empty()) return {};
  return UniqueIcon(::CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()), TRUE,
                                               kIconResourceVersion, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

UniqueIcon MakeGroupIcon(const icon::IconGroup& group, icon::ByteReader& file, int size) {
  if (size <= 0) size = ::GetSystemMetrics(SM_CXICON);
  const int best = icon::ChooseIconImage(group, size, DisplayBits());
  if (best < 0) return {};
  if (UniqueIcon icon = MakeImageIcon(group.images[static_cast<size_t>(best)], file, size)) return icon;
  for (size_t i = 0; i < group.images.size(); ++i) {
    if (static_cast<int>(i) == best) continue;
    if (UniqueIcon icon = MakeImageIcon(group.images[i], file, size)) return icon;
  }
  return {};
}

bool IconFile::Refuse(std::string why) {
  reader_.reset();
  scan_ = icon::IconScan();
  scan_.refused = true;
  scan_.problem = std::move(why);
  return false;
}

bool IconFile::Open(const std::wstring& path) {
  auto file = std::make_unique<FileReader>();
  std::string why;
  if (!file->Open(path, why)) return Refuse(why);
  return Open(std::move(file));
}

bool IconFile::Open(std::unique_ptr<icon::ByteReader> reader) {
  if (!reader) return Refuse("cannot open the file");
  if (reader->Size() > kMaxFileSize) return Refuse("file too large");
  reader_ = std::move(reader);
  scan_ = icon::ReadIcons(*reader_);
  return !scan_.refused;
}

UniqueIcon IconFile::Icon(size_t index, int size) const {
  if (!reader_ || index >= scan_.groups.size()) return {};
  return MakeGroupIcon(scan_.groups[index], *reader_, size);
}

size_t CountFileIcons(const std::wstring& path) {
  // The folder scan's count: one image header read per icon instead of
  // all of them, and nothing kept.
  FileReader file;
  std::string why;
  if (!file.Open(path, why) || file.Size() > kMaxFileSize) return 0;
  return icon::CountIcons(file);
}

size_t CountFileIcons(const std::wstring& path, uint64_t listedSize) {
  if (listedSize > kMaxFileSize) return 0;
  FileReader file;
  std::string why;
  if (!file.OpenListed(path, listedSize, why)) return 0;
  return icon::CountIcons(file);
}

UniqueIcon LoadFileIcon(const std::wstring& path, size_t index, int size) {
  IconFile file;
  if (!file.Open(path)) return {};
  return file.Icon(index, size);
}

}  // namespace glyph
