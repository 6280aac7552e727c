# shellcheck shell=bash source-path=SCRIPTDIR
# Sourced by the scripts that drive the real game on a private X server (xvfb.sh): private copies
# of the game, starting it and waiting for it (and for other programs in the background), its
# window and its message box. The sourcing script sets app_dir first.

source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

for tool in Xvfb xdotool xwininfo import convert compare; do
  command -v "$tool" >/dev/null || fail_now "$tool is not installed"
done

game_pid=""

# A private copy of the game and its files in $work/NAME, so that its settings and bitmaps can be
# changed; prints its path. Given the two players' settings lines, they are its zorvane.ini.
#   make_app NAME [BLUE_LINE RED_LINE]
# shellcheck disable=SC2154  # app_dir is the sourcing script's
make_app() {
  local dir="$work/$1"
  mkdir -p "$dir"
  cp "$app_dir/zorvane" "$app_dir"/*.bmp "$app_dir"/*.wav "$app_dir/zorvane.ini" "$dir/"
  [ $# -lt 3 ] || printf '%s\r\n%s\r\n' "$2" "$3" >"$dir/zorvane.ini"
  echo "$dir"
}

# Starts the game: any arguments before the program (env settings, unshare ...) come first.
start_game() {
  "$@" >"$work/stdout" 2>"$work/stderr" &
  game_pid=$!
}

game_running() { kill -0 "$game_pid" 2>/dev/null; }
# True once the process $1 has ended.
ended() { ! kill -0 "$1" 2>/dev/null; }

# Waits up to $1 seconds for the background job $2 to end; sets ended_status (124 when it had to
# be killed).
wait_for_job() {
  if wait_until "$1" ended "$2"; then
    wait "$2"
    ended_status=$?
  else
    kill -KILL "$2" 2>/dev/null
    wait "$2" 2>/dev/null
    ended_status=124
  fi
}

# Waits up to $1 seconds for the game to end; sets game_status (124 when it had to be killed).
wait_for_game() {
  wait_for_job "$1" "$game_pid"
  game_status=$ended_status
  game_pid=""
}

# The line xwininfo gives for a top-level window of that exact name: id "name": () WxH+x+y +X+Y.
# (xdotool cannot match the UTF-8 name SDL gives its message box.)
window_line() { xwininfo -root -tree 2>/dev/null | grep -F "\"$1\": (" | head -n1; }
message_box() { [ -n "$(window_line 'Zorvane error')" ]; }
game_window() { [ -n "$(window_line Zorvane)" ]; }

# Screenshots: shoot NAME takes the whole screen into $work/NAME.ppm.
shoot() { import -window root -depth 8 "$work/$1.ppm" 2>/dev/null; }
brightest() { convert "$work/$1.ppm" -format '%[max]' info:; }
# Takes a screenshot into probe.ppm; true when it is not all black.
screen_shows_something() { shoot probe && [ "$(brightest probe)" != "0" ]; }

# Prints FORMAT (ImageMagick's, e.g. %@ for the bounding box) of the pixels of IMAGE that have
# the COLOUR (blue or red) of a block: that channel above each of the other two by more than
# 0.35 and 0.25 of full scale. Options after FORMAT apply to the image first.
#   block_colour_info COLOUR IMAGE FORMAT [OPTION...]
block_colour_info() {
  local matrix
  case $1 in
    blue) matrix='-1 0 1  0 -1 1  0 0 0' ;; # red: b - r, green: b - g
    red) matrix='1 0 -1  1 -1 0  0 0 0' ;;  # red: r - b, green: r - g
  esac
  convert "$2" "${@:4}" -color-matrix "$matrix" \
    -channel R -threshold 35% -channel G -threshold 25% +channel \
    -channel RG -separate -evaluate-sequence Min -format "$3" info: 2>/dev/null
}

# Gives window $1 (an id in hex) the keyboard; true once it has it.
take_focus() {
  xdotool windowfocus "$1" 2>/dev/null
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(($1))" ]
}

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
  wait_until 5 take_focus "$id" || return 1
  xdotool key Return
}

# For two games over the network: a copy of the game with its default files in $app (blocks come
# to rest after a key), a port in $port, and an X server each: $host_display, $guest_display.
prepare_two_games() {
  app=$(make_app app)
  port=$((20000 + RANDOM % 20000))
  start_xvfb 1280x960
  host_display=$DISPLAY
  start_xvfb 1280x960
  guest_display=$DISPLAY
}

# True while the host's screen shows the waiting sign: yellow stripes along the top rows of the
# picture (twice its size, at the top of the screen).
host_shows_waiting() {
  DISPLAY=$host_display import -window root "$work/band.png"
  convert "$work/band.png" -crop 1280x16+0+0 +repage -fx '(r>0.9 && g>0.9 && b<0.1)' \
    -format '%[fx:mean>0.3]' info: | grep -q 1
}
