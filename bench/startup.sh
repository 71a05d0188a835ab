#!/usr/bin/env bash
# Times glyphsmith.exe and a bare dialog program from launch to their
# visible window, side by side under the same Wine server and display.
# Usage: bash bench/startup.sh [runs]   (after a build of the windows preset)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/setup.sh"
runs="${1:-10}"
build="$root/build/windows"
unset DISPLAY
glyph_display
glyph_wineprefix "$build/wineprefix"
glyph_wineserver
trap 'wineserver -k 2>/dev/null || true; glyph_stop_display' EXIT

# Milliseconds from launch until a visible window with the title appears.
time_one() {
  local exe="$1" title="$2" start end pid
  start=$(date +%s%N)
  wine "$exe" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do sleep 0.005; done
  end=$(date +%s%N)
  kill "$pid" 2>/dev/null || true
  glyph_wineserver   # the old server's end takes the Windows process with it
  wait "$pid" 2>/dev/null || true
  echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2))}'; }

glyph=() bare=()
for _ in $(seq "$runs"); do
  glyph+=("$(time_one "$build/app/glyphsmith.exe" '^Glyphsmith v1\.0\.0$')")
  bare+=("$(time_one "$build/bench/bare_dialog.exe" '^Bare dialog$')")
done
g=$(printf '%s\n' "${glyph[@]}" | median)
b=$(printf '%s\n' "${bare[@]}" | median)
echo "runs: $runs"
echo "glyphsmith.exe  median ${g} ms  (${glyph[*]})"
echo "bare dialog     median ${b} ms  (${bare[*]})"
awk -v g="$g" -v b="$b" 'BEGIN { printf "ratio glyphsmith / bare: %.2f\n", g / b }'
