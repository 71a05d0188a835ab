// Opening a 256 + 7-size icon in the editor and showing it: the main
// window reads the file, fills the document, puts the largest size on the
// canvas and paints, against the goal of 50 ms. Runs under Wine on a
// display (bench/document_open.sh).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "icon/IcoWriter.h"
#include "icon/MakeIcon.h"

namespace {

constexpr double kGoalMs = 50.0;

// A picture with detail everywhere, so no size compresses to nothing.
glyph::icon::RgbaImage Picture(int side) {
  glyph::icon::RgbaImage image{side, side, {}};
  image.pixels.resize(static_cast<size_t>(side) * side * 4);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      uint8_t* p = image.pixels.data() + (static_cast<size_t>(y) * side + x) * 4;
      const double d = std::hypot(x - side / 2.0, y - side / 2.0) / (side / 2.0);
      p[0] = static_cast<uint8_t>(x * 255 / side);
      p[1] = static_cast<uint8_t>(y * 255 / side);
      p[2] = static_cast<uint8_t>((x * y) & 0xFF);
      p[3] = d > 1.0 ? 0 : static_cast<uint8_t>(255 - d * 100);
    }
  }
  return image;
}

void Pump() {
  MSG m;
  while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&m);
    ::DispatchMessageW(&m);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 20;
  glyph::icon::IconDocument document;
  std::string why;
  if (!glyph::icon::MakeDocument({Picture(512)}, glyph::icon::MakeOptions{}, document, why)) {
    std::fprintf(stderr, "document_open_bench: %s\n", why.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes;
  if (!glyph::icon::WriteIcoFile(document, bytes, why)) return 1;
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"document_open_bench.ico";
  if (FILE* f = _wfopen(path.c_str(), L"wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  glyph::CMainDialog window;
  if (!window.CreateModeless(nullptr)) return 1;
  Pump();
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!window.OpenFile(path, 0)) return 1;
    ::UpdateWindow(window.GetHwnd());
    Pump();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  ::DeleteFileW(path.c_str());
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf(
      "open 256+7-size icon (%zu bytes, %zu images) and show it: median %.2f ms of %d runs, "
      "goal %.0f ms: %.2fx under the goal\n",
      bytes.size(), document.images.size(), median, runs, kGoalMs, kGoalMs / median);
  return 0;
}
