#!/usr/bin/env bash
# Builds the Windows program and its tools and makes the portable package
# with CPack: build/package/Glyphsmith-VERSION-win64.zip (what it holds is
# set in release/Package.cmake).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/setup.sh"
glyph_install_packages
cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target glyphsmith glyphicon glyphpack glyphsmith_help glyphsmith_help_pages
cpack --config build/windows/CPackConfig.cmake -B build/package
ls -l build/package/*.zip
