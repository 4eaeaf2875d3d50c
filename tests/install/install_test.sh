#!/usr/bin/env bash
# `cmake --install` into a fresh prefix: the program, its desktop entry, the icon at each size
# of the hicolor theme (the large one the small picture's pixels repeated, not blurred) and the
# manual page.
#
#   install_test.sh BUILD_DIR
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

[[ -x $prefix/bin/komalore ]] || fail "bin/komalore is missing or not executable"

desktop=$prefix/share/applications/komalore.desktop
if [[ -f $desktop ]]; then
  for line in 'Name=Komalore' 'Exec=komalore' 'Icon=komalore' 'Terminal=false' 'Type=Application' \
              'Categories=Graphics;2DGraphics;RasterGraphics;'; do
    grep -qxF "$line" "$desktop" || fail "komalore.desktop has no line '$line'"
  done
  grep -q '^Comment\[ja\]=.*漫画' "$desktop" || fail "komalore.desktop has no Japanese comment"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
  fi
else
  fail "share/applications/komalore.desktop is missing"
fi

# Width and height from a PNG's header chunk.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }
for size in 16 32 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/komalore.png
  if [[ ! -f $png ]]; then fail "icon ${size}x${size} is missing"; continue; fi
  [[ $(head -c 8 "$png" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || fail "icon $size is not a PNG"
  [[ $(png_size "$png") == "${size}x${size}" ]] || fail "icon $size is $(png_size "$png")"
done

icons=$prefix/share/icons/hicolor
if command -v convert >/dev/null && [[ -f $icons/256x256/apps/komalore.png && -f $icons/32x32/apps/komalore.png ]]; then
  # The corner of the picture is transparent.
  corner=$(convert "$icons/32x32/apps/komalore.png" -crop 1x1+0+0 -format "%[fx:int(255*a)]" info:)
  [[ $corner == 0 ]] || fail "the icon's corner has alpha $corner, expected 0"
  # Every 8 x 8 block of the large icon is one pixel of the small one.
  sampled=$(mktemp --suffix=.png)
  convert "$icons/256x256/apps/komalore.png" -sample 32x32 "$sampled"
  diff_pixels=$(compare -metric AE "$sampled" "$icons/32x32/apps/komalore.png" null: 2>&1)
  [[ $diff_pixels == 0 ]] || fail "the 256 icon sampled back differs from the 32 icon in $diff_pixels pixels"
  # No blurring: the large icon has no more colours than the small one.
  colours_small=$(convert "$icons/32x32/apps/komalore.png" -format '%k' info:)
  colours_large=$(convert "$icons/256x256/apps/komalore.png" -format '%k' info:)
  [[ $colours_small == "$colours_large" ]] || fail "the 256 icon has $colours_large colours, the 32 one $colours_small"
  rm -f "$sampled"
fi

man=$prefix/share/man/man1/komalore.1
if [[ -f $man ]]; then
  for word in KOMALORE_DRIVE_C KOMALORE_SCALE 'img001.BMP' 'tmpimg001.BMP' 'img002.bmp' 'tempimg001.bmp' Alt+Space F1 Ctrl+Z; do
    grep -qF "$word" "$man" || fail "the manual page doesn't mention $word"
  done
  if command -v groff >/dev/null; then
    warnings=$(groff -k -man -Tutf8 -ww -z "$man" 2>&1)
    [[ -z $warnings ]] || fail "groff: $warnings"
  fi
else
  fail "share/man/man1/komalore.1 is missing"
fi

if [[ $failures -gt 0 ]]; then
  echo "$failures failed"
  exit 1
fi
echo "install: passed"
