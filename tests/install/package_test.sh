#!/usr/bin/env bash
# The Debian package: its name, its control fields (with the Japanese font alternatives), its
# contents, and the program taken out of it starting under Xvfb and ending on Esc with status 0.
#
#   package_test.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
xvfb=""
cleanup() { [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) \
  || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
arch=$(dpkg --print-architecture)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$work/out/komalore_${version}_${arch}.deb
[[ -n $version && -f $deb ]] || { ls "$work/out"; echo "FAIL: no komalore_${version}_${arch}.deb"; exit 1; }

[[ $(dpkg-deb -f "$deb" Package) == komalore ]] || fail "Package: $(dpkg-deb -f "$deb" Package)"
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "Version: $(dpkg-deb -f "$deb" Version)"
[[ $(dpkg-deb -f "$deb" Architecture) == "$arch" ]] || fail "Architecture: $(dpkg-deb -f "$deb" Architecture)"
[[ $(dpkg-deb -f "$deb" Maintainer) == "Komalore developers" ]] || fail "Maintainer: $(dpkg-deb -f "$deb" Maintainer)"
depends=$(dpkg-deb -f "$deb" Depends)
# Each dependency on its own line, without version constraints.
names=$(printf '%s\n' "$depends" | tr ',' '\n' | sed 's/([^)]*)//g; s/^ *//; s/ *$//')
for p in libsdl2-2.0-0 libfreetype6 libfontconfig1 libfribidi0 libpng16-16 libc6 libstdc++6; do
  grep -qxF "$p" <<<"$names" || fail "Depends has no $p: $depends"
done
grep -qxF 'fonts-ipafont-gothic | fonts-vlgothic | fonts-noto-cjk' <<<"$names" \
  || fail "Depends has no Japanese font alternatives: $depends"

contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
for f in ./usr/bin/komalore ./usr/share/applications/komalore.desktop ./usr/share/man/man1/komalore.1 \
         ./usr/share/icons/hicolor/16x16/apps/komalore.png ./usr/share/icons/hicolor/32x32/apps/komalore.png \
         ./usr/share/icons/hicolor/256x256/apps/komalore.png; do
  grep -qxF "$f" <<<"$contents" || fail "the package has no $f"
done
unexpected=$(grep -v '/$' <<<"$contents" | grep -v '^\./usr/\(bin\|share/\(applications\|man/man1\|icons/hicolor/[0-9x]*/apps\)\)/komalore')
[[ -z $unexpected ]] || fail "the package holds other files: $unexpected"

dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb -x"
komalore=$work/root/usr/bin/komalore
if [[ -x $komalore ]]; then
  display=""
  for n in $(seq 121 160); do
    if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=":$n"; break; fi
  done
  [[ -n $display ]] || { echo "FAIL: no free X display number"; exit 1; }
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 50); do
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  export DISPLAY=$display
  mkdir -p "$work/drive"
  KOMALORE_DRIVE_C="$work/drive" "$komalore" >"$work/stdout.txt" 2>"$work/stderr.txt" &
  app=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Komalore$' | head -n 1)
  if [[ -z $window ]]; then
    fail "the packaged program's window did not appear"
    kill $app 2>/dev/null
  else
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window" >/dev/null 2>&1
    xdotool key Escape
    for _ in $(seq 60); do
      kill -0 $app 2>/dev/null || break
      sleep 0.05
    done
    if kill -0 $app 2>/dev/null; then
      fail "Esc did not end the packaged program"
      kill $app
    fi
  fi
  wait $app
  status=$?
  [[ $status -eq 0 ]] || fail "exit status $status, expected 0 (stderr: $(cat "$work/stderr.txt"))"
else
  fail "the extracted package has no executable usr/bin/komalore"
fi

if [[ $failures -gt 0 ]]; then
  echo "$failures failed"
  exit 1
fi
echo "package: passed"
