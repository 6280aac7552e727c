#!/usr/bin/env bash
# Installs, with apt-get, what a fresh Debian 12 machine lacks for one kind of work, and nothing
# more. Each group includes the ones it needs:
#   build   compile the two programs (SDL2, ENet, miniupnpc, libnatpmp, Qt 6 Widgets)
#   run     build, plus what the programs load at run time (fonts for Config and message boxes)
#   deb     build, plus what packs the Debian package (dpkg-shlibdeps and the file it calls)
#   test    run and deb, plus the test frameworks, a private X server, the tools the tests drive
#           it with, the checkers of the packages, and a router for network namespaces
#           (miniupnpd, nftables, ip)
#   bench   build, plus Google Benchmark and the X test extension (keys for the lag bench)
#   fuzz    build, plus clang and its sanitizer and libFuzzer runtime
# Usage: install-deps.sh GROUP...
set -euo pipefail

build=(build-essential cmake pkg-config libsdl2-dev libsdl2-ttf-dev libx11-dev qt6-base-dev libgl-dev
  libenet-dev libminiupnpc-dev libnatpmp-dev)
# The Qt X11 platform plugin comes with libqt6gui6; Config asks for DejaVu Sans Condensed
# (fonts-dejavu-extra), the game's overlays DejaVu Sans Mono (fonts-dejavu-core), and the message
# boxes of SDL the X core fonts.
run=(xfonts-base fonts-dejavu-core fonts-dejavu-extra)
deb=(dpkg-dev file)
test=(libgtest-dev libgmock-dev xvfb xauth xdotool x11-utils x11-apps imagemagick procps
  desktop-file-utils libglib2.0-bin lintian appstream miniupnpd-nftables nftables iproute2)
bench=(libbenchmark-dev libxtst-dev)
fuzz=(clang libclang-rt-dev)

packages=()
for group in "${@:-run}"; do
  case "$group" in
    build) packages+=("${build[@]}") ;;
    run) packages+=("${build[@]}" "${run[@]}") ;;
    deb) packages+=("${build[@]}" "${deb[@]}") ;;
    test) packages+=("${build[@]}" "${run[@]}" "${deb[@]}" "${test[@]}") ;;
    bench) packages+=("${build[@]}" "${bench[@]}") ;;
    fuzz) packages+=("${build[@]}" "${fuzz[@]}") ;;
    *) echo "install-deps.sh: unknown group '$group' (build, run, deb, test, bench, fuzz)" >&2; exit 2 ;;
  esac
done

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
