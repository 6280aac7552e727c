#!/usr/bin/env bash
# Builds SDL2 for the browser, once, from Debian's source package (apt-get source libsdl2; the
# install script's web group sets up the deb-src line): static, without threads, installed under
# DIR/install for the web build to find. A finished build is kept; delete DIR to build it again.
# Usage: build-sdl2.sh DIR [JOBS]
set -euo pipefail
dir=$(realpath -m "$1")
jobs=${2:-$(nproc)}
[ -f "$dir/install/complete" ] && exit 0

# Debian's emcc loads its JavaScript modules from Debian's node path, whichever node runs it.
export NODE_PATH=/usr/share/nodejs
rm -rf "$dir/source" "$dir/build" "$dir/install"
mkdir -p "$dir/source"
echo "Building SDL2 for the browser from Debian's source package, once (a few minutes): $dir"
# As root, apt says that it downloads unsandboxed; dpkg-source names each step it unpacks.
(cd "$dir/source" && apt-get source -qq libsdl2 2>&1 |
  grep -v -e '^W: Download is performed unsandboxed' -e '^dpkg-source: info' || true)
source_tree=$(find "$dir/source" -mindepth 1 -maxdepth 1 -type d -name 'libsdl2-*')
if [ ! -d "$source_tree" ]; then
  echo "build-sdl2.sh: apt-get source libsdl2 gave no source tree" >&2
  exit 1
fi
emcmake cmake -S "$source_tree" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$dir/install" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
  -DSDL_PTHREADS=OFF -DSDL_THREADS=OFF >"$dir/configure.log" 2>&1 ||
  { cat "$dir/configure.log"; exit 1; }
cmake --build "$dir/build" -j"$jobs" >"$dir/build.log" 2>&1 ||
  { tail -50 "$dir/build.log"; exit 1; }
cmake --install "$dir/build" >/dev/null
touch "$dir/install/complete"
