#!/usr/bin/env bash
# What the loader reads at every start of the release's programs: no debug
# information in the image (it lives in NAME.debug beside the program).
# Usage: start_image.sh OBJDUMP PROGRAM...
set -euo pipefail
objdump="$1"
shift
for exe in "$@"; do
  sections=$("$objdump" -h "$exe")
  [[ -n "$sections" ]] || { echo "no section table read from $exe"; exit 1; }
  if debug=$(grep -o '\.debug_[a-z_]*' <<<"$sections"); then
    echo "debug sections in the image of $exe:" $debug
    exit 1
  fi
done
