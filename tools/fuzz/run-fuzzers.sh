#!/usr/bin/env bash
# Runs each libFuzzer target of a fuzz build (make fuzz) for a while, from a working copy of its
# committed corpus in the build folder, and fails when any target crashes, hangs, leaks, runs out
# of memory or gets a sanitizer report, naming the target and the crasher libFuzzer wrote.
#   run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=$(realpath "${1:?usage: run-fuzzers.sh BUILD_DIR [SECONDS_PER_TARGET]}")
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=0
for target in settings bitmap replay_script net_message; do
  corpus=$build/fuzz-corpus/$target
  artifacts=$build/fuzz-artifacts/$target
  log=$build/fuzz-$target.log
  mkdir -p "$corpus" "$artifacts"
  cp -- "$root/tests/fuzz/corpus/$target/"* "$corpus/"

  # A hang is an input running 10 s; the process may hold 1 GB, one allocation 256 MB.
  status=0
  start=$SECONDS
  nice "$build/tests/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=1024 -malloc_limit_mb=256 -detect_leaks=1 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz $target: ${runs:-?} runs in $((SECONDS - start)) s," \
    "$(find "$corpus" -type f | wc -l) inputs in $corpus"
  if [ "$status" -ne 0 ]; then
    failed=1
    crasher=$(sed -n 's/.*Test unit written to //p' "$log" | tail -1)
    tail -n 40 "$log"
    echo "FAILED: fuzz target $target (status $status, log $log)"
    echo "  crasher: ${crasher:-none written}"
    echo "  once fixed, add it to tests/fuzz/corpus/$target/ so that make test replays it"
  fi
done
exit $failed
