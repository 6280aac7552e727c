#!/usr/bin/env bash
# Measures the game on a private 1280 x 960 Xvfb: time from start to the first picture against
# a baseline program's, and CPU while playing (the game's and the X server's). Not a test: the
# figures depend on the machine.
# Usage: game_under_xvfb.sh BENCH_PROGRAM APP_DIR BASELINE [RUNS]
set -euo pipefail
usage="usage: game_under_xvfb.sh BENCH_PROGRAM APP_DIR BASELINE [RUNS]"
bench=${1:?$usage}
app_dir=${2:?$usage}
baseline=$(realpath "${3:?$usage}")
runs=${4:-5}

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

Xvfb -displayfd 3 -screen 0 1280x960x24 -nolisten tcp -br 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
"$bench" "$app_dir/zorvane" "$baseline" "$runs" "$xvfb_pid" 2> >(grep -v '^ALSA' >&2)
