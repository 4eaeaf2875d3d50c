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
source "$(dirname "$0")/e2e_lib.sh"

# Without a display.
stderr=$(env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 KOMALORE_DRIVE_C="$out/drive" "$komalore" 2>&1 >/dev/null)
status=$?
[[ $status -eq 1 ]] || fail "no display: exit status $status, expected 1"
[[ $(printf '%s\n' "$stderr" | grep -c .) -eq 1 ]] || fail "no display: expected one line on stderr, got: $stderr"
[[ "$stderr" == *display* ]] || fail "no display: the message doesn't name the cause: $stderr"

"$make_demo_page" "$out/drive/img001.BMP" || fail "demo page"

start_display 90 120

start_editor "$out/stdout.txt" "$out/stderr.txt" KOMALORE_DRIVE_C="$out/drive" "$komalore"
if [[ -z "$window" ]]; then
  fail "the editor window did not appear"
else
  sleep 0.5
  timeout 10 import -window root "$out/editor.png" 2>/dev/null || xwd -root -silent >"$out/editor.xwd"
  [[ -s "$out/editor.png" || -s "$out/editor.xwd" ]] || fail "no screenshot"
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window" >/dev/null 2>&1

  # The system menu from the keyboard, its about item by its mnemonic, and Enter to close the box.
  xdotool key alt+space
  sleep 0.3
  xdotool key a
  about=$(wait_window 'Komaloreのﾊﾞｰｼﾞｮﾝ情報')
  if [[ -z "$about" ]]; then
    fail "Alt+Space, A did not open the about box"
  else
    xdotool key Return
    for _ in $(seq 40); do
      find_window 'Komaloreのﾊﾞｰｼﾞｮﾝ情報' >/dev/null || break
      sleep 0.05
    done
    find_window 'Komaloreのﾊﾞｰｼﾞｮﾝ情報' >/dev/null && fail "Enter did not close the about box"
  fi

  # "保存": its button's centre in window pixels (frame 3, caption 19; the button at 355, 123, 50 x 13
  # dialog units of 7 x 12 pixels).
  rm -f "$out/drive/img002.bmp"
  xdotool mousemove --window "$window" 668 217 click 1
  for _ in $(seq 40); do
    [[ -s "$out/drive/img002.bmp" ]] && break
    sleep 0.05
  done
  size=$(stat -c %s "$out/drive/img002.bmp" 2>/dev/null || echo 0)
  [[ $size -eq 921654 ]] || fail "保存 wrote $size bytes to img002.bmp, expected 921654"
  [[ $(head -c 2 "$out/drive/img002.bmp" 2>/dev/null) == BM ]] || fail "img002.bmp doesn't start with BM"

  xdotool windowfocus --sync "$window" >/dev/null 2>&1
  start=$(date +%s%N)
  xdotool key Escape
  for _ in $(seq 40); do
    kill -0 $app 2>/dev/null || break
    sleep 0.05
  done
  elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
  if kill -0 $app 2>/dev/null; then
    fail "Esc did not end the program within 2 s"
    wait_exit $app 50
  fi
  [[ $elapsed -le 2000 ]] || fail "Esc took $elapsed ms"
fi
wait $app
status=$?
[[ $status -eq 0 ]] || fail "exit status $status, expected 0 (stderr: $(cat "$out/stderr.txt"))"

finish e2e
