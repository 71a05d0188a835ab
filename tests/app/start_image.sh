#!/usr/bin/env bash
# What the loader reads at every start of the release's programs: no debug
# information in the image (it lives in NAME.debug beside the program), and
# for the editor no shell, common dialog or common controls library among
# the DLLs loaded with it (they load on first use).
# Usage: start_image.sh OBJDUMP EDITOR [PROGRAM...]
set -euo pipefail
objdump="$1"
shift
if late=$("$objdump" -p "$1" | grep -io 'DLL Name: \(shell32\|comdlg32\|comctl32\)\.dll'); then
  echo "loaded at every start of $1:" $late
  exit 1
fi
for exe in "$@"; do
  sections=$("$objdump" -h "$exe")
  [[ -n "$sections" ]] || { echo "no section table read from $exe"; exit 1; }
  if debug=$(grep -o '\.debug_[a-z_]*' <<<"$sections"); then
    echo "debug sections in the image of $exe:" $debug
    exit 1
  fi
done
