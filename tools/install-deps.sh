#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run. Idempotent: does nothing
# when everything is present. Works as root and through sudo.
set -euo pipefail

packages=(
  cmake g++ make pkg-config ccache
  qt6-base-dev qt6-svg-dev libqt6svg6 libhidapi-dev libudev-dev libjsoncpp-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libxi-dev libx11-dev xvfb xdotool
  libpulse-dev pulseaudio pulseaudio-utils
  fonts-noto-cjk fonts-noto-core fonts-droid-fallback fonts-play
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
