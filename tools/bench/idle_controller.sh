#!/usr/bin/env bash
# The game's CPU under a private 1280 x 960 Xvfb, without and with an idle game controller, in
# alternate turns so that a busy moment of the machine does not fall on one side only. Not a
# test: the figures depend on the machine.
# Usage: idle_controller.sh BENCH_PROGRAM APP_DIR [SECONDS_PER_TURN] [TURNS]
set -euo pipefail
usage="usage: idle_controller.sh BENCH_PROGRAM APP_DIR [SECONDS_PER_TURN] [TURNS]"
bench=${1:?$usage}
app_dir=${2:?$usage}
seconds=${3:-10}
turns=${4:-2}

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

for _ in $(seq "$turns"); do
  for how in "" controller; do
    "$bench" "$app_dir" "$seconds" $how 2> >(grep -v '^ALSA' >&2) | tee -a "$work/figures"
  done
done
awk -F'[:%]' '{sum[$1] += $2; n[$1]++}
  END {for (k in sum) printf "mean %s: %.2f%% of one core\n", k, sum[k] / n[k]}' "$work/figures"
