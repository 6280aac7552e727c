#!/usr/bin/env bash
# Two real games over the network on one machine, and a watcher: the host on one private X
# server, the guest on another, the watcher on a third, over 127.0.0.1. The host shows that it
# waits; once the guest has joined, keys on either side move that player's block on both screens
# alike; a watcher who comes late shows the same game, and its keys do nothing; Escape on the
# guest ends all three with status 0, and the three recordings hold the same game.
# Usage: play_over_network_xvfb.sh APP_DIR   (the directory holding zorvane and its files)
set -uo pipefail

app_dir=${1:?usage: play_over_network_xvfb.sh APP_DIR}
source "$(dirname "$0")/../support/game_xvfb_session.sh"

prepare_two_games
start_xvfb 1280x960
watcher_display=$DISPLAY

on_host() { DISPLAY=$host_display "$@"; }
on_guest() { DISPLAY=$guest_display "$@"; }
on_watcher() { DISPLAY=$watcher_display "$@"; }
shoot() { DISPLAY=$1 import -window root "$work/$2.png"; }
differing() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }
host_says_waiting() { grep -q "waiting for a player on port $port" "$work/host.stdout"; }

# --- The host waits, and shows it. -------------------------------------------------------------
# (Not asking this machine's router: traffic stays on 127.0.0.1.)
(cd "$work" && DISPLAY=$host_display exec "$app/zorvane" --host "$port" --no-router \
  --record "$work/host.rec") \
  >"$work/host.stdout" 2>"$work/host.stderr" &
host_pid=$!
if wait_until 10 host_says_waiting; then pass "the host says it waits on port $port"; else
  fail "the host did not say it waits"
  cat "$work/host.stdout" "$work/host.stderr"
fi
if wait_until 10 host_shows_waiting; then pass "the host's screen shows that it waits"; else
  fail "no waiting sign on the host's screen"
fi

# --- The guest joins; both show one arena. -----------------------------------------------------
DISPLAY=$guest_display start_game "$app/zorvane" --join "127.0.0.1:$port" --record "$work/guest.rec"
joined() { ! host_shows_waiting; }
if wait_until 10 joined; then
  pass "the waiting sign goes once the guest has joined"
else
  fail "the host still shows that it waits"
  cat "$work/stderr"
fi
settle() { sleep 1.5; }
settle
shoot "$host_display" host1
shoot "$guest_display" guest1
if [ "$(differing host1 guest1)" = "0" ]; then pass "both screens show the same arena"; else
  fail "the two screens differ at the start"
fi

# --- Keys on each side move that player's block, on both screens alike. -------------------------
on_host xdotool mousemove 640 480 key Left Left Up
on_guest xdotool mousemove 640 480 key Right Right Down
settle
shoot "$host_display" host2
shoot "$guest_display" guest2
moved=$(differing host1 host2)
if [ -n "$moved" ] && [ "$moved" != "0" ]; then pass "the keys moved the blocks ($moved pixels)"; else
  fail "nothing moved after keys on both sides"
fi
if [ "$(differing host2 guest2)" = "0" ]; then pass "both screens show the same game after the keys"; else
  fail "the two screens differ after the keys"
fi

# --- A watcher comes late, sees the same game, and its keys do nothing. ------------------------
(cd "$work" && DISPLAY=$watcher_display exec "$app/zorvane" --watch "127.0.0.1:$port" \
  --record "$work/watcher.rec") >"$work/watcher.stdout" 2>"$work/watcher.stderr" &
watcher_pid=$!
settle
on_watcher xdotool mousemove 640 480 key Left Up Return
settle
shoot "$host_display" host3
shoot "$watcher_display" watcher3
if [ "$(differing host3 watcher3)" = "0" ]; then
  pass "the late watcher shows the host's screen, its keys did nothing"
else
  fail "the watcher's screen differs from the host's"
  cat "$work/watcher.stderr"
fi

# --- Escape on the guest ends both. -------------------------------------------------------------
on_guest xdotool key Escape
wait_for_game 10
if [ "$game_status" = "0" ]; then pass "Escape ends the guest with status 0"; else
  fail "the guest ended with status $game_status"
  cat "$work/stderr"
fi
# The game started in the background as NAME (host, watcher) ends within 10 s with status 0.
#   expect_ended NAME PID
expect_ended() {
  wait_for_job 10 "$2"
  case $ended_status in
    0) pass "the $1 ends with status 0" ;;
    124) fail "the $1 did not end" ;;
    *) fail "the $1 ended with status $ended_status" ;;
  esac
  [ "$ended_status" = 0 ] || cat "$work/$1.stderr"
}
expect_ended host "$host_pid"
expect_ended watcher "$watcher_pid"
if [ -s "$work/host.rec" ] && cmp -s "$work/host.rec" "$work/guest.rec" &&
  cmp -s "$work/host.rec" "$work/watcher.rec"; then
  pass "the three recordings hold the same game ($(grep -c '^key' "$work/host.rec") keys)"
else
  fail "the recordings differ"
  diff "$work/host.rec" "$work/guest.rec" | head -20
  diff "$work/host.rec" "$work/watcher.rec" | head -20
fi

finish
