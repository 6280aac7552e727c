#!/usr/bin/env bash
# Measures how long Config takes from its start to its window being shown under Xvfb, against a
# baseline Qt program timed the same way, the two in turns.
#   config_startup.sh PATH/TO/Config PATH/TO/minimal-qt [RUNS]
# Prints each run in milliseconds, the medians and their ratio. The first run reads the programs
# and Qt from disk; the later ones show the usual start. The window is polled every few
# milliseconds, so the figures are a few milliseconds high, on both sides alike.
set -euo pipefail
usage="usage: config_startup.sh PATH/TO/Config PATH/TO/minimal-qt [RUNS]"
config_program=$(realpath "${1:?$usage}")
baseline_program=$(realpath "${2:?$usage}")
runs=${3:-11}
source "$(dirname "$0")/../../tests/support/xvfb.sh"

start_xvfb
app="$work/app"
mkdir "$app"
cp "$config_program" "$app/Config"
printf '5 0.5 30 15 10 100\r\n5 0.5 30 15 10 100\r\n' >"$app/zorvane.ini"

# time_to_window PROGRAM TITLE: starts PROGRAM, waits for its window named TITLE, ends it, and
# leaves the milliseconds in $ms.
time_to_window() {
  local start shown
  start=$(date +%s%N)
  "$1" 2>/dev/null &
  app_pid=$!
  until has_visible_window "$2"; do
    kill -0 "$app_pid" 2>/dev/null || fail_now "$1 ended before showing its window"
    (($(date +%s%N) - start < 10000000000)) || fail_now "no window from $1 after 10 s"
  done
  shown=$(date +%s%N)
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
  ms=$(((shown - start) / 1000000))
}

median() {
  printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"
}

config_times=()
baseline_times=()
for ((run = 1; run <= runs; run++)); do
  time_to_window "$app/Config" "Zorvane Config"
  config_times+=("$ms")
  time_to_window "$baseline_program" "minimal-qt"
  baseline_times+=("$ms")
  echo "run $run: Config ${config_times[-1]} ms, baseline $ms ms"
done
config_median=$(median "${config_times[@]}")
baseline_median=$(median "${baseline_times[@]}")
ratio=$(awk -v a="$config_median" -v b="$baseline_median" 'BEGIN { printf "%.1f", a / b }')
echo "Config start to window shown vs minimal-qt:" \
  "$config_median ms vs $baseline_median ms = ${ratio}x"
