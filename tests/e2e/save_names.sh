#!/usr/bin/env bash
# End to end: the real save dialog takes a name outside the code page typed
# without an extension (by a program in a folder named so too); the file
# gets the type's extension, the title names it, "Choose Icon" finds it and
# loads it back, and Pillow reads it. Leaving with unsaved changes asks
# first: Cancel keeps the program, No ends it with exit code 0.
# Usage: save_names.sh GLYPHSMITH_EXE OUT_DIR  (DISPLAY and WINEPREFIX set)
source "$(dirname "$0")/lib.sh"
exe=$(realpath "$1")
out=$2
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY"
rm -rf "$out"
mkdir -p "$out"
# "Choose Icon" opens at its own size, not at a placement kept from before.
wine reg delete 'HKCU\Software\Vorlane\Glyphsmith' /f >/dev/null 2>&1 || true
name=$(printf '\xe5\x9b\xbe\xe6\xa0\x87')  # 图标, "icon" in Chinese
# Before the program starts, so that it reads a keymap with both characters.
map_characters "$name" || fail "cannot bind keys to $name"

# The program runs from a folder named outside the code page too (it reads
# its skin from its own file), beside the folder it works in.
rm -rf "${out}_program"
folder="${out}_program/$(printf '\xd0\x9f\xd1\x80\xd0\xbe\xd0\xb3\xd1\x80\xd0\xb0\xd0\xbc\xd0\xbc\xd1\x8b')"  # Программы
mkdir -p "$folder"
cp "$exe" "$folder/glyphsmith.exe"

(cd "$out" && exec wine "$folder/glyphsmith.exe") >"$out/program.log" 2>&1 &
pid=$!
cleanup() { kill "$pid" 2>/dev/null || true; }
trap cleanup EXIT
win=$(wait_window "^Glyphsmith v1.0.0$" 30) || fail "the main window did not open"

# The canvas shows the image from (115, 56) in cells of 8 x 8 pixels; the
# pen (the tool at start, black) sets cell (5, 6).
pen() { xdotool mousemove --window "$win" $((115 + 8 * $1 + 4)) $((56 + 8 * $2 + 4)) click 1; sleep 0.3; }
pen 5 6
wait_window "^\*Glyphsmith v1.0.0$" 10 >/dev/null || fail "the title does not mark the change"

# The save button (QaS); the name typed without an extension, Enter.
xdotool mousemove --window "$win" 49 89 click 1
save_in_dialog "$(winpath "$out")\\$name"
wait_window "^Glyphsmith - $name.ico$" 10 >/dev/null || fail "the title does not name $name.ico"
[ -s "$out/$name.ico" ] || fail "no file $name.ico: $(ls "$out")"

# Load it back through "Choose Icon" (BUTTON_LOAD): the dialog starts in
# the current folder, whose only icon file is the one just saved. Its row,
# its icon, OK; the title then names the file loaded.
load_first_icon "$win"
wait_window "^Glyphsmith - $name$" 10 >/dev/null || fail "the title does not name the loaded $name"

# A second change, then the exit button: the question; Escape is Cancel.
pen 7 6
wait_window "^\*Glyphsmith - $name$" 10 >/dev/null || fail "the title does not mark the second change"
xdotool mousemove --window "$win" 454 21 click 1
box=$(wait_window "^Glyphsmith$" 10) || fail "exit with unsaved changes did not ask"
sleep 0.3
xdotool key Escape
wait_no_window "^Glyphsmith$" 10 || fail "the question did not close on Cancel"
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the program ended although Cancel was chosen"
xdotool search --name "^\*Glyphsmith - $name$" >/dev/null || fail "the window is gone after Cancel"

# Alt+F4, the close request: asked again; No ends the program unsaved.
xdotool key alt+F4
wait_window "^Glyphsmith$" 10 >/dev/null || fail "Alt+F4 with unsaved changes did not ask"
sleep 0.3
xdotool key n
wait_exit "$pid" 20 || fail "the program did not end on No"
trap - EXIT
code=0
wait "$pid" || code=$?
[ "$code" -eq 0 ] || fail "exit code $code"

/usr/bin/python3 - "$out/$name.ico" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1])
assert im.size == (32, 32), im.size
px = im.convert("RGBA").load()
bad = [f"{xy}: {px[xy]}" for xy, want in [((5, 6), (0, 0, 0, 255)), ((7, 6), None), ((0, 0), None)]
       if (want and px[xy] != want) or (not want and px[xy][3] != 0)]
if bad:
    print("\n".join(bad))
    sys.exit(1)
print("saved icon: the first dot only, as saved before the unsaved second one")
PY
