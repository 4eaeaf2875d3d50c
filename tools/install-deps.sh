#!/usr/bin/env bash
# Installs the Debian packages the build needs (and, with --test, those the tests need) when
# they are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(cmake g++ make pkg-config libsdl2-dev libfreetype-dev libfontconfig-dev libfribidi-dev libpng-dev
          fonts-ipafont-gothic)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(googletest libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool x11-utils imagemagick
            clang-14 libclang-rt-14-dev)
fi
# dpkg-shlibdeps, which finds the Debian package's C and C++ runtime dependencies.
if [[ "${1:-}" == "--test" || "${1:-}" == "--package" ]]; then
  packages+=(dpkg-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
