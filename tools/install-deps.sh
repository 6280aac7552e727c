#!/usr/bin/env bash
# Installs, with apt-get, what a fresh Debian 12 machine lacks for one kind of work, and nothing
# more. Each group includes the ones it needs:
#   build   compile the two programs (SDL2, ENet, miniupnpc, libnatpmp, Qt 6 Widgets, fast_float
#           and {fmt})
#   run     build, plus what the programs load at run time (fonts for Config and message boxes)
#   deb     build, plus what packs the Debian package (dpkg-shlibdeps and the file it calls)
#   test    run and deb, plus the test frameworks, a private X server, the tools the tests drive
#           it with, the checkers of the packages, a router for network namespaces
#           (miniupnpd, nftables, ip) and Python for the arena's example player
#   bench   build, plus Google Benchmark and the X test extension (keys for the lag bench)
#   fuzz    build, plus clang and its sanitizer and libFuzzer runtime
#   web     the game for the browser: Emscripten, the float text libraries' headers, and a
#           deb-src line for apt when none is set, since SDL2 is built from its source package
#   browser web and build, plus headless Chromium and the DevTools client that drives it
# Usage: install-deps.sh GROUP...
set -euo pipefail

build=(build-essential cmake pkg-config libsdl2-dev libsdl2-ttf-dev libx11-dev qt6-base-dev libgl-dev
  libenet-dev libminiupnpc-dev libnatpmp-dev libfast-float-dev libfmt-dev)
# The Qt X11 platform plugin comes with libqt6gui6; Config asks for DejaVu Sans Condensed
# (fonts-dejavu-extra), the game's overlays DejaVu Sans Mono (fonts-dejavu-core), and the message
# boxes of SDL the X core fonts.
run=(xfonts-base fonts-dejavu-core fonts-dejavu-extra)
deb=(dpkg-dev file)
test=(libgtest-dev libgmock-dev xvfb xauth xdotool x11-utils x11-apps imagemagick procps
  desktop-file-utils libglib2.0-bin lintian appstream miniupnpd-nftables nftables iproute2
  python3)
bench=(libbenchmark-dev libxtst-dev)
fuzz=(clang libclang-rt-dev)
# dpkg-dev unpacks the source package that apt-get source fetches.
web=(emscripten cmake make dpkg-dev libfast-float-dev libfmt-dev)
browser=(chromium python3-websocket)

packages=()
for group in "${@:-run}"; do
  case "$group" in
    build) packages+=("${build[@]}") ;;
    run) packages+=("${build[@]}" "${run[@]}") ;;
    deb) packages+=("${build[@]}" "${deb[@]}") ;;
    test) packages+=("${build[@]}" "${run[@]}" "${deb[@]}" "${test[@]}") ;;
    bench) packages+=("${build[@]}" "${bench[@]}") ;;
    fuzz) packages+=("${build[@]}" "${fuzz[@]}") ;;
    web) packages+=("${web[@]}") ;;
    browser) packages+=("${build[@]}" "${web[@]}" "${browser[@]}") ;;
    *)
      echo "install-deps.sh: unknown group '$group' (build, run, deb, test, bench, fuzz, web, browser)" >&2
      exit 2
      ;;
  esac
done

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# SDL2 for the browser is built from Debian's source package (tools/web/build-sdl2.sh), so apt
# needs a deb-src line: one for Debian's own archive is added beside the system's lists when none
# is set, and the lists are read again until they know the source package.
if printf '%s\n' "$@" | grep -qx -e web -e browser; then
  if ! grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' /etc/apt/sources.list \
    /etc/apt/sources.list.d/; then
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "Adding Debian $codename's deb-src line: /etc/apt/sources.list.d/zorvane-deb-src.sources"
    printf '%s\n' "Types: deb-src" "URIs: http://deb.debian.org/debian" \
      "Suites: $codename $codename-updates" "Components: main" \
      "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
      $sudo tee /etc/apt/sources.list.d/zorvane-deb-src.sources >/dev/null
  fi
  apt-get source --print-uris -qq libsdl2 >/dev/null 2>&1 || $sudo apt-get update -qq
fi

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
