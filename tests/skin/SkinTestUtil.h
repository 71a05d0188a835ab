// Shared pieces of the skin's Windows tests: pictures made in memory, an
// archive held in memory, a prompt that records instead of showing, and a
// parent window that records the skinned controls' notifications.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Window.h"
#include "skin/SkinBitmap.h"
#include "skin/SkinButton.h"
#include "skin/SkinContext.h"
#include "skin/SkinNotify.h"
#include "skin/SkinTrackbar.h"

namespace glyph::skin::test {

// A 24-bit .bmp file of the given size; pixel(x, y) gives 0x00BBGGRR.
template <class F>
std::string MakeBmp(int w, int h, F pixel) {
  const int stride = (w * 3 + 3) & ~3;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * h);
  std::string out(54 + imageSize, '\0');
  auto put32 = [&out](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  out[26] = 1;
  out[28] = 24;
  put32(34, imageSize);
  for (int y = 0; y < h; ++y) {
    const std::size_t row = 54 + static_cast<std::size_t>(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      const COLORREF c = pixel(x, y);
      out[row + x * 3 + 0] = static_cast<char>(GetBValue(c));
      out[row + x * 3 + 1] = static_cast<char>(GetGValue(c));
      out[row + x * 3 + 2] = static_cast<char>(GetRValue(c));
    }
  }
  return out;
}
inline std::string SolidBmp(int w, int h, COLORREF c) {
  return MakeBmp(w, h, [c](int, int) { return c; });
}

// A screen-compatible bitmap filled with one colour.
UniqueBitmap SolidBitmap(int w, int h, COLORREF c);
// The pixel of a bitmap as 0x00BBGGRR.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);
// A client-area pixel of a window as 0x00BBGGRR, read from the screen.
COLORREF ScreenPixel(HWND hwnd, int x, int y);
std::string ReadFileBytes(const std::string& path);

class MemoryArchive : public SkinArchive {
 public:
  std::map<std::string, std::string> items;
  std::vector<std::string> reads;
  std::optional<std::string> ReadFile(const std::string& name) override {
    reads.push_back(name);
    auto it = items.find(name);
    if (it == items.end()) return std::nullopt;
    return it->second;
  }
};

// Records the messages of one skin context while it lives.
class RecordingPrompt : public SkinPrompt {
 public:
  explicit RecordingPrompt(SkinContext& context) : context_(context), previous_(context.SetPrompt(this)) {}
  ~RecordingPrompt() override { context_.SetPrompt(previous_); }
  struct Shown {
    std::string text, caption;
  };
  std::vector<Shown> shown;
  void Show(HWND, const char* text, const char* caption) override {
    shown.push_back(Shown{text ? text : "", caption ? caption : "(none)"});
  }

 private:
  SkinContext& context_;
  SkinPrompt* previous_;
};

// Test windows keep to the right of the screen, away from other test
// programs that CTest runs at the same time on the same display.
constexpr int kScreenLeft = 860;
constexpr int kScreenTop = 560;
// Makes the window active again (another test program may have taken over).
void Activate(HWND hwnd);

// A visible, active pop-up window that records what skinned controls report.
class TestParent : public Window, public SkinNotify {
 public:
  explicit TestParent(const RECT& screenRect, HBRUSH background = nullptr);
  ~TestParent() override;
  std::vector<std::string> events;

  void ProgressNotifyByIndex(int index) override { events.push_back("progress " + std::to_string(index)); }
  void ButtonClickedByIndex(int index) override { events.push_back("click " + std::to_string(index)); }
  void TrackbarNotifyByIndex(int index, int code, int position) override {
    events.push_back("track " + std::to_string(index) + " " + std::to_string(code) + " " +
                     std::to_string(position));
  }
  void TextClickedByIndex(int index) override { events.push_back("text " + std::to_string(index)); }
  void SkinMouseMove(const std::string& name, UINT, POINT) override { moves.push_back(name); }
  std::vector<std::string> moves;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (ReflectSkinScroll(msg, wp, lp)) return 0;
    return Window::WindowProc(msg, wp, lp);
  }
};

// Client point of a window as the lParam of a mouse message.
inline LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace glyph::skin::test
