#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test Zorvane.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev
  qt6-base-dev qt6-qpa-plugins libgl-dev
  xvfb xauth xdotool x11-utils x11-apps imagemagick
  xfonts-base fonts-dejavu-core fonts-dejavu-extra
  desktop-file-utils libglib2.0-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
