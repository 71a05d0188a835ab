#!/usr/bin/env bash
# The package as a user gets it: CPack makes the ZIP from the build, it is
# unpacked into a fresh folder, and a fresh Wine prefix starts the editor
# (at 96, 144 and 192 dpi) and the tools from there.
# Usage: package.sh CPACK BUILD_DIR WORK_DIR VERSION  (DISPLAY set)
source "$(dirname "$0")/../e2e/lib.sh"
cpack=$1 build=$2 work=$3 version=$4
rm -rf "$work"
mkdir -p "$work/unpacked"

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
zip="$work/out/Glyphsmith-$version-win64.zip"
[ -f "$zip" ] || fail "no $zip: $(ls "$work/out")"
(cd "$work/unpacked" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
top="$work/unpacked/Glyphsmith-$version-win64"
for f in glyphsmith.exe glyphsmith.chm help/index.html glyphicon.exe glyphpack.exe README.txt LICENSE.txt; do
  [ -s "$top/$f" ] || fail "the package has no $f"
done
for f in README.txt LICENSE.txt; do
  grep -q $'\r$' "$top/$f" || fail "$f has no Windows line ends"
done

# A prefix no earlier run has touched, with its own server; unmanaged
# windows and no crash dialog, as every test prefix has them.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
cleanup() {
  if [ -n "${pid:-}" ]; then kill "$pid" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 </dev/null || true
}
trap cleanup EXIT
wineserver -p >/dev/null 2>&1 </dev/null
wineboot -i >/dev/null 2>&1 </dev/null || fail "wineboot failed"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null

# At each display scale (Wine's LogPixels) the window opens at its size
# for that scale, its exit button where the scaled skin puts it; a
# screenshot of each is kept beside the package.
for dpi in 96 144 192; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
  (cd "$top" && exec wine ./glyphsmith.exe) >"$work/program-$dpi.log" 2>&1 </dev/null &
  pid=$!
  win=$(wait_window "^Glyphsmith v$version$" 60) || fail "the main window did not open at $dpi dpi"
  scaled() { echo $((($1 * dpi * 100 / 96 + 50) / 100)); }
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$win")"
  [ "$WIDTH" -eq "$(scaled 480)" ] && [ "$HEIGHT" -eq "$(scaled 408)" ] ||
    fail "at $dpi dpi the window is ${WIDTH}x$HEIGHT"
  xwd -silent -id "$win" | convert-im6.q16 xwd:- "png:$work/window-$dpi.png" ||
    fail "no screenshot at $dpi dpi"
  # The exit button of the skin; nothing was changed, so nothing is asked.
  xdotool mousemove --window "$win" "$(scaled 454)" "$(scaled 21)" click 1
  wait_exit "$pid" 20 || fail "the program did not end from its exit button at $dpi dpi"
  code=0
  wait "$pid" || code=$?
  pid=
  [ "$code" -eq 0 ] || fail "exit code $code at $dpi dpi"
done

(cd "$top" && wine ./glyphicon.exe --help) >"$work/glyphicon.txt" 2>&1 </dev/null || fail "glyphicon --help failed"
grep -q "^usage: glyphicon" "$work/glyphicon.txt" || fail "glyphicon --help: $(cat "$work/glyphicon.txt")"
(cd "$top" && wine ./glyphpack.exe --help) >"$work/glyphpack.txt" 2>&1 </dev/null || fail "glyphpack --help failed"
grep -q "^usage: glyphpack" "$work/glyphpack.txt" || fail "glyphpack --help: $(cat "$work/glyphpack.txt")"
echo "package: $(basename "$zip"), $(stat -c %s "$zip") bytes; the editor and the tools run from it"
