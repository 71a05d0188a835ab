#!/usr/bin/env bash
# Files scanned and icons counted per second over Wine's system folder:
# the icon browser's scan (scan_bench.exe, our own icon reader) against the
# platform's in-process count (ExtractIconW(file, -1)) over exactly the same
# files, side by side in one process for RUNS runs; then, as a check of the
# icon totals, a loop of icoutils' wrestool over the same files.
#   bash bench/scan.sh [build/windows] [RUNS]
# PROFILE=1 also prints where a scan's time goes per file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# Absolute: the Wine prefix inside it must be named by an absolute path.
build="$(cd "${1:-$root/build/windows}" && pwd)"
runs="${2:-5}"
source "$root/tools/setup.sh"
glyph_wineprefix "$build/wineprefix"
started=0
if wineserver -p 2>/dev/null; then started=1; fi
exe="$build/bench/scan_bench.exe"
folder='C:\windows\system32'

# Warm the file cache and Wine for both sides.
wine "$exe" "$folder" --runs 1 >/dev/null
wine "$exe" "$folder" --runs "$runs" | tr -d '\r'
if [ "${PROFILE:-0}" = 1 ]; then wine "$exe" "$folder" --profile | tr -d '\r'; fi

list=$(mktemp)
trap 'rm -f "$list"' EXIT
wine "$exe" "$folder" --list | tr -d '\r' |
  sed -e 's|^[Cc]:|'"$WINEPREFIX"'/drive_c|' -e 's|\\|/|g' >"$list"
start=$(date +%s.%N)
icons=0
files=0
while IFS= read -r f; do
  n=$(wrestool --type=group_icon -l "$f" 2>/dev/null | grep -c . || true)
  icons=$((icons + n))
  files=$((files + 1))
done <"$list"
end=$(date +%s.%N)
peer=$(echo "$files $icons $start $end" | awk '{s=$4-$3; printf "files %d icons %d seconds %.3f files/s %.0f", $1, $2, s, $1/s}')
echo "wrestool loop (one process a file): $peer"
if [ "$started" = 1 ]; then wineserver -k; fi
