#!/usr/bin/env bash
# The real game on a private X server, met with faults: a missing background and a block bitmap
# with the wrong magic (it plays on without them, Escape ends it with status 0); a damaged dead
# bitmap and a directory in place of zorvane.ini (the display is given back, a message box and a
# line on stderr name the cause, status 1 once the box is dismissed, or at once on SIGTERM, SIGINT
# or SIGHUP, leaving no process behind); a read-only app directory, no audio device and damaged
# waves (it plays, bounces, Escape ends it with status 0). Never a hang, a signal or a core dump.
# Usage: game_faults_xvfb.sh APP_DIR   (the directory holding zorvane and its files)
set -uo pipefail

app_dir=${1:?usage: game_faults_xvfb.sh APP_DIR}
source "$(dirname "$0")/../support/game_xvfb_session.sh"
start_xvfb 640x480

# --- Helpers -----------------------------------------------------------------------------------

# Settings with no friction and no damage: a pushed block bounces from wall to wall for ever and
# lives.
live="5 0 30 15 0 100"

# Passes when the game ended by itself with status $1 (a status above 128 is a signal); $2 names
# the case.
expect_status() {
  if [ "$game_status" = "$1" ]; then pass "$2: status $1"; else
    fail "$2: status $game_status, not $1"
    cat "$work/stderr"
  fi
}

expect_stderr() {
  if grep -qF -- "$1" "$work/stderr"; then pass "$2: stderr says '$1'"; else
    fail "$2: stderr does not say '$1'"
    cat "$work/stderr"
  fi
}

# Counts the pixels of probe.ppm that have the blue block's colour.
blue_pixels() { block_colour_info blue "$work/probe.ppm" '%[fx:round(mean*w*h)]'; }
# Plays a game already started: waits for its window, pushes both blocks into walls, lets them
# bounce, presses Escape; $1 names the case. The status must be 0.
play_and_escape() {
  if ! wait_until 10 has_visible_window Zorvane; then
    fail "$1: no game window within 10 s"
    cat "$work/stderr"
    wait_for_game 0
    return
  fi
  # The pointer over the window gives it the keys. The blocks then have 0.7 s to reach walls.
  xdotool mousemove 320 240 key Right Right Right d d d
  sleep 0.7
  if game_running; then pass "$1: the game runs"; else fail "$1: the game ended by itself"; fi
  screen_shows_something
  xdotool key Escape
  wait_for_game 10
  expect_status 0 "$1"
}

# A fault that ends the game: the game window goes before the message box comes; $1 names the
# case, $2 what stderr must say.
expect_message_and_failure() {
  if wait_until 10 message_box; then
    pass "$1: a message box"
    if game_window; then fail "$1: the game window is still there"; else
      pass "$1: the display was given back before the message"
    fi
    dismiss_message_box
  else
    fail "$1: no message box"
  fi
  wait_for_game 10
  expect_status 1 "$1"
  expect_stderr "$2" "$1"
}

# --- Bitmaps -----------------------------------------------------------------------------------

# The round stops at the first bitmap that fails: without the background nothing is drawn.
app=$(make_app no-background "$live" "$live")
rm "$app/bg.bmp"
start_game "$app/zorvane"
play_and_escape "bg.bmp missing"
if [ "$(convert "$work/probe.ppm" -format '%[max]' info:)" = "0" ]; then
  pass "bg.bmp missing: the screen stays black"
else
  fail "bg.bmp missing: something was drawn"
fi

app=$(make_app blue-magic "$live" "$live")
printf 'BN' | dd of="$app/blueblock.bmp" conv=notrunc status=none
start_game "$app/zorvane"
play_and_escape "blueblock.bmp with the wrong magic"
if [ "$(convert "$work/probe.ppm" -format '%[max]' info:)" = "0" ]; then
  fail "blueblock.bmp with the wrong magic: nothing was drawn"
elif [ "$(blue_pixels)" != "0" ]; then
  fail "blueblock.bmp with the wrong magic: a blue block is drawn"
else
  pass "blueblock.bmp with the wrong magic: the arena and the red block, no blue block"
fi

# A block with no health is dead from the start: its dead bitmap is loaded at the first tick.
app=$(make_app red-dead-short "$live" "5 0 30 15 0 0")
truncate -s -1 "$app/reddead.bmp"
start_game "$app/zorvane"
expect_message_and_failure "reddead.bmp one byte short" "Cannot load bitmap $app/reddead.bmp"

app=$(make_app blue-dead-huge "5 0 30 15 0 0" "$live")
printf '\xa0\x86\x01\x00\xa0\x86\x01\x00' | dd of="$app/bluedead.bmp" bs=1 seek=18 conv=notrunc \
  status=none
start_game "$app/zorvane"
expect_message_and_failure "bluedead.bmp claiming 100000 x 100000" \
  "Cannot load bitmap $app/bluedead.bmp: the picture is too large"

# --- Settings ----------------------------------------------------------------------------------

app=$(make_app settings-directory "$live" "$live")
rm "$app/zorvane.ini"
mkdir "$app/zorvane.ini"
start_game "$app/zorvane"
expect_message_and_failure "zorvane.ini a directory" "Cannot read $app/zorvane.ini: Is a directory"

# --- Signals while the message box is up --------------------------------------------------------

# The box is a process of its own; a signal ends the game at once with the status it was about to
# end with, and the box with it. The game leads a session of its own, so that whatever it started
# is found; a background job starts with SIGINT ignored, which the game would keep so. zorvane.ini
# is still a directory.
for signal in TERM INT HUP; do
  start_game env --default-signal=INT setsid "$app/zorvane"
  if wait_until 10 message_box; then
    signal_ends_session "$game_pid" "$signal" 1 "SIG$signal while the message box is up"
  else
    fail "SIG$signal while the message box is up: no message box"
    wait_for_game 0
  fi
  game_pid=""
done

# --- A read-only app directory, in a private mount namespace -------------------------------------

if ! refusal=$(unshare -rm true 2>&1); then
  skip "a read-only app directory: no user namespaces here (unshare -rm: ${refusal:-not found})"
else
  app=$(make_app read-only "$live" "$live")
  start_game unshare -rm sh -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" &&
    exec "$1/zorvane"' sh "$app"
  play_and_escape "a read-only app directory"
  if grep -v "^zorvane: sound: no audio device" "$work/stderr" | grep -q "zorvane:"; then
    fail "a read-only app directory: $(cat "$work/stderr")"
  else
    pass "a read-only app directory: no error"
  fi
fi

# --- Sound -------------------------------------------------------------------------------------

app=$(make_app no-audio "$live" "$live")
start_game env SDL_AUDIODRIVER=no-such-driver "$app/zorvane"
play_and_escape "an audio driver that does not exist"
start_game env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/no-such-dir/out.raw" "$app/zorvane"
play_and_escape "an audio device that cannot be opened"

# The disk driver records what the game plays: its own waves are heard, damaged ones are not.
has_sound() { [ -s "$1" ] && [ -n "$(tr -d '\0' <"$1" | head -c1)" ]; }
app=$(make_app waves "$live" "$live")
start_game env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/good.raw" "$app/zorvane"
play_and_escape "good waves"
if has_sound "$work/good.raw"; then pass "good waves: the wall hits are heard"; else
  fail "good waves: nothing was heard"
fi
printf 'RIFX' | dd of="$app/hitwall.wav" conv=notrunc status=none
truncate -s 60 "$app/bang.wav"
start_game env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/bad.raw" "$app/zorvane"
play_and_escape "damaged waves"
if [ -s "$work/bad.raw" ] && ! has_sound "$work/bad.raw"; then
  pass "damaged waves: silence"
else
  fail "damaged waves: not silence"
fi

finish
