#!/usr/bin/env bash
# The DLLs glyphsmith.exe imports, which its start waits for: only those
# the first window needs. The shell, the common dialogs and the shell's
# string helpers load on their first use (app/DelayLoad.cmake).
# Usage: start_imports.sh OBJDUMP glyphsmith.exe
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
exit "$status"
