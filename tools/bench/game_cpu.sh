#!/usr/bin/env bash
# The game's CPU under a private 1280 x 960 Xvfb, in alternate turns so that a busy moment of the
# machine does not fall on one side only: as it starts plainly, with an idle game controller, and
# with the display refused (its small window, nothing shown, the pacer alone keeping the loop to
# the refresh rate). Not a test: the figures depend on the machine.
# Usage: game_cpu.sh BENCH_PROGRAM APP_DIR [SECONDS_PER_TURN] [TURNS]
set -euo pipefail
usage="usage: game_cpu.sh BENCH_PROGRAM APP_DIR [SECONDS_PER_TURN] [TURNS]"
bench=${1:?$usage}
app_dir=${2:?$usage}
seconds=${3:-10}
turns=${4:-2}

source "$(dirname "$0")/../../tests/support/xvfb.sh"
start_xvfb 1280x960 >/dev/null

for _ in $(seq "$turns"); do
  for how in "" controller small-window; do
    "$bench" "$app_dir" "$seconds" $how 2> >(grep -v '^ALSA' >&2) | tee -a "$work/figures"
  done
done
awk -F'[:%]' '{sum[$1] += $2; n[$1]++}
  END {for (k in sum) printf "mean %s: %.2f%% of one core\n", k, sum[k] / n[k]}' "$work/figures"
