#!/usr/bin/env bash
# The real Config under Xvfb, driven with the mouse and keyboard through xdotool.
#   e2e_config_xvfb.sh PATH/TO/Config    (copies the program into a scratch directory)
#   e2e_config_xvfb.sh --app-dir DIR     (runs DIR/Config where it lies, e.g. an unpacked release;
#                                          its zorvane.ini is overwritten)
# 1. From an app directory with a non-default zorvane.ini: "Defaults", "&Save" writes the
#    150-byte default file; "&Quit (no save)" ends the program with status 0.
# 2. With no zorvane.ini: the cause goes to stderr and a message box; the dialog never shows,
#    and the program ends with a non-zero status once the box is dismissed, or with status 1
#    within a second of SIGTERM, SIGINT or SIGHUP while the box is up.
set -euo pipefail
if [[ ${1:-} == --app-dir ]]; then
  app=$(realpath "$2")
  config_program="$app/Config"
else
  app=""
  config_program=$(realpath "$1")
fi
source "$(dirname "$0")/../support/xvfb.sh"

# Clicks the centre of a control of the dialog, given in twips relative to the window.
click_control() {
  local window=$1 left=$2 top=$3 width=$4 height=$5
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + (left + width / 2) / 15)) $((Y + (top + height / 2) / 15)) click 1
}

app_has_ended() {
  ! kill -0 "$app_pid" 2>/dev/null
}

start_xvfb

# 1. Defaults, Save, Quit.
if [[ -z $app ]]; then
  app="$work/app"
  mkdir "$app"
  cp "$config_program" "$app/Config"
fi
printf '1 2 3 4 5 6\r\n7 8 9 10 11 12\r\n' >"$app/zorvane.ini"
files_before=$(ls "$app")
line="5$(printf '%13s')0.5$(printf '%11s')30$(printf '%12s')15$(printf '%12s')10$(printf '%12s')100"
printf '%s\r\n%s\r\n' "$line" "$line" >"$work/expected.ini"
[[ $(stat -c %s "$work/expected.ini") == 150 ]] || fail_now "expected file is not 150 bytes"

"$app/Config" >"$work/stdout" 2>"$work/stderr" &
app_pid=$!
wait_until 10 has_visible_window "Zorvane Config" || fail_now "the dialog did not appear"
window=$(visible_window "Zorvane Config")
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "${WIDTH}x${HEIGHT}" == 345x249 ]] || fail_now "window is ${WIDTH}x${HEIGHT}, not 345x249"

# The two players' boxes, above the buttons (whose look changes with the pointer alone).
shoot_boxes() { import -window "$window" -depth 8 -crop 345x185+0+0 "$work/$1.ppm"; }
boxes_changed() {
  shoot_boxes now
  [ "$(compare -metric AE "$work/before.ppm" "$work/now.ppm" null: 2>&1 | cut -d' ' -f1)" != 0 ]
}
shoot_boxes before
click_control "$window" 3840 2880 1215 375  # Defaults
wait_until 5 boxes_changed || fail_now "Defaults changed no box"
cmp -s "$app/zorvane.ini" "$work/expected.ini" && fail_now "Defaults wrote the file"
click_control "$window" 1320 3240 1335 375  # &Save
wait_until 5 cmp -s "$app/zorvane.ini" "$work/expected.ini" ||
  fail_now "the saved file differs: $(od -c "$app/zorvane.ini" | head -n 12)"
[[ "$(ls "$app")" == "$files_before" ]] || fail_now "stray files: $(ls "$app")"

click_control "$window" 2640 3240 1215 375  # &Quit (no save)
wait_until 5 app_has_ended || fail_now "&Quit (no save) did not end the program"
status=0
wait "$app_pid" || status=$?
app_pid=""
[[ $status == 0 ]] || fail_now "Config ended with status $status after quitting"

# 2. No settings file.
bare="$work/bare"
mkdir "$bare"
cp "$config_program" "$bare/Config"
"$bare/Config" >"$work/stdout" 2>"$work/stderr" &
app_pid=$!
wait_until 10 has_visible_window "Config" ||
  fail_now "no message box for the missing file; stderr: $(cat "$work/stderr")"
grep -q "File not found: $bare/zorvane.ini" "$work/stderr" ||
  fail_now "stderr does not name the cause: $(cat "$work/stderr")"
has_visible_window "Zorvane Config" && fail_now "the dialog appeared without a settings file"
box=$(visible_window "Config")
eval "$(xdotool getwindowgeometry --shell "$box")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
wait_until 5 bash -c "xdotool key Return; ! kill -0 $app_pid 2>/dev/null" ||
  fail_now "dismissing the message did not end the program"
status=0
wait "$app_pid" || status=$?
app_pid=""
[[ $status != 0 ]] || fail_now "Config ended with status 0 without a settings file"
has_visible_window "Zorvane Config" && fail_now "the dialog appeared after the message"

# The program leads a session of its own, so that whatever it started is found; a background job
# starts with SIGINT ignored, which the program would keep so.
for signal in TERM INT HUP; do
  env --default-signal=INT setsid "$bare/Config" >"$work/stdout" 2>"$work/stderr" &
  app_pid=$!
  wait_until 10 has_visible_window "Config" || fail_now "no message box for SIG$signal"
  signal_ends_session "$app_pid" "$signal" 1 "SIG$signal while the message box is up"
  app_pid=""
done

finish
