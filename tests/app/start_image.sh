#!/usr/bin/env bash
# What the loader reads and loads at every start of glyphsmith.exe: only
# the DLLs the first window needs (the shell, the common dialogs and the
# shell's string helpers load on first use, app/DelayLoad.cmake), and no
# debug information in the image (it lives in glyphsmith.debug).
# Usage: start_image.sh OBJDUMP glyphsmith.exe
set -euo pipefail
objdump="$1" exe="$2"
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll user32.dll"
imports=$("$objdump" -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
[[ -n "$imports" ]] || { echo "no import table read from $exe"; exit 1; }
status=0
for dll in $imports; do
  if [[ " $allowed " != *" $dll "* ]]; then
    echo "imported at the start: $dll"
    status=1
  fi
done
if debug=$("$objdump" -h "$exe" | grep -o '\.debug_[a-z_]*'); then
  echo "debug sections in the image:" $debug
  status=1
fi
exit "$status"
