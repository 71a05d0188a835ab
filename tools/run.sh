#!/usr/bin/env bash
# Sets up, builds and starts the editor under Wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/setup.sh"
glyph_install_packages
cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows --target glyphsmith
# A prefix of its own with managed windows, as on a desktop (the tests'
# prefix keeps them unmanaged). Wine's HTML engine may be used here: the
# help viewer shows its pages when Gecko is installed (README).
glyph_wineprefix "$root/build/windows/run-prefix" managed
export WINEDLLOVERRIDES="mscoree="
if [ -z "${DISPLAY:-}" ]; then
  glyph_display
  echo "run: no display found; the editor runs on the virtual display $DISPLAY"
  echo "run: (look at it with: xwd -root -display $DISPLAY | convert-im6.q16 xwd:- shot.png)"
  trap glyph_stop_display EXIT
fi
wine "$root/build/windows/app/glyphsmith.exe" "$@"
