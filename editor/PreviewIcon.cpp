#include "editor/PreviewIcon.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>

#include "editor/FileReplace.h"
#include "editor/IconFormat.h"

namespace glyph {
namespace {

constexpr SIZE_T kPictureBufferBytes = 100000;

class BoxSink final : public MessageSink {
 public:
  void Show(HWND owner, const std::wstring& text) override {
    ::MessageBoxW(owner, text.c_str(), kAppTitleW, MB_OK);
  }
  int Ask(HWND owner, const std::wstring& text) override {
    return ::MessageBoxW(owner, text.c_str(), kAppTitleW, MB_YESNOCANCEL | MB_ICONQUESTION);
  }
};

std::vector<uint8_t> BmpBytes(CDib& dib) {
  MemoryStream stream;
  if (dib.WriteBmp(stream) == 0) return {};
  return stream.Bytes();
}

}  // namespace

MessageSink& PlatformMessageSink() {
  static BoxSink sink;
  return sink;
}

CPreviewIcon::CPreviewIcon() : sink_(&PlatformMessageSink()) { working_.Create(kIconSide, kIconSide); }

void CPreviewIcon::Compose() {
  if (working_.IsEmpty() || !source_ || source_->IsEmpty()) return;
  source_->CopyTo(working_);
  const PixelView view = working_.View();
  const Pixel ground = WithAlpha(background_, kAlphaOpaque);
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) {
      Pixel& p = view.At(x, y);
      p = SameColor(p, transparent_) ? ground : PaintOver(ground, p, BrushWeight(AlphaOf(p), kOpaque, 255));
    }
  }
}

void CPreviewIcon::ComposeOpaque() {
  if (working_.IsEmpty() || !source_ || source_->IsEmpty()) return;
  source_->CopyTo(working_);
  const PixelView view = working_.View();
  for (int y = 0; y < view.height; ++y)
    for (int x = 0; x < view.width; ++x)
      view.At(x, y) = IsMasked(view.At(x, y), transparent_) ? background_ : view.At(x, y) & kColorBits;
}

void CPreviewIcon::OnPaint() {
  PaintDC paint(GetHwnd());
  RECT client{};
  ::GetClientRect(GetHwnd(), &client);
  CPaintBuffer buffer(paint.Get(), client);
  HDC dc = buffer.Get();
  {
    CDib background;
    if (background.Create(kIconSide, kIconSide)) {
      background.Fill((background_ >> 16) & 0xFF, (background_ >> 8) & 0xFF, background_ & 0xFF);
      HDC source = background.LockDC();
      ::StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, kIconSide, kIconSide, SRCCOPY);
      background.UnlockDC();
    }
  }
  if (working_.IsEmpty()) return;
  Compose();
  HDC source = working_.LockDC();
  ::BitBlt(dc, (client.right - kIconSide) / 2, (client.bottom - kIconSide) / 2, kIconSide, kIconSide, source,
           0, 0, SRCCOPY);
  working_.UnlockDC();
}

UniqueIcon CPreviewIcon::MakeIcon() {
  if (!source_ || source_->IsEmpty() || working_.IsEmpty()) return UniqueIcon();
  source_->CopyTo(working_);
  const IconPlanes planes = BuildIconPlanes(working_.View(), transparent_, false);
  return UniqueIcon(::CreateIcon(::GetModuleHandleA(nullptr), kIconSide, kIconSide, 1, 24, planes.mask.data(),
                                 planes.color.data()));
}

bool CPreviewIcon::WriteOrReport(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  const WriteFailure failure = ReplaceFile(path, bytes);
  if (failure == WriteFailure::kNone) return true;
  sink_->Show(GetHwnd(), L"Cannot write the file " + path + L": " + DescribeWriteFailure(failure));
  return false;
}

bool CPreviewIcon::SaveTrueColorIcon(const std::wstring& path) {
  if (!source_ || source_->IsEmpty() || working_.IsEmpty()) return false;
  source_->CopyTo(working_);
  return WriteOrReport(path, BuildTrueColorIcon(working_.View(), transparent_));
}

CPreviewIcon::PictureResult CPreviewIcon::SaveThroughPicture(HICON icon, std::vector<uint8_t>& bytes) {
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  ComPtr<IPicture> picture;
  if (FAILED(::OleCreatePictureIndirect(&description, IID_IPicture, FALSE, picture.PutVoid())) || !picture) {
    sink_->Show(GetHwnd(), L"Error");
    return PictureResult::kFailed;
  }
  UniqueHGlobal block(::GlobalAlloc(GMEM_MOVEABLE, kPictureBufferBytes));
  if (!block) {
    sink_->Show(GetHwnd(), L"Error");
    return PictureResult::kFailed;
  }
  ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(block.Get(), TRUE, stream.Put())) || !stream) {
    sink_->Show(GetHwnd(), L"Error stm");
    return PictureResult::kFailed;
  }
  HGLOBAL memory = block.Release();  // the stream frees it now
  LONG size = 0;
  if (FAILED(picture->SaveAsFile(stream.Get(), TRUE, &size))) {
    sink_->Show(GetHwnd(), L"Error save");
    return PictureResult::kFailed;
  }
  // The stream may have grown the block: read through the stream's own handle.
  HGLOBAL current = nullptr;
  if (FAILED(::GetHGlobalFromStream(stream.Get(), &current)) || !current) current = memory;
  const SIZE_T available = ::GlobalSize(current);
  if (size <= 0 || static_cast<SIZE_T>(size) > available) return PictureResult::kEmpty;
  const void* data = ::GlobalLock(current);
  if (!data) return PictureResult::kEmpty;
  const auto* begin = static_cast<const uint8_t*>(data);
  bytes.assign(begin, begin + size);
  ::GlobalUnlock(current);
  return PictureResult::kWritten;
}

bool CPreviewIcon::Save16ColorIcon(const std::wstring& path) {
  UniqueIcon icon = MakeIcon();
  if (!icon) {
    sink_->Show(GetHwnd(), L"Error");
    return false;
  }
  std::vector<uint8_t> bytes;
  switch (SaveThroughPicture(icon.Get(), bytes)) {
    case PictureResult::kFailed:
      return false;
    case PictureResult::kEmpty:
      // The picture object wrote nothing (Wine's does so for icons it did
      // not load from a file): write the standard 4-bit icon ourselves.
      bytes = BuildSixteenColorIcon(working_.View(), transparent_);
      break;
    case PictureResult::kWritten:
      break;
  }
  return WriteOrReport(path, bytes);
}

bool CPreviewIcon::SaveBitmap(const std::wstring& path) {
  if (working_.IsEmpty()) return false;
  // Composed here rather than relying on the last paint: an icon export in
  // between leaves the transparent colour in the working copy, and the
  // preview mixes half-transparent pixels the file cannot hold.
  ComposeOpaque();
  return WriteOrReport(path, BmpBytes(working_));
}

}  // namespace glyph
