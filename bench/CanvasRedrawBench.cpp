// Times one redraw of the canvas showing a 256 x 256 image, right after a
// pen stroke step, at the fit zoom and zoomed in, on the real owner-drawn
// canvas of the editor's size; the peer is the canvas's former way of
// painting (one FillRect per cell) over the same image in the same window.
// Prints one line. Run by bench/canvas_redraw.sh under Wine.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "editor/BitmapView.h"

namespace {

using glyph::CBitmapView;
using glyph::Pixel;
using Clock = std::chrono::steady_clock;

// The editor's canvas: 288 x 287 client pixels.
constexpr int kCanvasWidth = 288, kCanvasHeight = 287;
constexpr int kSide = 256;
constexpr int kSteps = 200;
constexpr int kPeerRuns = 5;
constexpr int kLargeZoom = 16;

class Host : public glyph::Window {};

// Shaded colours with a soft transparent edge: every pixel is mixed.
void DrawPicture(glyph::CDib& image) {
  const glyph::PixelView view = image.View();
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const int alpha = std::min(255, 64 + (x + y) / 2);
      view.At(x, y) = static_cast<Pixel>(alpha) << 24 | static_cast<Pixel>(x) << 16 |
                      static_cast<Pixel>(y) << 8 | static_cast<Pixel>((x * y) & 0xFF);
    }
  }
}

double Median(std::vector<double> ms) {
  std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
  return ms[ms.size() / 2];
}

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Timing {
  double redraw, step;
};

// A pen stroke across the visible part, one cell per move; each move draws
// and repaints (the step), then one more redraw alone is timed.
Timing StrokeAndRedraw(CBitmapView& view) {
  const int zoom = view.GetZoom();
  std::vector<double> redraws, steps;
  ::SendMessageA(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 100));
  for (int i = 0; i < kSteps; ++i) {
    const int x = 40 + (i % 20) * zoom, y = 100 + ((i / 20) % 8) * zoom;
    Clock::time_point start = Clock::now();
    ::SendMessageA(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    steps.push_back(MsSince(start));
    start = Clock::now();
    view.Repaint();
    ::GdiFlush();
    redraws.push_back(MsSince(start));
  }
  ::SendMessageA(view, WM_LBUTTONUP, 0, MAKELPARAM(40, 100));
  return Timing{Median(redraws), Median(steps)};
}

// The former paint: ground, grid lines, then one FillRect per cell.
double PeerRedraw(HWND canvas, const glyph::CDib& image) {
  std::vector<double> ms;
  const int cell = 1;
  for (int run = 0; run < kPeerRuns; ++run) {
    const Clock::time_point start = Clock::now();
    glyph::WindowDC dc(canvas);
    const RECT all{0, 0, kCanvasWidth, kCanvasHeight};
    ::FillRect(dc.Get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
    const glyph::PixelView view = image.View();
    glyph::ScopedSelect brush(dc.Get(), ::GetStockObject(DC_BRUSH));
    for (int y = 0; y < kSide; ++y) {
      for (int x = 0; x < kSide; ++x) {
        ::SetDCBrushColor(dc.Get(), glyph::ColorFromPixel(view.At(x, y)) & 0xFFFFFF);
        const RECT r{x * cell, y * cell, (x + 1) * cell, (y + 1) * cell};
        ::FillRect(dc.Get(), &r, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
      }
    }
    ::GdiFlush();
    ms.push_back(MsSince(start));
  }
  return Median(ms);
}

}  // namespace

int main() {
  if (!glyph::Window::RegisterClass("GlyphBenchHost", 0, nullptr, ::GetSysColorBrush(COLOR_BTNFACE)))
    return 1;
  Host host;
  if (!host.Create("GlyphBenchHost", "canvas_redraw", WS_POPUP | WS_VISIBLE, 0,
                   RECT{20, 20, 20 + kCanvasWidth + 20, 20 + kCanvasHeight + 20}, nullptr, 0)) {
    std::fprintf(stderr, "canvas_redraw: no window (is there a display?)\n");
    return 1;
  }
  HWND button =
      ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, kCanvasWidth,
                        kCanvasHeight, host.GetHwnd(), reinterpret_cast<HMENU>(1000), nullptr, nullptr);
  CBitmapView view;
  if (!button || !view.Subclass(button)) return 1;
  glyph::CDib image;
  if (!image.Create(kSide, kSide)) return 1;
  DrawPicture(image);
  view.SetImage(&image);
  glyph::PumpMessages();

  StrokeAndRedraw(view);  // warm up
  const int fitZoom = view.GetZoom();
  const Timing fit = StrokeAndRedraw(view);
  while (view.GetZoom() < kLargeZoom) view.ZoomIn();
  const int largeZoom = view.GetZoom();
  const Timing large = StrokeAndRedraw(view);
  const double peer = PeerRedraw(button, image);
  std::printf(
      "canvas_redraw %dx%d in %dx%d: redraw %.2f ms at fit zoom %d, %.2f ms at zoom %d (pen step with redraw "
      "%.2f / %.2f ms); former per-cell paint %.1f ms (%.0fx the fit redraw)\n",
      kSide, kSide, kCanvasWidth, kCanvasHeight, fit.redraw, fitZoom, large.redraw, largeZoom, fit.step,
      large.step, peer, peer / fit.redraw);
  view.SetImage(nullptr);
  view.Unsubclass();
  host.DestroyWindow();
  return 0;
}
