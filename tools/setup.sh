#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine and
# offers helpers to prepare a Wine prefix and a display. Sourced by
# run.sh and test.sh; running it alone only installs the packages.
set -euo pipefail

GLYPH_PACKAGES=(
  cmake ninja-build git
  mingw-w64 g++-mingw-w64-x86-64 g++-mingw-w64-i686 googletest
  wine wine64 xvfb xauth x11-utils x11-apps xdotool
  fonts-wine fonts-liberation2
  imagemagick icoutils python3-pil fp-utils clang-14 clang-format bzip2
  libpng-dev
)

glyph_install_packages() {
  local missing=() p
  for p in "${GLYPH_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "setup: installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# glyph_display: make sure DISPLAY points at an X server; starts Xvfb when
# there is none and records its PID in GLYPH_XVFB_PID.
GLYPH_XVFB_PID=""
glyph_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  GLYPH_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "setup: Xvfb did not start on $DISPLAY" >&2
  return 1
}

glyph_stop_display() {
  if [ -n "$GLYPH_XVFB_PID" ]; then
    kill "$GLYPH_XVFB_PID" 2>/dev/null || true
    wait "$GLYPH_XVFB_PID" 2>/dev/null || true
    GLYPH_XVFB_PID=""
  fi
}

# glyph_wineprefix DIR [managed]: a 64-bit prefix, no crash dialog, and
# the Windows fonts that dialogs and the skin ask for. Its windows are
# unmanaged, as the tests need them (without a window manager Wine stalls
# about 2 s on each managed window and input sent meanwhile is lost);
# "managed" keeps Wine's default instead, as a desktop user has it: the
# window manager then minimises and restores the editor (tools/run.sh).
glyph_wineprefix() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [ -f "$WINEPREFIX/.glyph-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  echo "setup: preparing Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  if [ "${2:-}" != managed ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  fi
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  mkdir -p "$fonts"
  for f in /usr/share/wine/fonts/*.tt? /usr/share/fonts/truetype/liberation2/*.ttf; do
    [ -f "$f" ] && cp -f "$f" "$fonts/"
  done
  local key='HKCU\Software\Wine\Fonts\Replacements'
  wine reg add "$key" /v Arial /d "Liberation Sans" /f >/dev/null 2>&1
  wine reg add "$key" /v "Courier New" /d "Liberation Mono" /f >/dev/null 2>&1
  wine reg add "$key" /v "Times New Roman" /d "Liberation Serif" /f >/dev/null 2>&1
  wine reg add "$key" /v Verdana /d "DejaVu Sans" /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.glyph-ready"
}

# glyph_wineserver: one persistent server for the prefix in WINEPREFIX,
# replacing any left over there (an earlier run cut short), with Wine's
# services started now and with no inherited output: started later by a
# program whose output is a pipe, they would hold that pipe open for ever.
glyph_wineserver() {
  wineserver -k 2>/dev/null || true
  wineserver -p
  wine cmd /c exit 0 >/dev/null 2>&1 </dev/null || true
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  glyph_install_packages
fi
