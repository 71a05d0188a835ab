#include "app/PictureFile.h"

#include <vector>

#include "browser/IconExtract.h"
#include "core/Stream.h"

namespace glyph {
namespace {

// A .bmp file larger than this is no picture for a 32 x 32 editor.
constexpr DWORD kMaxBitmapBytes = 16u << 20;
// The two bytes every .bmp file starts with.
constexpr char kBitmapMagic[] = "BM";
// Images of this many bits per pixel or fewer are what a 16-colour icon holds.
constexpr int kSixteenColorBits = 4;

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& bytes) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxBitmapBytes) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  return bytes.empty() ||
         (::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
          read == bytes.size());
}

bool StartsLikeBitmap(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char magic[2] = {};
  DWORD read = 0;
  return file && ::ReadFile(file.Get(), magic, sizeof magic, &read, nullptr) && read == sizeof magic &&
         magic[0] == kBitmapMagic[0] && magic[1] == kBitmapMagic[1];
}

bool AllSixteenColors(const icon::IconGroup& group) {
  if (group.images.empty()) return false;
  for (const icon::IconImage& image : group.images)
    if (image.png || image.bitsPerPixel > kSixteenColorBits) return false;
  return true;
}

}  // namespace

bool PictureFile::Fail(std::wstring why) {
  icon_.Reset();
  bitmap_.Release();
  why_ = std::move(why);
  return false;
}

bool PictureFile::Load(const std::wstring& path, size_t index) {
  why_.clear();
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Fail(L"it does not exist.");
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(L"it is a folder.");
  if (StartsLikeBitmap(path)) return LoadBitmap(path);
  IconFile file;
  if (!file.Open(path) && file.Scan().problem == "cannot open the file") return Fail(L"it cannot be read.");
  if (index >= file.Count())
    return Fail(file.Count() == 0 ? L"it holds no icon." : L"it holds no such icon.");
  icon_ = file.Icon(index, 0);
  if (!icon_) return Fail(L"its icon is damaged.");
  canSaveBack_ = file.Scan().kind == icon::IconFileKind::Ico;
  format_ = AllSixteenColors(file.Scan().groups[index]) ? kSixteenColorIcon : kTrueColorIcon;
  return true;
}

bool PictureFile::LoadBitmap(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) return Fail(L"it cannot be read.");
  MemoryStream stream(bytes.data(), bytes.size());
  if (bitmap_.ReadBmp(stream) == 0 || bitmap_.IsEmpty()) return Fail(L"it is a damaged bitmap.");
  canSaveBack_ = true;
  format_ = kBitmapFile;
  return true;
}

void PictureFile::DrawInto(CDib& image) {
  const PixelView view = image.View();
  if (!view.bits) return;
  // GDI draws without alpha: what it drew is made opaque afterwards, and
  // what the icon's mask left keeps its alpha.
  const std::vector<Pixel> before(view.bits, view.bits + view.Count());
  HDC target = image.LockDC();
  if (!target) return;
  if (icon_) {
    ::DrawIcon(target, 0, 0, icon_.Get());
  } else if (!bitmap_.IsEmpty()) {
    if (HDC source = bitmap_.LockDC()) {
      ::BitBlt(target, 0, 0, static_cast<int>(bitmap_.GetWidth()), static_cast<int>(bitmap_.GetHeight()),
               source, 0, 0, SRCCOPY);
      bitmap_.UnlockDC();
    }
  }
  image.UnlockDC();
  MakeChangedPixelsOpaque(view, before.data());
}

}  // namespace glyph
