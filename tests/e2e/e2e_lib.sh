# Shared pieces of the end-to-end scripts, sourced by each: failure counting, an X server of the
# script's own, finding windows by their exact name, and waiting for the program to end.

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Under the sanitizers, the leak checker can't name the X libraries that SDL loads and unloads
# itself, and would report their caches; the program's own memory is checked by the headless
# tests, which run the same code.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Without a session bus, the input method's D-Bus client would launch one through the X server
# and wait for it, which can take half a minute; these tests type through the X keyboard.
export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-unix:path=/nonexistent/komalore-e2e-bus}"

# Starts Xvfb on the first free display number from $1 to $2 and exports DISPLAY.
start_display() {
  local n _
  for n in $(seq "$1" "$2"); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      kill -0 $xvfb_pid 2>/dev/null || break
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        trap 'kill $xvfb_pid 2>/dev/null' EXIT
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
    # Another server took the number first, or this one didn't come up: try the next.
    kill $xvfb_pid 2>/dev/null
  done
  echo "FAIL: no X server could be started"
  exit 1
}

# The mapped window with exactly this name. xdotool's own name search doesn't match non-ASCII
# names, and its --onlyvisible fails outright when any window goes away while it looks, so the
# visibility is asked of each candidate.
find_window() {
  local id
  for id in $(xdotool search --name "^${1:0:8}" 2>/dev/null); do
    [[ "$(xdotool getwindowname "$id" 2>/dev/null)" == "$1" ]] || continue
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo "$id"; return 0; }
  done
  return 1
}

# Waits for the window: up to 30 s, as a loaded machine (or a sanitizer build) can be slow to
# start the program.
wait_window() {
  local deadline=$((SECONDS + 30))
  while ((SECONDS < deadline)); do
    find_window "$1" && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to $2 tenths of a second for process $1 to end; when it doesn't, fails and stops it
# (asking first, then forcing).
wait_exit() {
  local _
  for _ in $(seq "$2"); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  fail "the program did not end"
  kill "$1" 2>/dev/null
  sleep 1
  kill -9 "$1" 2>/dev/null
  return 1
}

# Starts the program (the command and its environment as arguments; output to $1 and $2) and
# waits for its window, setting $app and $window. Seen once in a while on a loaded machine: a
# start that shows no window for half a minute; the server's window tree and picture are kept
# beside the output, and the program gets one more start.
start_editor() {
  local stdout=$1 stderr=$2 attempt
  shift 2
  for attempt in 1 2; do
    env "$@" >"$stdout" 2>"$stderr" &
    app=$!
    window=$(wait_window Komalore)
    [[ -n "$window" ]] && return 0
    xwininfo -root -tree >"$stdout.windows.txt" 2>&1
    timeout 10 import -window root "$stdout.no-window.png" 2>/dev/null
    echo "note: no editor window after 30 s (attempt $attempt; see $stdout.windows.txt)"
    kill -9 $app 2>/dev/null
    wait $app 2>/dev/null
  done
  return 1
}

# Prints the closing count line and exits with the script's status.
finish() {
  if [[ $failures -gt 0 ]]; then
    echo "$1: 0 passed, 1 failed ($failures checks)"
    exit 1
  fi
  echo "$1: 1 passed, 0 failed"
  exit 0
}
