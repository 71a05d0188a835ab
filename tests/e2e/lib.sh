# Helpers of the end-to-end tests: they drive the real program under Wine
# on the test display with xdotool, as a user would.
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits up to $2 seconds (default 20) for a window whose title matches the
# regular expression $1 and prints its id.
wait_window() {
  local i
  for i in $(seq 1 $((${2:-20} * 10))); do
    local id
    id=$(xdotool search --name "$1" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for no window titled $1 to be left.
wait_no_window() {
  local i
  for i in $(seq 1 $((${2:-20} * 10))); do
    xdotool search --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for process $1 to end.
wait_exit() {
  local i
  for i in $(seq 1 $((${2:-20} * 10))); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# The Windows form of a Unix path (Wine's Z: drive).
winpath() {
  echo "Z:$(echo "$1" | tr / '\\')"
}

# Answers the open "Save icon" dialog: types the Windows path $1 into its
# file-name field, presses Enter and waits for the dialog to close.
save_in_dialog() {
  wait_window "^Save icon$" 10 >/dev/null || fail "the save dialog did not open"
  sleep 0.3
  xdotool key alt+n
  xdotool key ctrl+a
  xdotool type --delay 40 "$1"
  xdotool key Return
  wait_no_window "^Save icon$" 20 || fail "the save dialog did not close"
}

# Loads the first icon of the first file through "Choose Icon": the load
# button of main window $1, then in the dialog the file's row, its first
# icon and OK. The dialog lists the program's current folder.
load_first_icon() {
  xdotool mousemove --window "$1" 49 56 click 1
  local dialog
  dialog=$(wait_window "^Choose Icon$" 15) || fail "the Choose Icon dialog did not open"
  sleep 2  # the scan of one folder
  xdotool mousemove --window "$dialog" 57 220 click 1
  sleep 1
  xdotool mousemove --window "$dialog" 276 70 click 1
  sleep 0.3
  xdotool mousemove --window "$dialog" 300 361 click 1
  wait_no_window "^Choose Icon$" 10 || fail "the Choose Icon dialog did not close"
}

# Binds spare keycodes of the display to the characters of $1 that its
# keymap lacks, so that xdotool types them through a fixed key. (Left to
# itself, xdotool maps such a character for one key press and maps it away
# again, and the program may read the keymap after that: the character is
# lost now and then.)
map_characters() {
  /usr/bin/python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
x.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
x.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.POINTER(ctypes.c_int)]
x.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                     ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
if not display:
    sys.exit("map_characters: no display")
low, high, per = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
x.XDisplayKeycodes(display, ctypes.byref(low), ctypes.byref(high))
count = high.value - low.value + 1
keymap = x.XGetKeyboardMapping(display, low.value, count, ctypes.byref(per))
symbols = {keymap[i] for i in range(count * per.value)}
spare = [low.value + k for k in range(count) if all(keymap[k * per.value + j] == 0 for j in range(per.value))]
wanted = [0x01000000 | ord(c) for c in dict.fromkeys(sys.argv[1]) if ord(c) > 0x7F]
wanted = [s for s in wanted if s not in symbols]
if len(wanted) > len(spare):
    sys.exit("map_characters: not enough spare keycodes")
for symbol, code in zip(wanted, spare):
    x.XChangeKeyboardMapping(display, code, 1, (ctypes.c_ulong * 1)(symbol), 1)
x.XSync(display, 0)
x.XCloseDisplay(display)
PY
}
