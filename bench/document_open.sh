#!/usr/bin/env bash
# Opening a 256 + 7-size icon in the editor and showing it, against the
# goal of 50 ms: the median of RUNS opens in one process.
#   bash bench/document_open.sh [RUNS]   (after a build of the windows preset)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/setup.sh"
build="$root/build/windows"
unset DISPLAY
glyph_display
glyph_wineprefix "$build/wineprefix"
glyph_wineserver
trap 'wineserver -k 2>/dev/null || true; glyph_stop_display' EXIT
wine "$build/bench/document_open_bench.exe" "${1:-20}" | tr -d '\r'
