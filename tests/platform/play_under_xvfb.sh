#!/usr/bin/env bash
# Plays the real game on a private X server with no window manager: what the screen shows, that
# the keys move the blocks, that Escape and SIGTERM end it cleanly, and how it fails without its
# settings, without a bitmap in the middle of play, and without any display at all.
# With --window-manager, only the first game is played, under openbox, as on a player's desktop:
# the window manager makes the game full screen and gives it the keyboard.
# Usage: play_under_xvfb.sh APP_DIR [--window-manager]   (APP_DIR holds zorvane and its files)
set -uo pipefail

usage="usage: play_under_xvfb.sh APP_DIR [--window-manager]"
app_dir=${1:?$usage}
window_manager=false
case ${2:-} in
  "") ;;
  --window-manager) window_manager=true ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
source "$(dirname "$0")/../support/game_xvfb_session.sh"

# --- The X server: 1280 x 960 makes every game pixel an exact 2 x 2 block. --------------------
start_xvfb 1280x960
$window_manager && start_window_manager

# --- Helpers -----------------------------------------------------------------------------------

# Passes when the game ended by itself with status 0; $1 names what ended it.
expect_clean_exit() {
  if [ "$game_status" = "0" ]; then pass "$1 ends the game with status 0"; else
    fail "$1: status $game_status"
  fi
}

# Passes when the game ended by itself with a non-zero status; $1 names the case.
expect_failure_status() {
  if [ "$game_status" != "0" ] && [ "$game_status" != "124" ]; then
    pass "$1 ends the game with status $game_status"
  else
    fail "$1: status $game_status"
  fi
}

# Passes when the game's standard error matches the pattern $1; $2 says what it should name.
expect_stderr() {
  if grep -qi "$1" "$work/stderr"; then pass "standard error $2"; else
    fail "standard error does not: $2"
    cat "$work/stderr"
  fi
}

# The bounding box (WxH+X+Y) of a block's colour in a screenshot taken down to game pixels.
blue_box() { block_colour_info blue "$work/$1.ppm" '%@' -sample 50%; }
red_box() { block_colour_info red "$work/$1.ppm" '%@' -sample 50%; }
box_x() { echo "$1" | sed 's/^[0-9]*x[0-9]*+\([0-9]*\)+.*/\1/'; }
box_y() { echo "$1" | sed 's/^[0-9]*x[0-9]*+[0-9]*+\([0-9]*\)$/\1/'; }
# Whether two boxes lie within a block's size of each other: blocks dealt touching trade their
# speeds on every tick, so a key would move the other one.
boxes_touch() {
  local dx=$(($(box_x "$1") - $(box_x "$2"))) dy=$(($(box_y "$1") - $(box_y "$2")))
  [ "${dx#-}" -lt 34 ] && [ "${dy#-}" -lt 34 ]
}
# How many pixels of two images differ.
differing() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
# Cuts an image down to the bits an RGB565 pixel holds: the top 5, 6 and 5 bits of each channel
# (ImageMagick holds 16 bits a channel; its shifts round, masks do not).
to_565() {
  convert "$1" -channel R,B -evaluate And 63488 -channel G -evaluate And 64512 +channel "$2"
}
# Presses key $1 and passes when the $2 block (blue or red), at box $3 before, shows elsewhere in
# a screenshot $4 taken within 5 s. (A block partly beyond a wall is not drawn at all.)
press_and_expect_move() {
  local key=$1 block=$2 before=$3 shot=$4 after
  moved() {
    shoot "$shot"
    after=$("${block}_box" "$shot")
    [ "$after" != "$before" ] && [ "${after%%+*}" != 0x0 ]
  }
  xdotool key "$key"
  if wait_until 5 moved; then pass "$key moved the $block block ($before -> $after)"; else
    fail "$key did not move the $block block"
  fi
}
# Shoots still1 until it shows what the shot before it showed: the picture has come to rest.
picture_settled() {
  [ -f "$work/still1.ppm" ] && mv "$work/still1.ppm" "$work/still0.ppm"
  shoot still1
  [ -f "$work/still0.ppm" ] && [ "$(differing "$work/still0.ppm" "$work/still1.ppm")" = "0" ]
}
# Settings with no friction and no damage: blocks keep the speed the keys give them, and live.
live="5 0 30 15 0 100"

# --- A game: the arena shows, the keys move the blocks, Escape ends it. ------------------------
app=$(make_app play "$live" "$live")
# A deal with the blocks touching is played again (about one in eighty). Start-up bounces settle
# before the first of two pictures taken a moment apart.
for deal in 1 2 3; do
  start_game "$app/zorvane"
  wait_until 10 screen_shows_something || break
  rm -f "$work"/still?.ppm
  wait_until 5 picture_settled || break
  boxes_touch "$(blue_box still1)" "$(red_box still1)" || break
  xdotool mousemove 640 480 key Escape
  wait_for_game 10
done
if ! game_running || ! screen_shows_something; then
  fail "the game showed nothing within 10 s"
  cat "$work/stderr"
else
  pass "the game shows a picture"
  xdotool mousemove 640 480
  sleep 0.3
  shoot still2
  if [ "$(differing "$work/still1.ppm" "$work/still2.ppm")" = "0" ]; then
    pass "nothing moves without keys"
  else
    fail "the picture changed with no key pressed"
  fi

  # Every 2 x 2 block of the screen is one colour: the picture is exactly doubled.
  convert "$work/still1.ppm" -sample 50% "$work/game-pixels.ppm"
  convert "$work/game-pixels.ppm" -scale 200% "$work/doubled.ppm"
  if [ "$(differing "$work/still1.ppm" "$work/doubled.ppm")" = "0" ]; then
    pass "the picture is shown at exactly 2x"
  else
    fail "the screen is not the picture doubled"
  fi

  # The arena is the background bitmap, pixel for pixel in RGB565, but under the two blocks.
  to_565 "$work/game-pixels.ppm" "$work/shown-565.png"
  to_565 "$app_dir/bg.bmp" "$work/bg-565.png"
  off=$(differing "$work/shown-565.png" "$work/bg-565.png")
  if [ -n "$off" ] && [ "$off" -gt 0 ] && [ "$off" -le 1800 ]; then
    pass "the arena is the background bitmap ($off pixels under the blocks)"
  else
    fail "the arena differs from the background bitmap in '$off' pixels"
  fi

  if $window_manager; then
    id=$(window_line Zorvane | awk '{print $1}')
    if xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN; then
      pass "the window manager holds the game full screen"
    else
      fail "the game is not full screen: $(xprop -id "$id" _NET_WM_STATE)"
    fi
    [ "$(xdotool getwindowfocus)" = "$((id))" ] && pass "the game window has the keyboard" ||
      fail "the keyboard is not the game's"
  fi

  blue1=$(blue_box still1)
  red1=$(red_box still1)
  echo "blue at $blue1, red at $red1"
  # Push blue away from red so the two cannot meet, and see it go.
  if [ "$(box_x "$blue1")" -lt "$(box_x "$red1")" ]; then arrow=Left; else arrow=Right; fi
  press_and_expect_move "$arrow" blue "$blue1" blue-moved

  red2=$(red_box blue-moved)
  if [ "$(box_y "$red2")" -lt 240 ]; then key=s; else key=w; fi
  press_and_expect_move "$key" red "$red2" red-moved

  xdotool key Escape
  wait_for_game 10
  expect_clean_exit "Escape"
  shoot after
  if [ "$(brightest after)" = "0" ]; then pass "the display is given back"; else
    fail "something is left on the screen after the game"
  fi
fi
[ -n "$game_pid" ] && wait_for_game 0
# The rest is about a bare X server: where windows go, message boxes, no display.
$window_manager && finish

# --- SIGTERM asks the game to close, as closing the window does. --------------------------------
start_game "$app/zorvane"
if wait_until 10 screen_shows_something; then
  kill -TERM "$game_pid"
  wait_for_game 10
  expect_clean_exit "SIGTERM"
else
  fail "the game showed nothing before SIGTERM"
  wait_for_game 0
fi

# --- A plain start says nothing on standard error but, where no sound card is, the one line of
# ours that says so: no "ALSA lib" lines. ---
app=$(make_app quiet)
start_game "$app/zorvane"
if wait_until 10 screen_shows_something; then
  xdotool mousemove 640 480 key Escape
  wait_for_game 10
  expect_clean_exit "Escape after a plain start"
  if ! grep -v "^zorvane: sound: no audio device" "$work/stderr"; then
    pass "a plain start writes nothing else on standard error"
  else
    fail "a plain start wrote the lines above on standard error"
  fi
else
  fail "the game showed nothing for the plain start"
  wait_for_game 0
fi

# --- No settings file: a message, and no window, before anything else. -------------------------
app=$(make_app no-settings)
rm "$app/zorvane.ini"
start_game "$app/zorvane"
if wait_until 10 message_box; then
  pass "a missing settings file gives a message box"
  ! game_window && pass "no game window came up" ||
    fail "a game window exists alongside the message"
  dismiss_message_box
else
  fail "no message box for a missing settings file"
fi
wait_for_game 10
expect_failure_status "a missing settings file"
expect_stderr "zorvane.ini" "names the settings file"

# --- A bitmap missing in the middle of play: the display first goes back, then the message. -----
app=$(make_app dead-bitmaps "5 0 30 15 1000 100" "5 0 30 15 1000 100")
rm "$app/reddead.bmp" "$app/bluedead.bmp"
start_game "$app/zorvane"
game_window_or_message() { game_window || message_box; }
if wait_until 10 game_window_or_message; then
  # A block dealt beyond a wall dies on the first tick; otherwise both go right until one of
  # them reaches a wall, which is fatal here.
  if ! message_box; then
    xdotool mousemove 640 480
    xdotool key Right Right Right d d d
  fi
  if wait_until 15 message_box; then
    pass "a missing bitmap during play gives a message box"
    ! game_window && pass "the game window was gone before the message" ||
      fail "the game window is still there behind the message"
    dismiss_message_box
  else
    fail "no message box for a missing bitmap during play"
  fi
else
  fail "neither the game window nor a message came up"
fi
wait_for_game 10
expect_failure_status "the missing bitmap"
expect_stderr "dead.bmp" "names the bitmap"

# --- No display at all. ------------------------------------------------------------------------
app=$(make_app no-display)
( unset DISPLAY; exec "$app/zorvane" ) >"$work/stdout" 2>"$work/stderr" &
game_pid=$!
wait_for_game 20
expect_failure_status "no display"
expect_stderr "no display" "says there is no display"

# --- --window: a window, Alt+Enter to full screen and back; a bad argument opens nothing. ------
app=$(make_app window "$live" "$live")
"$app/zorvane" --bogus >"$work/stdout" 2>"$work/stderr"
game_status=$?
[ "$game_status" = "2" ] && pass "an unknown argument ends with status 2" ||
  fail "an unknown argument: status $game_status"
expect_stderr "usage: zorvane" "shows the usage for an unknown argument"
! game_window && pass "no window for an unknown argument" || fail "a window for an unknown argument"

# The game window's geometry, WxH+X+Y.
window_geometry() { window_line Zorvane | awk '{print $(NF-1)}'; }
# Passes when screenshot $1 shows the arena at whole multiple $2 with its top left at $3,$4:
# every pixel repeated exactly, the background bitmap but under the blocks, black around it.
expect_arena() {
  local shot="$work/$1.ppm" scale=$2 x=$3 y=$4 w=$((640 * $2)) h=$((480 * $2)) off around
  convert "$shot" -crop "${w}x$h+$x+$y" +repage -sample "640x480!" "$work/arena.png"
  convert "$work/arena.png" -scale "${w}x$h!" "$work/arena-scaled.png"
  convert "$shot" -crop "${w}x$h+$x+$y" +repage "$work/arena-shown.png"
  to_565 "$work/arena.png" "$work/arena-565.png"
  to_565 "$app_dir/bg.bmp" "$work/bg-565.png"
  off=$(differing "$work/arena-565.png" "$work/bg-565.png")
  around=$(convert "$shot" -fill black -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" \
    -format '%[max]' info:)
  if [ "$(differing "$work/arena-shown.png" "$work/arena-scaled.png")" = "0" ] &&
    [ -n "$off" ] && [ "$off" -le 1800 ] && [ "$around" = "0" ]; then
    pass "$1: the arena at ${scale}x at $x,$y, black around it"
  else
    fail "$1: not the arena at ${scale}x at $x,$y ($off pixels off the background, around: $around)"
  fi
}
# Waits for the game window to take geometry $1, then takes screenshot $2 once it has settled.
expect_geometry() {
  local geometry
  window_has() { [ "$(window_geometry)" = "$1" ]; }
  if wait_until 5 window_has "$1"; then pass "$2: the window is $1"; else
    fail "$2: the window is $(window_geometry), not $1"
  fi
  rm -f "$work"/still?.ppm
  wait_until 5 picture_settled
  cp "$work/still1.ppm" "$work/$2.ppm"
}

start_game "$app/zorvane" --window
if wait_until 10 screen_shows_something; then
  xdotool mousemove 640 480
  # No window manager: the usable area is the whole 1280 x 960 screen, 2x fits exactly.
  expect_geometry 1280x960+0+0 window-opened
  expect_arena window-opened 2 0 0
  xdotool windowsize "$(window_line Zorvane | awk '{print $1}')" 1000 800
  expect_geometry 1000x800+0+0 window-resized
  expect_arena window-resized 1 180 160
  xdotool key alt+Return
  expect_geometry 1280x960+0+0 window-full-screen
  expect_arena window-full-screen 2 0 0
  xdotool key alt+Return
  expect_geometry 1000x800+0+0 window-again
  expect_arena window-again 1 180 160
  xdotool key Escape
  wait_for_game 10
  expect_clean_exit "Escape in a window"
else
  fail "the game in a window showed nothing within 10 s"
  cat "$work/stderr"
  wait_for_game 0
fi

# --- A recorded game replays exactly, in the replay tool and in the game. -----------------------
app=$(make_app record)
recording="$work/game.rec"
start_game "$app/zorvane" --record "$recording"
if wait_until 10 screen_shows_something; then
  xdotool mousemove 640 480 key Right Right w a Down
  sleep 1.3
  xdotool key Left s
  sleep 0.3
  xdotool key Escape
  wait_for_game 10
  expect_clean_exit "Escape while recording"
  # A release package ships no replay tool.
  if [ ! -x "$app_dir/zorvane-replay" ]; then
    echo "note: no zorvane-replay in $app_dir: the recording is replayed in the build tree only"
  elif "$app_dir/zorvane-replay" --dir "$app" "$recording" >"$work/replayed" 2>&1 &&
    grep -q '"event":"expect"' "$work/replayed"; then
    pass "zorvane-replay replays the recording, every expect line met"
  else
    fail "zorvane-replay does not replay the recording: $(tail -n1 "$work/replayed")"
  fi
  start_game "$app/zorvane" --play "$recording" --exit-at-end
  wait_until 10 screen_shows_something && pass "--play shows the game" ||
    fail "--play showed nothing"
  wait_for_game 20
  expect_clean_exit "the end of the recording with --exit-at-end"
else
  fail "the recording game showed nothing"
  wait_for_game 0
fi
start_game "$app/zorvane" --record "$work/no-such-dir/game.rec"
if wait_until 10 message_box; then
  pass "a recording that cannot be made gives a message box"
  ! game_window && pass "no game window came up" || fail "a game window opened anyway"
  dismiss_message_box
else
  fail "no message box for a recording that cannot be made"
fi
wait_for_game 10
[ "$game_status" = "1" ] && pass "and status 1" || fail "status $game_status, not 1"
expect_stderr "no-such-dir/game.rec: No such file" "names the recording and the cause"
# --- A recording watched like a video: it plays by itself, a pause holds the picture still, a
# jump changes it, the end pauses, and Escape leaves. ---
# Blocks that keep their speed and never die: the picture moves for all of the 30 s.
printf '%s\n' "settings 5 0 30 15 0 100 5 0 30 15 0 100" "seed 1" "key 39" "key 40" "key 87" \
  "tick 1500" "key 27" >"$work/moving.rec"
# Screenshot $1, and its part above the timeline's band ($1-arena.png).
shoot_arena() {
  shoot "$1"
  convert "$work/$1.ppm" -crop 1280x904+0+0 +repage "$work/$1-arena.png"
}
arena_moved() { shoot_arena "$2" && [ "$(differing "$work/$1-arena.png" "$work/$2-arena.png")" != "0" ]; }
arena_settled() {
  [ -f "$work/still1-arena.png" ] && mv "$work/still1-arena.png" "$work/still0-arena.png"
  shoot_arena still1
  [ -f "$work/still0-arena.png" ] && [ "$(differing "$work/still0-arena.png" "$work/still1-arena.png")" = "0" ]
}
start_game "$app/zorvane" --play "$work/moving.rec"
if wait_until 10 screen_shows_something; then
  xdotool mousemove 640 480
  shoot_arena playing
  wait_until 5 arena_moved playing playing-later && pass "the recording plays by itself" ||
    fail "the recording does not move"
  xdotool key space
  rm -f "$work"/still?-arena.png
  wait_until 5 arena_settled
  sleep 0.5
  shoot_arena paused
  if [ "$(differing "$work/still1-arena.png" "$work/paused-arena.png")" = "0" ]; then
    pass "a pause holds the picture still"
  else
    fail "the picture moved while paused"
  fi
  # Moving the pointer shows the timeline: the first round's mark, yellow, at its left end.
  timeline_shown() {
    xdotool mousemove 700 $((500 + RANDOM % 20))
    shoot timeline
    mark=$(convert "$work/timeline.ppm" -format '%[pixel:p{17,915}]' info:)
    [ "$mark" = "srgb(255,255,0)" ] || [ "$mark" = "yellow" ]
  }
  wait_until 5 timeline_shown && pass "the timeline shows along the bottom" ||
    fail "no timeline: $mark at its first mark"
  xdotool key Right
  wait_until 5 arena_moved paused jumped && pass "a jump changes the picture" ||
    fail "the picture stayed after a jump"
  xdotool key End
  sleep 1
  game_running && pass "the end of the recording pauses" || fail "the game ended at the end"
  xdotool key Escape
  wait_for_game 10
  expect_clean_exit "Escape in the viewer"
else
  fail "the viewer showed nothing within 10 s"
  cat "$work/stderr"
  wait_for_game 0
fi

printf 'tick 5\nkey\n' >"$work/bad.rec"
( unset DISPLAY; exec "$app/zorvane" --play "$work/bad.rec" ) >"$work/stdout" 2>"$work/stderr"
game_status=$?
[ "$game_status" = "2" ] && pass "a malformed recording gives status 2" ||
  fail "a malformed recording: status $game_status"
expect_stderr "bad.rec: line 2" "names the malformed line"

# --- Against the computer: the person's keys of either set steer blue, the computer's red, and the
# recording of both replays. ---------------------------------------------------------------------
app=$(make_app cpu)
recording="$work/cpu.rec"
start_game "$app/zorvane" --cpu --level 3 --record "$recording"
if wait_until 10 screen_shows_something; then
  xdotool mousemove 640 480 key Right Right w a Down
  sleep 1.5
  xdotool key Escape
  wait_for_game 10
  expect_clean_exit "Escape against the computer"
  blue_keys=$(grep -E '^key (37|38|39|40)$' "$recording" | cut -d' ' -f2 | tr '\n' ' ')
  red_keys=$(grep -cE '^key (65|68|83|87)$' "$recording")
  [ "$blue_keys" = "39 39 38 37 40 " ] && pass "the person's keys, W and A too, steered blue" ||
    fail "blue's keys in the recording: '$blue_keys', not '39 39 38 37 40'"
  [ "$red_keys" -gt 0 ] && pass "the computer pressed $red_keys keys of red" ||
    fail "the computer pressed no key"
  if [ ! -x "$app_dir/zorvane-replay" ]; then
    echo "note: no zorvane-replay in $app_dir: the recording is replayed in the build tree only"
  elif "$app_dir/zorvane-replay" --dir "$app" "$recording" >"$work/replayed" 2>&1; then
    pass "zorvane-replay replays the game against the computer"
  else
    fail "the game against the computer does not replay: $(tail -n1 "$work/replayed")"
  fi
else
  fail "the game against the computer showed nothing"
  wait_for_game 0
fi

finish
