#include "browser/FileReader.h"

#include <algorithm>

namespace glyph {

namespace {
// ReadFile takes a 32-bit count; large reads go in pieces of this size.
constexpr uint64_t kMaxPiece = 1u << 30;
}  // namespace

bool FileReader::OpenListed(const std::wstring& path, uint64_t size, std::string& why) {
  size_ = 0;
  file_.Reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) {
    why = "cannot open the file";
    return false;
  }
  size_ = size;
  return true;
}

bool FileReader::Open(const std::wstring& path, std::string& why) {
  if (!OpenListed(path, 0, why)) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file_.Get(), &size) || size.QuadPart < 0) {
    why = "cannot tell the file's size";
    file_.Reset();
    return false;
  }
  size_ = static_cast<uint64_t>(size.QuadPart);
  return true;
}

bool FileReader::Read(uint64_t offset, std::span<uint8_t> out) {
  if (!file_ || offset > size_ || out.size() > size_ - offset) return false;
  while (!out.empty()) {
    // The reader owns its handle, so the file position is its own. A read
    // given an OVERLAPPED costs Wine a round trip to its server (to post a
    // completion) on top of the read; seeking first costs nothing there.
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file_.Get(), at, nullptr, FILE_BEGIN)) return false;
    const DWORD piece = static_cast<DWORD>(std::min<uint64_t>(out.size(), kMaxPiece));
    DWORD got = 0;
    // A file cut short since it was opened gives 0 bytes: a failure too.
    if (!::ReadFile(file_.Get(), out.data(), piece, &got, nullptr) || got == 0) return false;
    offset += got;
    out = out.subspan(got);
  }
  return true;
}

}  // namespace glyph
