#!/usr/bin/env bash
# The real program in a real X server: it starts on the demo page, its window is found by name,
# a screenshot is kept, Esc ends it with status 0 within 2 seconds; and without a display it
# says so on one line and exits with status 1.
#
#   run_e2e.sh KOMALORE MAKE_DEMO_PAGE OUTPUT_DIR
set -u
komalore=$1
make_demo_page=$2
out=$3
mkdir -p "$out"
rm -rf "$out/drive" && mkdir -p "$out/drive"
failures=0
# Under the sanitizers, the leak checker can't name the X libraries that SDL loads and unloads
# itself, and would report their caches; the program's own memory is checked by the headless
# tests, which run the same code.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Without a display.
stderr=$(env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 KOMALORE_DRIVE_C="$out/drive" "$komalore" 2>&1 >/dev/null)
status=$?
[[ $status -eq 1 ]] || fail "no display: exit status $status, expected 1"
[[ $(printf '%s\n' "$stderr" | grep -c .) -eq 1 ]] || fail "no display: expected one line on stderr, got: $stderr"
[[ "$stderr" == *display* ]] || fail "no display: the message doesn't name the cause: $stderr"

"$make_demo_page" "$out/drive/img001.BMP" || fail "demo page"

# A display of our own.
display=""
for n in $(seq 90 120); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=":$n"; break; fi
done
[[ -n "$display" ]] || { echo "FAIL: no free X display number"; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY=$display

KOMALORE_DRIVE_C="$out/drive" "$komalore" >"$out/stdout.txt" 2>"$out/stderr.txt" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Komalore$' | head -n 1)
if [[ -z "$window" ]]; then
  fail "the editor window did not appear"
else
  sleep 0.5
  import -window root "$out/editor.png" 2>/dev/null || xwd -root -silent >"$out/editor.xwd"
  [[ -s "$out/editor.png" || -s "$out/editor.xwd" ]] || fail "no screenshot"
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window" >/dev/null 2>&1
  start=$(date +%s%N)
  xdotool key Escape
  for _ in $(seq 40); do
    kill -0 $app 2>/dev/null || break
    sleep 0.05
  done
  elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
  if kill -0 $app 2>/dev/null; then
    fail "Esc did not end the program within 2 s"
    kill $app
  fi
  [[ $elapsed -le 2000 ]] || fail "Esc took $elapsed ms"
fi
wait $app
status=$?
[[ $status -eq 0 ]] || fail "exit status $status, expected 0 (stderr: $(cat "$out/stderr.txt"))"

if [[ $failures -gt 0 ]]; then
  echo "$failures failed"
  exit 1
fi
echo "e2e: 1 passed, 0 failed"
