#include "app/Clipboard.h"

#include <cstring>
#include <span>
#include <vector>

#include "framework/Handles.h"
#include "icon/ClipboardDib.h"
#include "icon/PngCodec.h"

namespace glyph {
namespace {

// Another program (a clipboard viewer) may hold the clipboard for a
// moment: a few tries, a little apart, before giving up.
constexpr int kOpenTries = 5;
constexpr DWORD kOpenRetryMs = 20;

// OpenClipboard / CloseClipboard.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    for (int i = 0; i < kOpenTries && !open_; ++i) {
      if (i) ::Sleep(kOpenRetryMs);
      open_ = ::OpenClipboard(owner) != FALSE;
    }
  }
  ~OpenedClipboard() {
    if (open_) ::CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

UniqueHGlobal GlobalCopy(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return {};
  UniqueHGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
  GlobalBytes target(memory.Get());
  if (!target.Data()) return {};
  std::memcpy(target.Data(), bytes.data(), bytes.size());
  return memory;
}

// Hands `memory` to the clipboard, which frees it from then on.
bool Put(UINT format, UniqueHGlobal memory) {
  if (!memory || !::SetClipboardData(format, memory.Get())) return false;
  memory.Release();
  return true;
}

// A reader's sentence (ASCII) as a clause of ours: no capital, no stop.
std::wstring Clause(const std::string& sentence) {
  std::wstring clause(sentence.begin(), sentence.end());
  if (!clause.empty() && clause.back() == L'.') clause.pop_back();
  // "The PNG file ..." becomes "the PNG file ..."; "PNG ..." stays.
  if (clause.size() > 1 && clause[0] >= L'A' && clause[0] <= L'Z' && clause[1] >= L'a' && clause[1] <= L'z')
    clause[0] = static_cast<wchar_t>(clause[0] - L'A' + L'a');
  return clause;
}

// One format's picture; false with the reader's sentence in `why`.
bool ReadFormat(UINT format, icon::RgbaImage& image, std::string& why) {
  // The clipboard keeps the memory: it is only read here.
  HGLOBAL memory = ::GetClipboardData(format);
  GlobalBytes bytes(memory);
  if (!bytes.Data()) {
    why = "its bytes cannot be read";
    return false;
  }
  const std::span<const uint8_t> data(bytes.Data(), bytes.Size());
  return format == PngClipboardFormat() ? icon::DecodePng(data, image, why)
                                        : icon::ReadClipboardDib(data, image, why);
}

}  // namespace

UINT PngClipboardFormat() {
  static const UINT format = ::RegisterClipboardFormatW(L"PNG");
  return format;
}

bool CopyImageToClipboard(HWND owner, const icon::RgbaImage& image) {
  // Everything is made before the clipboard is emptied: a picture that
  // cannot be made leaves what was there.
  std::vector<uint8_t> png;
  std::string why;
  if (!icon::EncodePng(image, png, why)) png.clear();
  UniqueHGlobal pngMemory = GlobalCopy(png);
  UniqueHGlobal v5Memory = GlobalCopy(icon::WriteClipboardDibV5(image));
  UniqueHGlobal dibMemory = GlobalCopy(icon::WriteClipboardDib(image));
  if (!pngMemory && !v5Memory && !dibMemory) return false;

  OpenedClipboard clipboard(owner);
  if (!clipboard || !::EmptyClipboard()) return false;
  bool put = Put(PngClipboardFormat(), std::move(pngMemory));
  put |= Put(CF_DIBV5, std::move(v5Memory));
  put |= Put(CF_DIB, std::move(dibMemory));
  return put;
}

ClipboardPicture ReadImageFromClipboard(HWND owner) {
  ClipboardPicture picture;
  OpenedClipboard clipboard(owner);
  if (!clipboard) {
    picture.why = L"The clipboard is in use by another program. Try again.";
    return picture;
  }
  std::string firstWhy;
  for (const UINT format : {PngClipboardFormat(), static_cast<UINT>(CF_DIBV5), static_cast<UINT>(CF_DIB)}) {
    if (!format || !::IsClipboardFormatAvailable(format)) continue;
    std::string why;
    if (ReadFormat(format, picture.image, why)) return picture;
    if (firstWhy.empty()) firstWhy = why.empty() ? "it is damaged" : why;
  }
  picture.image = {};
  picture.why = firstWhy.empty() ? L"The clipboard holds no picture."
                                 : L"The picture on the clipboard cannot be read: " + Clause(firstWhy) + L".";
  return picture;
}

}  // namespace glyph
