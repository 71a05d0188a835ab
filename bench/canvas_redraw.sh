#!/usr/bin/env bash
# Times one redraw of the canvas (bench/CanvasRedrawBench.cpp) under Wine on
# a display of its own; prints the bench's one line.
#   bash bench/canvas_redraw.sh [build/windows]   (after a build of the windows preset)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/windows}"
source "$root/tools/setup.sh"
unset DISPLAY
glyph_display
glyph_wineprefix "$build/wineprefix"
glyph_wineserver
trap 'wineserver -k 2>/dev/null || true; glyph_stop_display' EXIT
wine "$build/bench/canvas_redraw.exe" | tr -d '\r'
