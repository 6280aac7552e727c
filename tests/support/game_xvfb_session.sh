# Sourced by the scripts that drive the real game on a private X server with no window manager:
# the server, a scratch directory, starting and waiting for the game, its message box, and
# cleanup on every way out. The sourcing script sets app_dir first.
#   start_game_server WIDTHxHEIGHT

for tool in Xvfb xdotool xwininfo import convert compare; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
game_pid=""
# Further servers and games a script runs at once (two games over the network): killed too.
extra_pids=()
failures=0

cleanup() {
  if [ -n "$game_pid" ]; then kill -KILL "$game_pid" 2>/dev/null; fi
  for pid in "${extra_pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# Polls a command every 0.1 s for up to $1 seconds; true once it succeeds.
wait_until() {
  local tries=$(($1 * 10))
  shift
  while [ "$tries" -gt 0 ]; do
    if "$@"; then return 0; fi
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}

# -displayfd lets the server take the first free display number itself and say which.
# -noreset: by default the server resets when its last client leaves, and a game that connects
# during the reset finds no display.
start_game_server() {
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset -br 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  if ! wait_until 15 test -s "$work/display"; then
    cat "$work/xvfb.log"
    echo "FAIL: Xvfb did not start"
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$work/display")"
  unset WAYLAND_DISPLAY
  echo "X server on $DISPLAY"
}

# Starts the game: any arguments before the program (env settings, unshare ...) come first.
start_game() {
  "$@" >"$work/stdout" 2>"$work/stderr" &
  game_pid=$!
}

game_running() { kill -0 "$game_pid" 2>/dev/null; }
game_ended() { ! game_running; }

# Waits up to $1 seconds for the game to end; sets game_status (124 when it had to be killed).
wait_for_game() {
  if wait_until "$1" game_ended; then
    wait "$game_pid"
    game_status=$?
  else
    kill -KILL "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    game_status=124
  fi
  game_pid=""
}

# The line xwininfo gives for a top-level window of that exact name: id "name": () WxH+x+y +X+Y.
# (xdotool cannot match the UTF-8 name SDL gives its message box.)
window_line() { xwininfo -root -tree 2>/dev/null | grep -F "\"$1\": (" | head -n1; }
message_box() { [ -n "$(window_line 'Zorvane error')" ]; }
game_window() { [ -n "$(window_line Zorvane)" ]; }

# Dismisses the message box with the keyboard, the pointer over it, as a player would. With no
# window manager and a server that does not reset, nobody gives the box the focus the game
# window had: it is given here.
dismiss_message_box() {
  local line id size position width height x y
  line=$(window_line 'Zorvane error')
  [ -n "$line" ] || return 1
  id=$(echo "$line" | awk '{print $1}')
  size=$(echo "$line" | awk '{print $(NF-1)}')  # WxH+x+y
  position=$(echo "$line" | awk '{print $NF}')  # +X+Y on the screen
  width=${size%%x*}
  height=${size#*x}
  height=${height%%+*}
  x=$(echo "$position" | cut -d+ -f2)
  y=$(echo "$position" | cut -d+ -f3)
  xdotool mousemove $((x + width / 2)) $((y + height / 2))
  xdotool windowfocus "$id"
  sleep 0.2
  xdotool key Return
}
