#!/usr/bin/env bash
# End to end: a 512 x 512 PNG with alpha given on the command line opens
# fitted into 256 x 256; Ctrl+M makes every standard size from it; Page Up
# steps down to the 16 x 16, where the pen sets one pixel; Ctrl+S asks
# where (a picture of one image cannot hold the sizes) and the dialog
# offers the whole icon. Pillow and icotool then read every size: the 16
# holds the edit, the others match the picture resampled, alpha kept.
# Usage: document_sizes.sh GLYPHSMITH_EXE OUT_DIR  (DISPLAY and WINEPREFIX set)
source "$(dirname "$0")/lib.sh"
exe=$(realpath "$1")
out=$2
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY"
rm -rf "$out"
mkdir -p "$out"

/usr/bin/python3 - "$out/picture.png" <<'PY'
import math, sys
from PIL import Image
size = 512
image = Image.new("RGBA", (size, size))
px = image.load()
for y in range(size):
    for x in range(size):
        d = math.hypot(x - size / 2, y - size / 2) / (size / 2)
        alpha = 0 if d > 0.95 else (255 if d < 0.7 else int(255 * (0.95 - d) / 0.25))
        px[x, y] = (x // 2, y // 2, 255 - x // 2, alpha)
image.save(sys.argv[1])
PY

(cd "$out" && exec wine "$exe" picture.png) >"$out/program.log" 2>&1 &
pid=$!
cleanup() { kill "$pid" 2>/dev/null || true; }
trap cleanup EXIT
win=$(wait_window "^Glyphsmith - picture$" 30) || fail "the main window did not open the picture"
xdotool windowfocus "$win"
xdotool key ctrl+m
sleep 0.5
for i in 1 2 3 4 5 6 7; do xdotool key Prior; sleep 0.1; done
sleep 0.3
# The canvas (288 x 287 at (99, 41)) fits a 16 x 16 image at 17 pixels a
# cell from (8, 7): the middle of cell (2, 2) is at (149, 90).
xdotool mousemove --window "$win" 149 90 click 1
sleep 0.3
wait_window "^\*Glyphsmith - picture$" 10 >/dev/null || fail "the title does not mark the change"
xdotool key ctrl+s
save_in_dialog "$(winpath "$out")\\sizes.ico"
wait_window "^Glyphsmith - sizes.ico$" 10 >/dev/null || fail "the title does not name sizes.ico"
kill "$pid" 2>/dev/null || true
trap - EXIT

listed=$(icotool -l "$out/sizes.ico" | grep -c -- '--width=') || fail "icotool cannot list sizes.ico"
[ "$listed" -eq 8 ] || fail "icotool lists $listed images, not 8"
/usr/bin/python3 - "$out/picture.png" "$out/sizes.ico" <<'PY' || fail "the saved sizes do not match"
import sys
from PIL import Image
source = Image.open(sys.argv[1]).convert("RGBA")
icon = Image.open(sys.argv[2])
sizes = sorted(s[0] for s in icon.info["sizes"])
assert sizes == [16, 20, 24, 32, 40, 48, 64, 256], sizes
for side in sizes:
    icon.size = (side, side)
    got = icon.convert("RGBA")
    want = source.resize((side, side), Image.LANCZOS)
    g, w = got.load(), want.load()
    if side == 16:
        assert g[2, 2] == (0, 0, 0, 255), g[2, 2]
    total = count = 0
    partial = 0
    for y in range(side):
        for x in range(side):
            if side == 16 and (x, y) == (2, 2):
                continue
            a, b = g[x, y], w[x, y]
            total += abs(a[3] - b[3]) + sum(abs(a[i] - b[i]) for i in range(3)) * b[3] / 255
            count += 4
            partial += 0 < a[3] < 255
    mean = total / count
    assert mean < 4, f"{side}: mean difference {mean:.2f}"
    assert partial > 0, f"{side}: no half-transparent pixel"
    print(f"{side}: mean difference {mean:.2f}, {partial} half-transparent pixels")
PY
echo "PASS"
