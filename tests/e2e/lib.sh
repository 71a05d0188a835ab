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
