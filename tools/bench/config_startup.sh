#!/usr/bin/env bash
# Measures how long Config takes from its start to its window being shown under Xvfb.
#   config_startup.sh PATH/TO/Config [RUNS]
# Prints each run in milliseconds and the median. The first run reads the program and Qt from
# disk; the later ones show the usual start. The window is polled every few milliseconds, so
# the figures are a few milliseconds high.
set -euo pipefail
config_program=$(realpath "$1")
runs=${2:-11}
source "$(dirname "$0")/../../tests/config/xvfb_session.sh"

start_xvfb
app="$session_dir/app"
mkdir "$app"
cp "$config_program" "$app/Config"
printf '5 0.5 30 15 10 100\r\n5 0.5 30 15 10 100\r\n' >"$app/zorvane.ini"

times=()
for ((run = 1; run <= runs; run++)); do
  start=$(date +%s%N)
  "$app/Config" 2>/dev/null &
  app_pid=$!
  until has_visible_window "Zorvane Config"; do
    kill -0 "$app_pid" 2>/dev/null || fail "Config ended before showing its window"
    (($(date +%s%N) - start < 10000000000)) || fail "no window after 10 s"
  done
  shown=$(date +%s%N)
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
  ms=$(((shown - start) / 1000000))
  times+=("$ms")
  echo "run $run: $ms ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
echo "median: $median ms"
