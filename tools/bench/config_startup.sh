#!/usr/bin/env bash
# Measures how long Config takes from its start to its first picture (its dialog drawn) under
# Xvfb, against a baseline Qt program timed the same way, the two in turns (zorvane-start-bench).
# Not a test: the figures depend on the machine.
#   config_startup.sh BENCH_PROGRAM PATH/TO/Config PATH/TO/minimal-qt [RUNS]
# Prints each run in milliseconds, the medians and their ratio. The first run reads the programs
# and Qt from disk; the later ones show the usual start.
set -euo pipefail
usage="usage: config_startup.sh BENCH_PROGRAM PATH/TO/Config PATH/TO/minimal-qt [RUNS]"
bench=${1:?$usage}
config_program=$(realpath "${2:?$usage}")
baseline_program=$(realpath "${3:?$usage}")
runs=${4:-21}
source "$(dirname "$0")/../../tests/support/xvfb.sh"

start_xvfb >/dev/null
# As on a desktop session: without it Qt warns at every start and falls back to a directory of its
# own.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
app="$work/app"
mkdir "$app"
# Config as it ships: with its window icons beside it.
cp "$config_program" "$(dirname "$config_program")"/icon-config-*.bmp "$app/"
printf '5 0.5 30 15 10 100\r\n5 0.5 30 15 10 100\r\n' >"$app/zorvane.ini"
"$bench" "$app/Config" "$baseline_program" "$runs"
