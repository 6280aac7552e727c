# Sourced by the scripts that drive Config under Xvfb. Gives a private X server, a scratch
# directory, and cleanup on every way out.

session_dir=$(mktemp -d)
xvfb_pid=""
app_pid=""

end_session() {
  if [[ -n "$app_pid" ]]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$session_dir"
}
trap end_session EXIT
trap 'exit 2' INT TERM HUP

fail() {
  echo "FAIL: $*" >&2
  if [[ -n "$xvfb_pid" ]] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "(Xvfb on $DISPLAY has ended)" >&2
  fi
  [[ -s "$session_dir/xvfb.log" ]] && echo "Xvfb says: $(cat "$session_dir/xvfb.log")" >&2
  exit 1
}

# wait_until SECONDS COMMAND...: polls every 20 ms until COMMAND succeeds; false on timeout.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.02
  done
}

# Starts Xvfb on a free display number and sets DISPLAY. Numbers are drawn at random from a
# high range, away from the low ones other sessions favour; a number another server takes first
# makes this one fail to start, and the next number is tried.
start_xvfb() {
  local attempt display
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    display=$((200 + RANDOM % 800))
    [[ -e /tmp/.X$display-lock || -e /tmp/.X11-unix/X$display ]] && continue
    # -noreset: by default the server resets when its last client leaves, and a program that
    # connects during the reset is refused.
    Xvfb ":$display" -screen 0 640x480x24 -nolisten tcp -noreset >"$session_dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_until 10 xvfb_answers_or_ended "$display" || true
    if xdpyinfo -display ":$display" >/dev/null 2>&1; then
      export DISPLAY=":$display"
      return 0
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  fail "Xvfb did not start: $(cat "$session_dir/xvfb.log")"
}

# True once the server for display $1 answers, or has ended.
xvfb_answers_or_ended() {
  kill -0 "$xvfb_pid" 2>/dev/null || return 0
  xdpyinfo -display ":$1" >/dev/null 2>&1
}

# Prints the id of the visible window whose name is exactly $1, if there is one.
visible_window() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}

has_visible_window() {
  [[ -n "$(visible_window "$1")" ]]
}
