#!/usr/bin/env bash
# What the loader reads at every start of glyphsmith.exe: no debug
# information in the image (it lives in glyphsmith.debug).
# Usage: start_image.sh OBJDUMP glyphsmith.exe
set -euo pipefail
objdump="$1" exe="$2"
sections=$("$objdump" -h "$exe")
[[ -n "$sections" ]] || { echo "no section table read from $exe"; exit 1; }
if debug=$(grep -o '\.debug_[a-z_]*' <<<"$sections"); then
  echo "debug sections in the image:" $debug
  exit 1
fi
