#!/usr/bin/env bash
# Packs the release archive from this build tree, as `make dist` does, unpacks it and checks it:
# its name and one top directory, the exact file list, the settings file's bytes, the data files
# against the ones staged for the build, stripped programs with no build-tree RPATH, valid
# desktop entries; then the desktop-entry install script (entries, icons, XDG_DATA_HOME, a path
# needing quotes, uninstall), and the game's and Config's end-to-end runs from the unpacked files.
# Usage: check_package.sh CPACK CPACK_CONFIG APP_DIR VERSION
set -euo pipefail

cpack=$1
cpack_config=$2
staged=$3
version=$4
tests_dir=$(cd "$(dirname "$0")/.." && pwd)
name="zorvane-$version-linux-$(uname -m)"

source "$tests_dir/support/checks.sh"
source "$tests_dir/dist/pack.sh"

for tool in tar readelf desktop-file-validate gio; do
  command -v "$tool" >/dev/null || fail_now "$tool is not installed"
done

# --- The archive ---------------------------------------------------------------------------------
pack "$cpack" "$cpack_config" TGZ "$name.tar.gz"
archive=$packed

expected_files=(
  Config README.txt bang.wav bg.bmp blueblock.bmp bluedead.bmp hitwall.wav
  icon-config-16.bmp icon-config-32.bmp icon-config-32.png icon-config-48.png
  icon-game-16.bmp icon-game-32.bmp icon-game-32.png icon-game-48.png
  install-desktop-entries.sh redblock.bmp reddead.bmp
  zorvane zorvane-config.desktop zorvane.desktop zorvane.ini
)
listed=$(tar -tzf "$archive" | sort)
outside=$(grep -v "^$name/" <<<"$listed" || true)
[[ -z $outside ]] && pass "everything lies in $name/" || fail "entries outside $name/: $outside"
files=$(tar -tzf "$archive" | grep -v '/$' | sed "s|^$name/||" | sort)
wanted=$(printf '%s\n' "${expected_files[@]}" | sort)
if [[ $files == "$wanted" ]]; then pass "the file list"; else
  fail "the file list differs (< package, > expected):"
  diff <(echo "$files") <(echo "$wanted") || true
fi

# A directory with a space in its name, as players' folders often have.
mkdir "$work/My Games"
tar -xzf "$archive" -C "$work/My Games"
app="$work/My Games/$name"

line="5$(printf '%13s' '')0.5$(printf '%11s' '')30$(printf '%12s' '')15$(printf '%12s' '')10"
line+="$(printf '%12s' '')100"
printf '%s\r\n%s\r\n' "$line" "$line" >"$work/default.ini"
if [[ $(stat -c %s "$app/zorvane.ini") == 150 ]] && cmp -s "$app/zorvane.ini" "$work/default.ini"
then pass "zorvane.ini is the 150-byte default file"; else
  fail "zorvane.ini differs from the default: $(od -c "$app/zorvane.ini" | head -n 12)"
fi

# Each data file staged for the build ships, byte for byte.
differing=()
for file in "$staged"/*.bmp "$staged"/*.wav "$staged"/*.png "$staged"/zorvane.ini; do
  cmp -s "$file" "$app/${file##*/}" || differing+=("${file##*/}")
done
[[ ${#differing[@]} == 0 ]] && pass "the data files are the staged ones" ||
  fail "not as staged: ${differing[*]}"

for program in zorvane Config install-desktop-entries.sh; do
  [[ -x $app/$program ]] || fail "$program is not executable"
done
for program in zorvane Config; do
  # A search path may only be relative to the program ($ORIGIN), never into a build tree.
  paths=$(readelf -d "$app/$program" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p' |
    tr ':' '\n')
  bad=$(grep -v '^\$ORIGIN' <<<"$paths" | grep -v '^$' || true)
  [[ -z $bad ]] && pass "$program has no absolute RPATH" || fail "$program searches $bad"
  readelf -S "$app/$program" | grep -q '\.debug_info' && fail "$program carries debug information"
done
# Found by the loader, not through the build tree: every library resolves.
for program in zorvane Config; do
  missing=$(ldd "$app/$program" | grep 'not found' || true)
  [[ -z $missing ]] || fail "$program lacks $missing"
done

for entry in zorvane zorvane-config; do
  report=$(desktop-file-validate "$app/$entry.desktop" 2>&1) && [[ -z $report ]] &&
    pass "$entry.desktop is valid" || fail "$entry.desktop: $report"
done

# --- The install script --------------------------------------------------------------------------
# A copy whose path needs quoting in Exec, with programs that only note how they were started.
odd="$work/Odd \"quoted\" \$HOME \\ \`dir\`/$name"
mkdir -p "$(dirname "$odd")"
cp -a "$app" "$odd"
for program in zorvane Config; do
  printf '#!/bin/sh\necho "$0" >"$(dirname "$0")/started"\n' >"$odd/$program"
done

# Checks the entries under data directory $1 installed from the copy; $2 says how it was found.
check_installed() {
  local data=$1 how=$2 entry program picture size report
  local -A programs=([zorvane]=zorvane [zorvane-config]=Config)
  local -A pictures=([zorvane]=icon-game [zorvane-config]=icon-config)
  for entry in zorvane zorvane-config; do
    program=${programs[$entry]}
    picture=${pictures[$entry]}
    report=$(desktop-file-validate "$data/applications/$entry.desktop" 2>&1) &&
      [[ -z $report ]] || fail "installed $entry.desktop ($how): ${report:-missing}"
    grep -qx "Icon=$entry" "$data/applications/$entry.desktop" ||
      fail "$entry.desktop ($how) does not name icon $entry"
    # An action's arguments stay after the program's path.
    diff <(grep '^Exec=' "$odd/$entry.desktop" | sed 's/^Exec=[^ ]*//') \
      <(grep '^Exec=' "$data/applications/$entry.desktop" | sed 's/^Exec=.*"//') >/dev/null ||
      fail "$entry.desktop ($how) lost the arguments of its Exec lines"
    for size in 32 48; do
      cmp -s "$odd/$picture-$size.png" "$data/icons/hicolor/${size}x$size/apps/$entry.png" ||
        fail "$entry's ${size}x$size icon ($how) is missing or differs"
    done
    # The rest of the entry is the shipped one.
    diff <(grep -v '^Exec=' "$odd/$entry.desktop") \
      <(grep -v '^Exec=' "$data/applications/$entry.desktop") >/dev/null ||
      fail "$entry.desktop ($how) differs from the shipped one beyond Exec"
    # GLib reads Exec as desktops do: launching the entry must start the program in the copy.
    rm -f "$odd/started"
    gio launch "$data/applications/$entry.desktop" >"$work/gio.log" 2>&1 ||
      fail "gio cannot launch $entry.desktop ($how): $(cat "$work/gio.log")"
    wait_until 5 test -s "$odd/started" || true
    [[ "$(cat "$odd/started" 2>/dev/null)" == "$odd/$program" ]] &&
      pass "$entry.desktop ($how) starts $program in the unpacked directory" ||
      fail "$entry.desktop ($how) started '$(cat "$odd/started" 2>/dev/null)'"
  done
}

# Lists every file under $1, or nothing when it does not exist.
files_under() { [[ -d $1 ]] && find "$1" -type f | sort || true; }

home="$work/home"
mkdir "$home"
HOME=$home XDG_DATA_HOME="" "$odd/install-desktop-entries.sh" >/dev/null
check_installed "$home/.local/share" "default data directory"
HOME=$home XDG_DATA_HOME="" "$odd/install-desktop-entries.sh" --uninstall >/dev/null
left=$(files_under "$home/.local/share")
[[ -z $left ]] && pass "--uninstall removes entries and icons" || fail "--uninstall left $left"

data="$work/xdg data"
HOME=$home XDG_DATA_HOME=$data "$odd/install-desktop-entries.sh" >/dev/null
check_installed "$data" "XDG_DATA_HOME"
left=$(files_under "$home")
[[ -z $left ]] && pass "with XDG_DATA_HOME set nothing goes under HOME" || fail "under HOME: $left"

# --- The programs, from the unpacked directory ---------------------------------------------------
if bash "$tests_dir/platform/play_under_xvfb.sh" "$app" >"$work/game.log" 2>&1; then
  pass "the game's end-to-end run"
else
  cat "$work/game.log"
  fail "the game's end-to-end run"
fi
if bash "$tests_dir/config/e2e_config_xvfb.sh" --app-dir "$app" >"$work/config.log" 2>&1; then
  pass "Config's end-to-end run in the unpacked directory"
else
  cat "$work/config.log"
  fail "Config's end-to-end run"
fi

finish
