#include "editor/SizesPreview.h"

#include <algorithm>
#include <string>

#include "core/Dib.h"
#include "icon/IcoWriter.h"

namespace glyph {
namespace {

constexpr char kClassName[] = "GlyphSizesPreview";
constexpr int kLabelHeight = 16;
// Resource format version that CreateIconFromResourceEx expects.
constexpr DWORD kIconResourceVersion = 0x00030000;
// The bytes of an icon file before its only image: directory and entry.
constexpr size_t kSingleImageOffset = 6 + 16;

// A platform icon of one image, from the bytes an icon file would hold. A
// PNG size is shown from 32-bit bytes: the same pixels, without encoding
// a PNG on every change.
UniqueIcon MakeIcon(const icon::IconDocumentImage& image) {
  icon::IconDocument single;
  single.images.push_back(image);
  if (image.storage == icon::IconStorage::kPng)
    single.images[0] = {image.pixels, icon::IconStorage::kBmp, 32};
  std::vector<uint8_t> bytes;
  std::string why;
  if (!icon::WriteIcoFile(single, bytes, why) || bytes.size() <= kSingleImageOffset) return {};
  return UniqueIcon(::CreateIconFromResourceEx(
      bytes.data() + kSingleImageOffset, static_cast<DWORD>(bytes.size() - kSingleImageOffset), TRUE,
      kIconResourceVersion, image.pixels.width, image.pixels.height, LR_DEFAULTCOLOR));
}

}  // namespace

void CSizesPreview::Show(HWND owner) {
  Rebuild();
  if (!GetHwnd()) {
    RegisterClass(kClassName, CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW), nullptr);
    RECT place{};
    ::GetWindowRect(owner, &place);
    const RECT rect{place.right + 8, place.top, place.right + 408, place.top + 300};
    if (!Create(kClassName, "Preview", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, rect, owner, 0))
      return;
    ::DefWindowProcW(GetHwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kTitle));
  }
  // The window fits its contents.
  const SIZE size = ClientSize();
  RECT frame{0, 0, size.cx, size.cy};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(GetHwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(GetHwnd(), GWL_EXSTYLE)));
  ::SetWindowPos(GetHwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(GetHwnd(), SW_SHOWNA);
  ::InvalidateRect(GetHwnd(), nullptr, FALSE);
}

void CSizesPreview::OnClose() { ::ShowWindow(GetHwnd(), SW_HIDE); }

void CSizesPreview::Rebuild() {
  icons_.clear();
  if (!source_) return;
  for (const icon::IconDocumentImage& image : source_().images)
    icons_.push_back(Shown{MakeIcon(image), image.pixels.width, image.pixels.height});
}

void CSizesPreview::Refresh() {
  if (!IsOpen()) return;
  Show(::GetWindow(GetHwnd(), GW_OWNER));
}

int CSizesPreview::BandHeight() const {
  int tallest = 16;
  for (const Shown& shown : icons_) tallest = std::max(tallest, shown.height);
  return kGap + tallest + kLabelHeight + kGap;
}

SIZE CSizesPreview::ClientSize() const {
  int width = kGap;
  for (const Shown& shown : icons_) width += std::max(shown.width, 24) + kGap;
  return SIZE{std::max(width, 160), 2 * BandHeight()};
}

RECT CSizesPreview::LightPlace(size_t index) const {
  int x = kGap;
  for (size_t i = 0; i < index && i < icons_.size(); ++i) x += std::max(icons_[i].width, 24) + kGap;
  const Shown& shown = icons_[index];
  const int top = kGap + (BandHeight() - 2 * kGap - kLabelHeight - shown.height);
  return RECT{x, top, x + shown.width, top + shown.height};
}

RECT CSizesPreview::DarkPlace(size_t index) const {
  RECT place = LightPlace(index);
  ::OffsetRect(&place, 0, BandHeight());
  return place;
}

void CSizesPreview::OnPaint() {
  PaintDC paint(GetHwnd());
  Rebuild();
  RECT client{};
  ::GetClientRect(GetHwnd(), &client);
  // Drawn into a 32-bit image first: the platform mixes an icon's alpha
  // there, where a display-format bitmap may only take its mask.
  CDib buffer;
  if (client.right <= 0 || client.bottom <= 0 ||
      !buffer.Create(static_cast<uint32_t>(client.right), static_cast<uint32_t>(client.bottom)))
    return;
  HDC dc = buffer.LockDC();
  if (!dc) return;
  const int band = BandHeight();
  const COLORREF grounds[2] = {kLight, kDark};
  ::SetBkMode(dc, TRANSPARENT);
  ScopedSelect font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  for (int b = 0; b < 2; ++b) {
    const RECT area{0, b * band, client.right, (b + 1) * band};
    ::SetDCBrushColor(dc, grounds[b]);
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
    ::SetTextColor(dc, b == 0 ? RGB(64, 64, 64) : RGB(200, 200, 200));
    for (size_t i = 0; i < icons_.size(); ++i) {
      const RECT place = b == 0 ? LightPlace(i) : DarkPlace(i);
      if (icons_[i].icon)
        ::DrawIconEx(dc, place.left, place.top, icons_[i].icon.Get(), icons_[i].width, icons_[i].height, 0,
                     nullptr, DI_NORMAL);
      const std::wstring label = std::to_wstring(icons_[i].width);
      RECT text{place.left - kGap / 2, place.bottom + 2,
                place.left + std::max(icons_[i].width, 24) + kGap / 2, place.bottom + 2 + kLabelHeight};
      ::DrawTextW(dc, label.c_str(), -1, &text, DT_SINGLELINE | DT_CENTER | DT_TOP | DT_NOPREFIX);
    }
  }
  ::BitBlt(paint.Get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  buffer.UnlockDC();
}

}  // namespace glyph
