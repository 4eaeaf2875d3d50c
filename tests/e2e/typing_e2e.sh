#!/usr/bin/env bash
# Typing into the real program in a real X server: a click into the balloon text box, then
# "こんにちは", Return and "世界" typed with xdotool; after Esc ends the program, the text the box
# held (written by the layer's KOMALORE_TEST_DUMP hook) must be the code page 932 bytes of the
# two lines with one CR LF between them.
#
#   typing_e2e.sh KOMALORE MAKE_DEMO_PAGE OUTPUT_DIR
set -u
komalore=$1
make_demo_page=$2
out=$3
mkdir -p "$out"
rm -rf "$out/typing-drive" && mkdir -p "$out/typing-drive"
dump="$out/typing-dump.txt"
rm -f "$dump"
source "$(dirname "$0")/e2e_lib.sh"

"$make_demo_page" "$out/typing-drive/img001.BMP" || fail "demo page"

start_display 121 160

start_editor "$out/typing-stdout.txt" "$out/typing-stderr.txt" KOMALORE_TEST_DUMP="$dump" KOMALORE_DRIVE_C="$out/typing-drive" "$komalore"
if [[ -z "$window" ]]; then
  fail "the editor window did not appear"
else
  sleep 0.5
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window" >/dev/null 2>&1
  # The text box: dialog units (285, 7, 65, 128) at 7 x 12 pixel base units, inside the
  # 3-pixel frame and the 19-pixel caption; its middle, clear of the scroll bar on the left.
  xdotool mousemove --window "$window" $((3 + 499 + 66)) $((3 + 19 + 11 + 96)) click 1
  sleep 0.3
  xdotool type --delay 60 "こんにちは"
  xdotool key Return
  xdotool type --delay 60 "世界"
  sleep 0.3
  timeout 10 import -window root "$out/typing.png" 2>/dev/null
  # Lettering the demo page: a click in the first panel's balloon puts Top and Left there, and
  # "ふきだし" (dialog units 356, 7, 50 x 15) shows the text over the page; the window's picture
  # is what the user guide shows.
  xdotool mousemove --window "$window" $((3 + 322)) $((22 + 62)) click 1
  xdotool mousemove --window "$window" $((3 + 623 + 44)) $((22 + 11 + 11)) click 1
  sleep 0.5
  timeout 10 import -window "$window" "$out/editor-lettered.png" 2>/dev/null || fail "no screenshot of the lettered page"
  xdotool key Escape
  wait_exit $app 100
fi
wait $app
status=$?
[[ $status -eq 0 ]] || fail "exit status $status, expected 0 (stderr: $(cat "$out/typing-stderr.txt"))"

# こんにちは CR LF 世界 in code page 932.
expected="1009 82b182f182c982bf82cd0d0a90a28a45"
if [[ ! -s "$dump" ]]; then
  fail "the program wrote no text dump"
else
  got=$(grep '^1009 ' "$dump")
  [[ "$got" == "$expected" ]] || fail "the text box held '$got', expected '$expected'"
fi

finish "typing e2e"
