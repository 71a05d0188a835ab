#!/usr/bin/env bash
# Files scanned and icons counted per second over Wine's system folder:
# the icon browser's scan (scan_bench.exe, our own icon reader) against a
# loop of icoutils' wrestool over exactly the same files, in one run.
#   bash bench/scan.sh [build/windows]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/windows}"
source "$root/tools/setup.sh"
glyph_wineprefix "$build/wineprefix"
started=0
if wineserver -p 2>/dev/null; then started=1; fi
exe="$build/bench/scan_bench.exe"
folder='C:\windows\system32'

# Warm the file cache and Wine for both sides.
wine "$exe" "$folder" >/dev/null
ours=$(wine "$exe" "$folder" | tr -d '\r')
echo "scan_bench: $ours"

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
echo "wrestool loop: $peer"
ours_rate=$(echo "$ours" | awk '{for(i=1;i<=NF;i++) if($i=="files/s") print $(i+1)}')
peer_rate=$(echo "$peer" | awk '{for(i=1;i<=NF;i++) if($i=="files/s") print $(i+1)}')
echo "ratio (ours / wrestool, files per second): $(awk -v a="$ours_rate" -v b="$peer_rate" 'BEGIN{printf "%.1f", a/b}')"
if [ "$started" = 1 ]; then wineserver -k; fi
