# shellcheck shell=bash source-path=SCRIPTDIR
# Sourced by every script that needs an X server: a private Xvfb with no window manager, and the
# checks of checks.sh. The server ends with the script, however it ends.
#   start_xvfb [WIDTHxHEIGHT]   starts the server (640x480 unless given) and exports DISPLAY
#   visible_window NAME         the id of the visible window named exactly NAME, if there is one
#   has_visible_window NAME

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

xvfb_pid=""

start_xvfb() {
  command -v Xvfb >/dev/null || fail_now "Xvfb is not installed"
  # -displayfd: the server takes the first free display number itself and writes it there once
  # it accepts connections, so runs side by side never reach for the same number.
  # -noreset: by default the server resets when its last client leaves, and a program that
  # connects during the reset finds no display.
  # -br: a black root window, so an empty screen is all black.
  # Emptied first: a second server's number must not be read from the file the first wrote,
  # before the new server has even opened it.
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 "${1:-640x480}x24" -nolisten tcp -noreset -br \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local number=""
  wait_until 15 xvfb_told_or_ended || true
  read -r number <"$work/display" && [[ $number =~ ^[0-9]+$ ]] || fail_now "Xvfb did not start"
  export DISPLAY=":$number"
  unset WAYLAND_DISPLAY
  echo "X server on $DISPLAY"
}

# True once the server has written its display number, or has ended.
xvfb_told_or_ended() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }

explain_failure() {
  [ -n "$xvfb_pid" ] || return 0
  kill -0 "$xvfb_pid" 2>/dev/null && return 0
  echo "The X server has ended. It said: $(cat "$work/xvfb.log")"
}

visible_window() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}

has_visible_window() {
  [ -n "$(visible_window "$1")" ]
}
