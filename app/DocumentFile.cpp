#include "app/DocumentFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "framework/Handles.h"
#include "icon/DocumentReader.h"
#include "icon/IconResources.h"
#include "icon/MakeIcon.h"

namespace glyph {
namespace {

// As the icon browser: a file larger than this holds no icon for us.
constexpr LONGLONG kMaxFileBytes = 1LL << 30;

enum class ReadResult { kRead, kMissing, kFolder, kUnreadable };

ReadResult ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& bytes) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ReadResult::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ReadResult::kFolder;
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return ReadResult::kUnreadable;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxFileBytes) return ReadResult::kUnreadable;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr) || read == 0)
      return ReadResult::kUnreadable;
    done += read;
  }
  return ReadResult::kRead;
}

bool HasExtension(const std::wstring& path, const wchar_t* extension) {
  const size_t dot = path.find_last_of(L"./\\");
  return dot != std::wstring::npos && path[dot] == L'.' && ::lstrcmpiW(path.c_str() + dot, extension) == 0;
}

}  // namespace

std::wstring WidenAscii(const std::string& text) { return std::wstring(text.begin(), text.end()); }

bool PictureDocument(const icon::RgbaImage& picture, icon::IconDocument& out, std::wstring& why) {
  icon::MakeOptions options;
  const int side = std::max(picture.width, picture.height);
  if (side <= icon::kMaxIconSide && side > 0) {
    out.images = {{picture, side >= options.pngFrom ? icon::IconStorage::kPng : icon::IconStorage::kBmp, 32}};
    return true;
  }
  options.sizes = {icon::kMaxIconSide};
  std::string reason;
  if (icon::MakeDocument({picture}, options, out, reason)) return true;
  why = L"it is a picture that cannot be made an icon (" + WidenAscii(reason) + L").";
  return false;
}

bool DocumentFile::Fail(std::wstring why) {
  document_ = icon::IconDocument{};
  why_ = std::move(why);
  return false;
}

bool DocumentFile::Load(const std::wstring& path, size_t index) {
  why_.clear();
  std::vector<uint8_t> bytes;
  switch (ReadWholeFile(path, bytes)) {
    case ReadResult::kMissing:
      return Fail(L"it does not exist.");
    case ReadResult::kFolder:
      return Fail(L"it is a folder.");
    case ReadResult::kUnreadable:
      return Fail(L"it cannot be read.");
    case ReadResult::kRead:
      break;
  }
  const std::span<const uint8_t> file(bytes);
  if (icon::IsPicture(file)) {
    icon::DocumentRead read = icon::ReadDocument(file, index);
    if (!read.Ok()) {
      // Larger than an icon: fitted into the largest icon size.
      icon::RgbaImage picture;
      std::string why;
      if (index != 0) return Fail(L"it holds no such icon.");
      if (!icon::ReadPicture(file, picture, why))
        return Fail(L"it is a damaged picture (" + WidenAscii(why) + L").");
      std::wstring cannot;
      if (!PictureDocument(picture, read.document, cannot)) return Fail(cannot);
    }
    document_ = std::move(read.document);
    canSaveBack_ = true;
    format_ = file[0] == 'B' ? kBitmapFile : kPngPicture;
    // A picture read back as it was written keeps its name's format.
    if (HasExtension(path, L".bmp")) format_ = kBitmapFile;
    return true;
  }
  const icon::IconScan scan = icon::ReadIcons(file);
  if (scan.groups.empty()) return Fail(L"it holds no icon.");
  if (index >= scan.groups.size()) return Fail(L"it holds no such icon.");
  icon::DocumentRead read = icon::ReadDocument(file, index);
  if (!read.Ok()) return Fail(L"its icon is damaged (" + WidenAscii(read.error) + L").");
  document_ = std::move(read.document);
  canSaveBack_ = scan.kind == icon::IconFileKind::Ico;
  format_ = kAllSizesIcon;
  return true;
}

}  // namespace glyph
