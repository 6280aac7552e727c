#!/usr/bin/env bash
# Packs the Debian package from this build tree, as `make deb` does, and checks it: its name,
# its files, dependencies found from the libraries; lintian, appstreamcli and
# desktop-file-validate where installed. Then both programs run from the package unpacked into
# a scratch root, under a private X server, with a scratch home: the first start makes the
# user's settings file from the packaged one, a save writes that file and nothing else, and the
# unpacked files stay as they were.
# Usage: check_deb.sh CPACK CPACK_CONFIG VERSION
set -uo pipefail

cpack=$1
cpack_config=$2
version=$3
app_dir=""
source "$(dirname "$0")/../support/game_xvfb_session.sh"
source "$(dirname "$0")/pack.sh"

for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate; do
  command -v "$tool" >/dev/null || fail_now "$tool is not installed"
done

# --- The package ---------------------------------------------------------------------------------
pack "$cpack" "$cpack_config" DEB "zorvane_${version}_$(dpkg --print-architecture).deb"
deb=$packed

expected_files=(
  usr/games/zorvane usr/games/zorvane-config
  usr/share/applications/zorvane.desktop usr/share/applications/zorvane-config.desktop
  usr/share/doc/zorvane/changelog.gz usr/share/doc/zorvane/copyright
  usr/share/man/man6/zorvane.6.gz usr/share/man/man6/zorvane-config.6.gz
  usr/share/metainfo/org.zorvane.zorvane.metainfo.xml
)
for data in bang.wav bg.bmp blueblock.bmp bluedead.bmp hitwall.wav icon-config-16.bmp \
  icon-config-32.bmp icon-game-16.bmp icon-game-32.bmp redblock.bmp reddead.bmp zorvane.ini; do
  expected_files+=("usr/share/games/zorvane/$data")
done
for size in 16 32 48 64 128 256; do
  for icon in zorvane zorvane-config; do
    expected_files+=("usr/share/icons/hicolor/${size}x$size/apps/$icon.png")
  done
done
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected_files[@]}" | sort)
if [[ $files == "$wanted" ]]; then pass "the file list"; else
  fail "the file list differs (< package, > expected):"
  diff <(echo "$files") <(echo "$wanted")
fi
depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2-2.0-0 libsdl2-ttf-2.0-0 libenet7 libminiupnpc17 libnatpmp1 libqt6widgets6 \
  libc6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
for entry in "$root"/usr/share/applications/*.desktop; do
  report=$(desktop-file-validate "$entry" 2>&1) && [[ -z $report ]] &&
    pass "${entry##*/} is valid" || fail "${entry##*/}: $report"
  exec_lines=$(grep '^Exec=' "$entry" | cut -d= -f2 | cut -d' ' -f1 | sort -u)
  for program in $exec_lines; do
    [[ -x $root$program ]] || fail "${entry##*/} starts $program, which the package lacks"
  done
done
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >"$work/appstream.log" 2>&1 &&
    pass "appstreamcli validate" || fail "appstreamcli: $(cat "$work/appstream.log")"
else
  skip "appstreamcli is not installed"
fi
if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>/dev/null &&
    pass "lintian finds no error or warning" || fail "lintian: $(cat "$work/lintian.log")"
else
  skip "lintian is not installed"
fi

# --- The programs, from the unpacked package -----------------------------------------------------
start_xvfb 640x480
home="$work/home"
mkdir "$home"
settings="$home/.config/zorvane/zorvane.ini"
packaged="$root/usr/share/games/zorvane/zorvane.ini"
# Everything under the unpacked root with its contents, to see that no run changes it.
tree_state() { (cd "$root" && find . -printf '%p %m\n' -type f -exec sha256sum {} \; | sort); }
before=$(tree_state)
# The scratch home alone places the settings.
as_user=(env -u XDG_CONFIG_HOME HOME="$home")


# The game: its first start makes the user's settings file; it draws the arena from the data
# directory; Escape ends it.
start_game "${as_user[@]}" "$root/usr/games/zorvane"
if wait_until 10 screen_shows_something; then
  pass "the game shows the arena"
  xdotool mousemove 320 240 key Escape
else
  fail "the game showed nothing; stderr: $(cat "$work/stderr")"
fi
wait_for_game 10
[[ $game_status == 0 ]] && pass "Escape ends the game with status 0" ||
  fail "the game ended with status $game_status; stderr: $(cat "$work/stderr")"
cmp -s "$settings" "$packaged" && pass "the first start copied the packaged settings" ||
  fail "no copy of the packaged settings at $settings"

# zorvane-config over a changed file: Defaults, Save write the user's file back to the default.
printf '1 2 3 4 5 6\r\n7 8 9 10 11 12\r\n' >"$settings"
config_shown() { [ -n "$(window_line "Zorvane Config")" ]; }
# Clicks the centre of a control given in twips from the dialog's corner.
click_control() {
  local position x y
  position=$(window_line "Zorvane Config" | awk '{print $NF}')
  x=$(cut -d+ -f2 <<<"$position")
  y=$(cut -d+ -f3 <<<"$position")
  xdotool mousemove $((x + ($1 + $3 / 2) / 15)) $((y + ($2 + $4 / 2) / 15)) click 1
}
start_game "${as_user[@]}" "$root/usr/games/zorvane-config"
if wait_until 10 config_shown; then
  click_control 3840 2880 1215 375  # Defaults
  click_control 1320 3240 1335 375  # &Save
  wait_until 5 cmp -s "$settings" "$packaged" && pass "Save wrote the user's settings file" ||
    fail "the user's file after Save: $(od -c "$settings" | head -n 4)"
  click_control 2640 3240 1215 375  # &Quit (no save)
else
  fail "the dialog did not appear; stderr: $(cat "$work/stderr")"
fi
wait_for_game 10
[[ $game_status == 0 ]] || fail "zorvane-config ended with status $game_status"
written=$(find "$home" "$root" -name 'zorvane.ini*' | sort)
[[ $written == "$(printf '%s\n' "$settings" "$packaged" | sort)" ]] &&
  pass "no other settings file was written" || fail "settings files: $written"

# With XDG_CONFIG_HOME set, the file is made there and nothing new goes under HOME.
start_game env HOME="$home" XDG_CONFIG_HOME="$work/xdg" "$root/usr/games/zorvane"
wait_until 10 screen_shows_something && xdotool key Escape
wait_for_game 10
cmp -s "$work/xdg/zorvane/zorvane.ini" "$packaged" &&
  pass "XDG_CONFIG_HOME places the settings file" || fail "nothing in $work/xdg/zorvane"

[[ "$(tree_state)" == "$before" ]] && pass "the unpacked files are unchanged" ||
  fail "the unpacked tree changed: $(diff <(echo "$before") <(tree_state))"

finish
