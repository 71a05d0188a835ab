#!/usr/bin/env bash
# Sets up, builds every preset and runs every test: the Windows tests under
# Wine on a virtual display, the portable tests natively under ASan/UBSan.
# One CTest run covers both builds so its summary line carries every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/setup.sh"
glyph_install_packages
cd "$root"

jobs=$(nproc)
for preset in windows windows-x86 host; do
  echo "test: building $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

all="$root/build/all"
mkdir -p "$all"
cat > "$all/CTestTestfile.cmake" <<EOT
subdirs("$root/build/host")
subdirs("$root/build/windows")
EOT

# Our own display, never the user's: tests must not depend on what is on screen.
saved_display="${DISPLAY:-}"
unset DISPLAY
glyph_display
glyph_wineprefix "$root/build/windows/wineprefix"
# One server for the whole run, its services started outside CTest's pipe.
glyph_wineserver
cleanup() {
  WINEPREFIX="$root/build/windows/wineprefix" wineserver -k 2>/dev/null || true
  glyph_stop_display
  if [ -n "$saved_display" ]; then export DISPLAY="$saved_display"; fi
}
trap cleanup EXIT

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir "$all" --output-on-failure -j "$jobs" "$@"
