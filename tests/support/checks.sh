# shellcheck shell=bash source-path=SCRIPTDIR
# Sourced by the test scripts: a scratch directory, checks that count their failures, polling in
# place of fixed sleeps, a seed that can be given again, and cleanup on every way out.
#   pass MESSAGE                   a check that held
#   fail MESSAGE                   a check that did not: counted, and the script goes on
#   fail_now MESSAGE               a failure the rest cannot go on from: ends the script
#   skip MESSAGE                   a part that cannot run on this machine, and why
#   finish                         ends the script: 1 after a failure, else 77 (CTest's
#                                  SKIP_RETURN_CODE) after a skipped part, else 0
#   wait_until SECONDS COMMAND...  polls COMMAND until it succeeds; false once SECONDS have gone
#   use_test_seed                  seeds $RANDOM from ZORVANE_TEST_SEED, or afresh, and says which
#   signal_ends_session PID SIGNAL STATUS NAME
#                                  sends SIGNAL to PID, a background job leading a session of its
#                                  own (setsid); checks that within a second it ends with STATUS
#                                  and leaves no process of its session behind
# Programs the script leaves running in the background are ended when it exits.

work=$(mktemp -d)
failures=0
skipped=0

pass() { echo "ok: $*"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
  explain_failure
}
fail_now() {
  fail "$@"
  exit 1
}
skip() {
  echo "skipped: $*"
  skipped=$((skipped + 1))
}
# What a sourcing helper adds to a failure (the X server's state, say); nothing by default.
explain_failure() { :; }

finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  if [ "$skipped" -gt 0 ]; then
    echo "every check that could run passed; $skipped part(s) skipped"
    exit 77
  fi
  echo "all checks passed"
  exit 0
}

# Microseconds since the epoch, without a fork (the decimal point follows the locale).
now_micros() { echo "${EPOCHREALTIME/[.,]/}"; }

wait_until() {
  local deadline=$(($(now_micros) + $1 * 1000000))
  shift
  until "$@"; do
    (($(now_micros) < deadline)) || return 1
    sleep 0.05
  done
}

use_test_seed() {
  local seed=${ZORVANE_TEST_SEED:-$(od -An -N2 -tu2 /dev/urandom | tr -d ' ')}
  RANDOM=$seed
  echo "seed $seed (ZORVANE_TEST_SEED=$seed repeats it)"
}

# A process that has ended but that init has yet to reap (state Z) is not left behind.
# shellcheck disable=SC2009  # the state, which pgrep does not print, tells it apart
session_gone() { ! kill -0 "$1" 2>/dev/null && ! ps -o stat= -s "$1" | grep -qv '^Z'; }

signal_ends_session() {
  local pid=$1 signal=$2 status=$3 name=$4 ended=0
  [ "$(ps -o sid= -p "$pid" | tr -d ' ')" = "$pid" ] || fail_now "$name: $pid leads no session"
  kill -"$signal" "$pid"
  if wait_until 1 session_gone "$pid"; then
    pass "$name: ended within a second, leaving no process"
  else
    fail "$name: a second after SIG$signal: $(ps -o pid=,ppid=,stat=,args= -s "$pid")"
    # shellcheck disable=SC2046
    kill -KILL $(ps -o pid= -s "$pid") 2>/dev/null || true
  fi
  wait "$pid" || ended=$?
  if [ "$ended" = "$status" ]; then pass "$name: status $status"; else
    fail "$name: status $ended, not $status"
  fi
}

# Asks what is still running in the background to end, then makes it, and waits for it all: the
# X server must get the chance to remove its lock file and socket.
end_background_jobs() {
  local running
  running=$(jobs -pr)
  [ -n "$running" ] || return 0
  # shellcheck disable=SC2086
  kill -TERM $running 2>/dev/null || true
  # shellcheck disable=SC2016,SC2046
  wait_until 5 eval '[ -z "$(jobs -pr)" ]' || kill -KILL $(jobs -pr) 2>/dev/null || true
  wait 2>/dev/null || true
}

end_checks() {
  end_background_jobs
  rm -rf "$work"
}
trap end_checks EXIT
trap 'exit 130' INT TERM HUP
