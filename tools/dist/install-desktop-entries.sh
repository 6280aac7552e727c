#!/usr/bin/env bash
# Adds Zorvane and Zorvane Config to the current user's application menu: desktop entries that
# start the programs in this directory, where it was unpacked, and their icons. Run it again
# after moving the directory.
#   ./install-desktop-entries.sh              add (or update) the entries
#   ./install-desktop-entries.sh --uninstall  remove them
set -euo pipefail

app_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)
# An unset, empty or relative XDG_DATA_HOME means the default.
data_home=${XDG_DATA_HOME:-}
[[ $data_home == /* ]] || data_home="$HOME/.local/share"
applications="$data_home/applications"
icons="$data_home/icons/hicolor"

# Each entry's file name is also its icon's name.
entries=(zorvane zorvane-config)
programs=(zorvane Config)
icon_pictures=(icon-game icon-config)
icon_sizes=(32 48)

# The path as one argument of an Exec key: in double quotes with \ " ` $ escaped, then every
# backslash doubled again for the key's string escapes, and % doubled against field codes.
exec_argument() {
  local s=$1
  s=${s//\\/\\\\}
  s=${s//\"/\\\"}
  s=${s//\`/\\\`}
  s=${s//\$/\\\$}
  s=${s//\\/\\\\}
  s=${s//%/%%}
  printf '"%s"' "$s"
}

# The entry shipped in this directory, with each Exec naming the program here; the arguments
# after the program (an action's --window) stay as shipped.
write_entry() {
  local template=$1 program=$2 line arguments
  while IFS= read -r line; do
    if [[ $line == Exec=* ]]; then
      arguments=${line#Exec=}
      [[ $arguments == *" "* ]] && arguments=" ${arguments#* }" || arguments=""
      line="Exec=$(exec_argument "$app_dir/$program")$arguments"
    fi
    printf '%s\n' "$line"
  done <"$template"
}

case "${1:-}" in
  "")
    if [[ $app_dir == *$'\n'* ]]; then
      echo "The directory's path holds a line break, which a desktop entry cannot name." >&2
      exit 1
    fi
    mkdir -p "$applications"
    for i in "${!entries[@]}"; do
      entry=${entries[$i]}
      for size in "${icon_sizes[@]}"; do
        install -D -m 644 "$app_dir/${icon_pictures[$i]}-$size.png" \
          "$icons/${size}x$size/apps/$entry.png"
      done
      write_entry "$app_dir/$entry.desktop" "${programs[$i]}" >"$applications/$entry.desktop"
      echo "Added $applications/$entry.desktop"
    done
    ;;
  --uninstall)
    for entry in "${entries[@]}"; do
      for size in "${icon_sizes[@]}"; do
        rm -f "$icons/${size}x$size/apps/$entry.png"
      done
      rm -f "$applications/$entry.desktop"
      echo "Removed $applications/$entry.desktop"
    done
    ;;
  *)
    echo "usage: $0 [--uninstall]" >&2
    exit 2
    ;;
esac
