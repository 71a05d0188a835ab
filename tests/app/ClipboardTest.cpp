// Pictures through the platform's clipboard, in this process: what the
// program puts, what other programs put, and what a hostile one might.
#include "app/Clipboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/BmpFormat.h"
#include "framework/Handles.h"
#include "icon/ClipboardDib.h"

namespace glyph {
namespace {

// A hidden window to own the clipboard.
class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override { ::DestroyWindow(owner_); }

  // Replaces the clipboard's contents with these formats' bytes, as
  // another program would.
  void Put(const std::vector<std::pair<UINT, std::vector<uint8_t>>>& formats) {
    ASSERT_TRUE(::OpenClipboard(owner_));
    ::EmptyClipboard();
    for (const auto& [format, bytes] : formats) {
      UniqueHGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
      {
        GlobalBytes target(memory.Get());
        std::memcpy(target.Data(), bytes.data(), bytes.size());
      }
      if (::SetClipboardData(format, memory.Get())) memory.Release();
    }
    ::CloseClipboard();
  }

  // One format's bytes as the clipboard gives them back.
  std::vector<uint8_t> Get(UINT format) {
    std::vector<uint8_t> out;
    if (!::OpenClipboard(owner_)) return out;
    GlobalBytes bytes(::GetClipboardData(format));
    if (bytes.Data()) out.assign(bytes.Data(), bytes.Data() + bytes.Size());
    ::CloseClipboard();
    return out;
  }

  HWND owner_ = nullptr;
};

icon::RgbaImage Sample() {
  icon::RgbaImage image{5, 3, {}};
  for (int i = 0; i < 15; ++i) {
    const uint8_t v = static_cast<uint8_t>(17 * i);
    image.pixels.insert(image.pixels.end(), {v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(v / 2),
                                             static_cast<uint8_t>(i % 3 == 0 ? 0 : 60 * (i % 5))});
  }
  return image;
}

// What was copied comes back with its alpha from every format put, and the
// platform draws the two DIBs with the picture's colours: other programs
// see the same picture.
TEST_F(ClipboardTest, ACopiedPictureReadsBackFromEveryFormat) {
  const icon::RgbaImage image = Sample();
  ASSERT_TRUE(CopyImageToClipboard(owner_, image));
  const ClipboardPicture pasted = ReadImageFromClipboard(owner_);
  ASSERT_TRUE(pasted.Ok()) << std::string(pasted.why.begin(), pasted.why.end());
  EXPECT_EQ(pasted.image.width, 5);
  EXPECT_EQ(pasted.image.height, 3);
  EXPECT_EQ(pasted.image.pixels, image.pixels);

  for (const UINT format : {static_cast<UINT>(CF_DIBV5), static_cast<UINT>(CF_DIB)}) {
    const std::vector<uint8_t> dib = Get(format);
    icon::RgbaImage back;
    std::string why;
    ASSERT_TRUE(icon::ReadClipboardDib(dib, back, why)) << format << ": " << why;
    EXPECT_EQ(back.pixels, image.pixels) << format;

    // Drawn by the platform into top-down 32-bit memory.
    std::vector<uint32_t> drawn(15);
    BITMAPINFO target{};
    target.bmiHeader = {sizeof(BITMAPINFOHEADER), 5, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    UniqueDC dc(::CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    UniqueBitmap surface(::CreateDIBSection(dc.Get(), &target, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(surface);
    {
      ScopedSelect select(dc.Get(), surface.Get());
      const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
      const size_t rowsAt = format == CF_DIBV5 ? sizeof(BITMAPV5HEADER) : sizeof(BITMAPINFOHEADER);
      ASSERT_EQ(::StretchDIBits(dc.Get(), 0, 0, 5, 3, 0, 0, 5, 3, dib.data() + rowsAt, info, DIB_RGB_COLORS,
                                SRCCOPY),
                3);
      ::GdiFlush();
      std::memcpy(drawn.data(), bits, 15 * 4);
    }
    for (size_t i = 0; i < 15; ++i) {
      const uint8_t* p = image.pixels.data() + 4 * i;
      EXPECT_EQ(drawn[i] & 0xFFFFFF, static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]))
          << format << " " << i;
    }
  }
}

// What another program may have put: a picture it made, or bytes that lie.
TEST_F(ClipboardTest, PicturesOthersPutAreReadOrRefusedWithTheReason) {
  // A 2 x 2 24-bit DIB, bottom-up: blue, green / red, white on top.
  std::vector<uint8_t> dib24(40 + 16, 0);
  StoreU32(dib24.data(), 40);
  StoreU32(dib24.data() + 4, 2);
  StoreU32(dib24.data() + 8, 2);
  StoreU16(dib24.data() + 12, 1);
  StoreU16(dib24.data() + 14, 24);
  const uint8_t rows[] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
  std::memcpy(dib24.data() + 40, rows, sizeof rows);
  const std::vector<uint8_t> expected = {255, 0, 0, 255, 255, 255, 255, 255, 0, 0, 255, 255, 0, 255, 0, 255};

  // The header of a 64 x 64 32-bit picture, without its rows.
  std::vector<uint8_t> lying(dib24.begin(), dib24.begin() + 40);
  StoreU32(lying.data() + 4, 64);
  StoreU32(lying.data() + 8, 64);
  StoreU16(lying.data() + 14, 32);
  lying.resize(64, 0x5A);

  const std::vector<uint8_t> notPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H'};
  const struct {
    const char* name;
    std::vector<std::pair<UINT, std::vector<uint8_t>>> formats;
    std::vector<uint8_t> pixels;  // empty: refused
    std::wstring why;             // the start of the user's reason
  } cases[] = {
      {"a 24-bit DIB", {{CF_DIB, dib24}}, expected, L""},
      {"a damaged PNG beside a good DIB", {{PngClipboardFormat(), notPng}, {CF_DIB, dib24}}, expected, L""},
      {"a DIB whose header lies",
       {{CF_DIB, lying}},
       {},
       L"The picture on the clipboard cannot be read: the picture is cut short"},
      {"text only", {{CF_UNICODETEXT, {'a', 0, 0, 0}}}, {}, L"The clipboard holds no picture."},
  };
  for (const auto& c : cases) {
    Put(c.formats);
    const ClipboardPicture pasted = ReadImageFromClipboard(owner_);
    EXPECT_EQ(pasted.image.pixels, c.pixels) << c.name;
    EXPECT_EQ(pasted.why.substr(0, c.why.size()), c.why) << c.name;
    EXPECT_EQ(pasted.Ok(), c.why.empty())
        << c.name << ": " << std::string(pasted.why.begin(), pasted.why.end());
  }
}

}  // namespace
}  // namespace glyph
