#!/usr/bin/env bash
# Times glyphsmith.exe and a bare dialog program from launch to their
# visible window, side by side under the same Wine server and display, and
# shows where glyphsmith.exe's time goes: each of its runs writes its
# start-up marks (skin/StartupTrace.h), and the median of each phase over
# the runs is printed, from launch to WinMain to the first paint.
# Usage: bash bench/startup.sh [runs]   (after a build of the windows preset)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/setup.sh"
runs="${1:-10}"
build="$root/build/windows"
traces="$(mktemp -d)"
unset DISPLAY
glyph_display
glyph_wineprefix "$build/wineprefix"
glyph_wineserver
trap 'wineserver -k 2>/dev/null || true; glyph_stop_display; rm -rf "$traces"' EXIT

# The marks of a traced run come after its window shows (its first paint);
# wait a little for them before ending the program.
wait_for_trace() {
  local file="$1" i
  for i in $(seq 200); do
    [[ -s "$file" ]] && return 0
    sleep 0.01
  done
}

# Milliseconds from launch until a visible window with the title appears.
# A third argument: the trace file the program writes (the launch time is
# written beside it).
time_one() {
  local exe="$1" title="$2" trace="${3:-}" start end pid
  if [[ -n "$trace" ]]; then export GLYPH_STARTUP_TRACE="Z:${trace//\//\\}"; else unset GLYPH_STARTUP_TRACE; fi
  start=$(date +%s%N)
  wine "$exe" >/dev/null 2>&1 &
  pid=$!
  local deadline=$((SECONDS + 30))
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
    if ((SECONDS > deadline)); then
      echo "no visible window titled $title 30 s after starting $exe" >&2
      kill "$pid" 2>/dev/null || true
      return 1
    fi
    sleep 0.005
  done
  end=$(date +%s%N)
  if [[ -n "$trace" ]]; then
    wait_for_trace "$trace"
    echo "$start $end" >"$trace.launch"
  fi
  kill "$pid" 2>/dev/null || true
  glyph_wineserver   # the old server's end takes the Windows process with it
  wait "$pid" 2>/dev/null || true
  unset GLYPH_STARTUP_TRACE
  echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : int((a[NR/2]+a[NR/2+1])/2))}'; }

glyph=() bare=()
for i in $(seq "$runs"); do
  glyph+=("$(time_one "$build/app/glyphsmith.exe" '^Glyphsmith v1\.0\.0$' "$traces/run$i.txt")")
  bare+=("$(time_one "$build/bench/bare_dialog.exe" '^Bare dialog$')")
done
g=$(printf '%s\n' "${glyph[@]}" | median)
b=$(printf '%s\n' "${bare[@]}" | median)
echo "runs: $runs"
echo "glyphsmith.exe  median ${g} ms  (${glyph[*]})"
echo "bare dialog     median ${b} ms  (${bare[*]})"
python3 "$root/bench/startup_phases.py" "$traces"/run*.txt || true
awk -v g="$g" -v b="$b" 'BEGIN { printf "ratio glyphsmith / bare: %.2f\n", g / b }'
