#!/usr/bin/env bash
# The computer's figures: each match-up of the arena for ROUNDS seeded rounds with the processor
# time of its decisions; then the game's CPU under a private Xvfb with the computer playing both
# blocks (the demo, recorded), against the same game played back from its recording, the same
# frames, sounds and bitmaps without the thinking, and against a game where nobody plays, in
# turns. Not a test: the figures depend on the machine.
# Usage: computer.sh APP_DIR [ROUNDS] [SECONDS_PER_TURN] [TURNS]
set -euo pipefail
usage="usage: computer.sh APP_DIR [ROUNDS] [SECONDS_PER_TURN] [TURNS]"
app_dir=$(realpath "${1:?$usage}")
rounds=${2:-1000}
seconds=${3:-10}
turns=${4:-3}

for match in "cpu:3 random" "cpu:3 idle" "cpu:3 cpu:1" "cpu:1 random" "cpu:3 cpu:2" \
  "cpu:2 cpu:1"; do
  # shellcheck disable=SC2086 # two players
  "$app_dir/zorvane-arena" --rounds "$rounds" --timings $match | tail -n1
done

source "$(dirname "$0")/../../tests/support/xvfb.sh"
start_xvfb 1280x960

# The game's user and system time, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# Plays the game with the arguments for SECONDS after two seconds of start-up and prints the
# share of one core it used meanwhile. A game is left a second more before it is ended, so that
# its recording outlasts what its playback is measured on.
cpu_share() {
  "$app_dir/zorvane" --window "$@" >/dev/null 2>&1 &
  local pid=$! before after
  sleep 2
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  sleep 1
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" || true
  awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN {printf "%.2f\n", 100 * t / hz / s}'
}

for turn in $(seq "$turns"); do
  echo "nobody $(cpu_share)"
  echo "computer $(cpu_share --cpu both --level 3 --record "$work/demo-$turn.rec")"
  echo "playback $(cpu_share --play "$work/demo-$turn.rec")"
done >"$work/figures"
awk '{sum[$1] += $2; n[$1]++; printf "%s: %.2f%% of one core\n", $1, $2}
  END {printf "mean: nobody playing %.2f%%, the computer on both blocks %.2f%%, its playback " \
       "%.2f%% of one core\n", sum["nobody"] / n["nobody"], sum["computer"] / n["computer"],
       sum["playback"] / n["playback"]}' "$work/figures"
