#!/usr/bin/env bash
# End to end: an icon of a library loaded through the real "Choose Icon"
# dialog by mouse and keyboard brings its whole group; its 32 x 32 is drawn
# on and the icon saved and read back: every image is there, and the
# 32 x 32's opaque pixels are those of the same icon taken out of the
# library by icoutils.
# Usage: load_icon.sh GLYPHSMITH_EXE OUT_DIR  (DISPLAY and WINEPREFIX set)
source "$(dirname "$0")/lib.sh"
exe=$(realpath "$1")
out=$2
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY"
rm -rf "$out"
mkdir -p "$out/icons"
# The dialog starts in the current folder; its remembered placement goes,
# so that it opens at its own size.
cp "$WINEPREFIX/drive_c/windows/system32/shell32.dll" "$out/icons/"
wine reg delete 'HKCU\Software\Vorlane\Glyphsmith' /f >/dev/null 2>&1 || true

# The first group icon, as icoutils sees it.
# (sed reads the whole list: a reader that stops early would fail the pipe)
first=$(wrestool -l --type=group_icon "$out/icons/shell32.dll" | sed -n "1s/.*--name=\([^ ]*\) .*/\1/p" | tr -d "'")
[ -n "$first" ] || fail "icoutils found no icon in shell32.dll"
wrestool -x --type=group_icon --name="$first" -o "$out/reference.ico" "$out/icons/shell32.dll" ||
  fail "icoutils could not extract $first"

(cd "$out/icons" && exec wine "$exe") >"$out/program.log" 2>&1 &
pid=$!
cleanup() { kill "$pid" 2>/dev/null || true; }
trap cleanup EXIT
win=$(wait_window "^Glyphsmith v1.0.0$" 30) || fail "the main window did not open"

# BUTTON_LOAD, then in "Choose Icon": the file's row, its first icon, OK.
load_first_icon "$win"
wait_window "^Glyphsmith - shell32$" 10 >/dev/null || fail "the title does not name the library"

# The group's images in ascending size, the 256 x 256 being edited: six
# steps down is the 32 x 32 at 32 bits. The pen (the tool at start, black,
# size 1) sets its last cell of the last row. The canvas shows it from
# (115, 56) in cells of 8 x 8.
xdotool windowfocus "$win"
for i in 1 2 3 4 5 6; do xdotool key Prior; sleep 0.1; done
sleep 0.3
xdotool mousemove --window "$win" $((115 + 8 * 31 + 4)) $((56 + 8 * 31 + 4)) click 1
sleep 0.3

# Save through the save dialog; its proposed name is the library's.
xdotool mousemove --window "$win" 49 89 click 1
save_in_dialog "$(winpath "$out/loaded.ico")"
wait_window "^Glyphsmith - loaded.ico$" 10 >/dev/null || fail "the title does not name the saved file"
xdotool mousemove --window "$win" 454 21 click 1
wait_exit "$pid" 20 || fail "the program did not end on BUTTON_EXIT"
trap - EXIT

/usr/bin/python3 - "$out/reference.ico" "$out/loaded.ico" <<'PY'
import sys
from PIL import Image
ref = Image.open(sys.argv[1])
ref.size = (32, 32)  # the 32 x 32 at the most bits, the one edited
ref = ref.convert("RGBA").load()
saved = Image.open(sys.argv[2])
if len(saved.ico.entry) != 10:
    print(f"{len(saved.ico.entry)} images saved, not the group's 10")
    sys.exit(1)
saved.size = (32, 32)
got = saved.convert("RGBA").load()
bad, opaque = [], 0
if got[31, 31] != (0, 0, 0, 255):
    bad.append(f"(31,31) {got[31, 31]} is not the pen's black dot")
for y in range(32):
    for x in range(32):
        if (x, y) == (31, 31):
            continue
        r, g = ref[x, y], got[x, y]
        if r[3] == 255:
            opaque += 1
            if g[3] != 255 or max(abs(r[i] - g[i]) for i in range(3)) > 2:
                bad.append(f"({x},{y}) {g} is not {r}")
        elif r[3] == 0 and g[3] != 0 and g[:3] != (192, 192, 192):
            bad.append(f"({x},{y}) {g} is not transparent")
if opaque < 50:
    bad.append(f"only {opaque} opaque pixels in the reference")
if bad:
    print("\n".join(bad[:20]))
    sys.exit(1)
print(f"loaded icon: {opaque} opaque pixels as in the library")
PY
