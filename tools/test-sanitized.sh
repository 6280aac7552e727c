#!/usr/bin/env bash
# Builds everything again with AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer
# and runs the whole test suite there but the soaks. Every sanitizer report, even one from a program whose
# status a test does not look at, is written to a file under the build folder; any such file
# fails the run.
#   test-sanitized.sh BUILD_DIR WERROR JOBS
set -euo pipefail
build=$1 werror=$2 jobs=$3
root=$(cd "$(dirname "$0")/.." && pwd)

cmake -S "$root" -B "$build" -DZORVANE_SANITIZE=ON -DZORVANE_WERROR="$werror" -DBUILD_TESTING=ON \
  -DZORVANE_BENCHMARKS=OFF \
  >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j"$jobs"

reports="$(realpath "$build")/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
# A distinct status for a sanitizer's stop, so that a test expecting a failure status does not
# take it for the program's own.
export ASAN_OPTIONS="detect_leaks=1:exitcode=86:log_path=$reports/report"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/report"
export LSAN_OPTIONS="suppressions=$root/tools/lsan-suppressions.txt:print_suppressions=0"

status=0
(cd "$build" && ctest --output-on-failure -j"$jobs" -LE soak) || status=$?
if compgen -G "$reports/report*" >/dev/null; then
  echo "Sanitizer reports:"
  for report in "$reports"/report*; do
    echo "=== $report"
    cat "$report"
  done
  status=1
fi
exit $status
