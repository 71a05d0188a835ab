#!/usr/bin/env bash
# End to end: glyphsmith.exe opens an icon file named on its command line,
# is driven by mouse and keyboard only at the skin's positions (tools,
# canvas, sliders, colour dialog, undo, the real save dialog, exit), and
# the file it saved is read back by Pillow.
# Usage: edit_icon.sh GLYPHSMITH_EXE OUT_DIR  (DISPLAY and WINEPREFIX set)
source "$(dirname "$0")/lib.sh"
exe=$1
out=$2
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY"
rm -rf "$out"
mkdir -p "$out"

# The icon to edit: its left half opaque red, its right half transparent.
/usr/bin/python3 - "$out/sample.ico" <<'PY'
import sys
from PIL import Image
im = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
for y in range(32):
    for x in range(16):
        im.putpixel((x, y), (255, 0, 0, 255))
im.save(sys.argv[1], sizes=[(32, 32)])
PY

wine "$exe" "$(winpath "$out/sample.ico")" >"$out/program.log" 2>&1 &
pid=$!
cleanup() { kill "$pid" 2>/dev/null || true; }
trap cleanup EXIT

win=$(wait_window "^Glyphsmith - sample$" 30) || fail "the main window did not open with the icon's name"

# Skin positions (client coordinates) and the canvas's cells: the canvas
# (288 x 287 at (99, 41)) shows the 32 x 32 image in cells of 8 x 8
# pixels, centred: from (115, 56).
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; sleep 0.2; }
cell_x() { echo $((115 + 8 * $1 + 4)); }
cell_y() { echo $((56 + 8 * $1 + 4)); }
# Drags with the left button through the given window points.
drag() {
  xdotool mousemove --window "$win" "$1" "$2" mousedown 1
  shift 2
  while [ $# -ge 2 ]; do
    sleep 0.05
    xdotool mousemove --window "$win" "$1" "$2"
    shift 2
  done
  sleep 0.05
  xdotool mouseup 1
  sleep 0.2
}
cell_drag() {
  local points=()
  while [ $# -ge 2 ]; do
    points+=("$(cell_x "$1")" "$(cell_y "$2")")
    shift 2
  done
  drag "${points[@]}"
}

# A black filled rectangle in the transparent half (TOOL_FILL_RECT).
click 31 223
cell_drag 18 2 21 5 25 9

# Brush colour (0, 200, 0) through the colour dialog (BRUSH_COLOR, below its well).
click 247 385
wait_window "^Color$" 10 >/dev/null || fail "the colour dialog did not open"
sleep 0.3
xdotool type --delay 30 "0"
xdotool key Tab
xdotool type --delay 30 "200"
xdotool key Tab
xdotool type --delay 30 "0"
xdotool key Return
wait_no_window "^Color$" 10 || fail "the colour dialog did not close"

# A bigger brush (TRACKBAR_SIZE thumb dragged right), then a pen dot.
drag 107 389 115 389 121 389
click 31 154
click "$(cell_x 22)" "$(cell_y 22)"

# Half opacity (TRACKBAR_TRANSP thumb to the middle), then a filled
# rectangle over the red half: red and green mixed.
drag 107 356 125 356 142 356
click 31 223
cell_drag 2 20 4 23 6 26

# A line, then undo (TOOL_LINE, TOOL_UNDO).
click 67 154
cell_drag 17 28 23 28 29 28
click 31 120

# Save through the real save dialog (QaS).
click 49 89
save_in_dialog "$(winpath "$out/edited.ico")"
wait_window "^Glyphsmith - edited.ico$" 10 >/dev/null || fail "the title does not name the saved file"
[ -s "$out/edited.ico" ] || fail "no file saved"

# Exit (BUTTON_EXIT): the program ends.
click 454 21
wait_exit "$pid" 20 || fail "the program did not end on BUTTON_EXIT"
trap - EXIT

/usr/bin/python3 - "$out/edited.ico" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1])
assert im.size == (32, 32), im.size
im = im.convert("RGBA")
px = im.load()
errors = []
def expect(xy, test, what):
    if not test(px[xy]):
        errors.append(f"{xy}: {px[xy]} is not {what}")
opaque = lambda c: c[3] == 255
expect((4, 4), lambda c: c == (255, 0, 0, 255), "the icon's red")
expect((29, 14), lambda c: c[3] == 0, "transparent")
for xy in [(19, 3), (21, 5), (24, 8)]:
    expect(xy, lambda c: c == (0, 0, 0, 255), "the black rectangle")
expect((22, 22), lambda c: c == (0, 200, 0, 255), "the green pen")
green = sum(1 for y in range(18, 27) for x in range(18, 27) if px[x, y] == (0, 200, 0, 255))
if green < 4:
    errors.append(f"the pen dot covers {green} pixels, not a bigger brush")
for xy in [(3, 21), (4, 23), (5, 25)]:
    expect(xy, lambda c: opaque(c) and 60 <= c[0] <= 200 and 50 <= c[1] <= 160 and c[2] < 30,
           "red and green mixed at half opacity")
for x in range(18, 29):
    expect((x, 28), lambda c: c[3] == 0, "transparent again after the undo")
if errors:
    print("\n".join(errors))
    sys.exit(1)
print("edited icon: all pixels as drawn")
PY
