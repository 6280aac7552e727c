#!/usr/bin/env bash
# Plays the real game under Xvfb for a long while (ten minutes by default) with keys of both
# players held down, new rounds now and then, and watches it: resident memory must stay flat
# (within 1 MiB of where it stood after the first minute), the open file descriptors must not
# grow, the picture must keep changing, and Escape must still end the game with status 0.
#   game_soak_xvfb.sh APP_DIR [SECONDS]
set -euo pipefail
app_dir=$(realpath "$1")
duration=${2:-600}
warm_up=$((duration < 120 ? duration / 2 : 60))
source "$(dirname "$0")/../support/game_xvfb_session.sh"

use_test_seed
start_xvfb
app=$(make_app app)
"$app/zorvane" 2>"$work/stderr" &
app_pid=$!
wait_until 20 has_visible_window Zorvane || fail_now "no game window after 20 s"

resident_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$app_pid/status"; }
open_files() { find "/proc/$app_pid/fd" -mindepth 1 | wc -l; }
picture_sum() { xwd -root -silent | md5sum | cut -d' ' -f1; }

blue_keys=(Left Right Up Down)
red_keys=(a d w s)
pictures_changed=0
last_picture=""
start=$SECONDS
baseline_kib="" baseline_files="" peak_kib=0
while ((SECONDS - start < duration)); do
  kill -0 "$app_pid" 2>/dev/null || fail_now "the game ended by itself after $((SECONDS - start)) s"
  blue=${blue_keys[RANDOM % 4]} red=${red_keys[RANDOM % 4]}
  xdotool keydown "$blue" keydown "$red"
  sleep "0.$((RANDOM % 9 + 1))"
  xdotool keyup "$blue" keyup "$red"
  ((RANDOM % 20 == 0)) && xdotool key Return

  picture=$(picture_sum)
  [[ "$picture" != "$last_picture" ]] && pictures_changed=$((pictures_changed + 1))
  last_picture=$picture
  kib=$(resident_kib) files=$(open_files)
  ((kib > peak_kib)) && peak_kib=$kib
  if [[ -z "$baseline_kib" ]] && ((SECONDS - start >= warm_up)); then
    baseline_kib=$kib baseline_files=$files
    echo "after $((SECONDS - start)) s: resident $kib KiB, $files open files"
  fi
done
echo "after $((SECONDS - start)) s: resident $kib KiB (peak $peak_kib), $files open files," \
  "picture changed $pictures_changed times"

((kib - baseline_kib <= 1024)) || fail_now "resident memory grew from $baseline_kib to $kib KiB"
((files <= baseline_files)) || fail_now "open files grew from $baseline_files to $files"
((pictures_changed >= 10)) || fail_now "the picture hardly changed ($pictures_changed times)"

xdotool key Escape
wait_until 10 ended "$app_pid" || fail_now "Escape did not end the game"
status=0
wait "$app_pid" || status=$?
app_pid=""
((status == 0)) || fail_now "the game ended with status $status: $(cat "$work/stderr")"
echo "ok: the game played for $duration s with flat memory and open files, and Escape ended it"
