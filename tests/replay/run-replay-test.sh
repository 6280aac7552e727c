#!/usr/bin/env bash
# Runs a replay script against the app directory and compares its output with the expected one.
# With --update the expected file is written instead.
set -euo pipefail
replay=$1 app=$2 script=$3 expected=$4
actual=$("$replay" --dir "$app" --seed 1 "$script")
if [ "${5:-}" = "--update" ]; then
  printf '%s\n' "$actual" > "$expected"
  exit 0
fi
diff -u "$expected" <(printf '%s\n' "$actual")
