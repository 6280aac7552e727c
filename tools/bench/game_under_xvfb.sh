#!/usr/bin/env bash
# Measures the game on a private 1280 x 960 Xvfb: time from start to the first picture against
# a baseline program's, and CPU with the picture still and while playing (the game's and the X
# server's). Not a test: the figures depend on the machine.
# Usage: game_under_xvfb.sh BENCH_PROGRAM APP_DIR BASELINE [RUNS]
set -euo pipefail
usage="usage: game_under_xvfb.sh BENCH_PROGRAM APP_DIR BASELINE [RUNS]"
bench=${1:?$usage}
app_dir=${2:?$usage}
baseline=$(realpath "${3:?$usage}")
runs=${4:-21}

source "$(dirname "$0")/../../tests/support/xvfb.sh"
start_xvfb 1280x960
"$bench" --cpu "$app_dir/zorvane" "$baseline" "$runs" "$xvfb_pid" 2> >(grep -v '^ALSA' >&2)
