#!/usr/bin/env bash
# End to end: "glyphsmith.exe /UNINSTALL" removes the application profile
# with its sections, opens no window and ends by itself.
# Usage: uninstall.sh GLYPHSMITH_EXE  (DISPLAY and WINEPREFIX set)
source "$(dirname "$0")/lib.sh"
exe=$1
key='HKCU\Software\Vorlane\Glyphsmith'
wine reg add "$key\\Open dlg position" /v Left /d 10 /f >/dev/null 2>&1
wine reg query "$key\\Open dlg position" >/dev/null 2>&1 || fail "could not prepare the profile"

wine "$exe" /UNINSTALL >/dev/null 2>&1 &
pid=$!
# While it runs, no window of the program may appear.
for i in $(seq 1 200); do
  kill -0 "$pid" 2>/dev/null || break
  if xdotool search --name "Glyphsmith" >/dev/null 2>&1; then
    kill "$pid" 2>/dev/null || true
    fail "a window opened"
  fi
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid" 2>/dev/null || true
  fail "the program did not end by itself"
fi
wait "$pid" || fail "exit code $?"
if wine reg query "$key" >/dev/null 2>&1; then fail "the profile key is still there"; fi
wine reg query 'HKCU\Software\Vorlane' >/dev/null 2>&1 || fail "the maker's key went too"
echo "uninstall: profile removed, no window"
