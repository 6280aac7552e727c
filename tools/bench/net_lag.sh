#!/usr/bin/env bash
# The time from a key press on the host to the host's screen changing, alone and over the
# network through a relay at three round trips: two private 640 x 480 Xvfb servers, one for the
# host and one for the guest. Not a test: the figures depend on the machine.
# Usage: net_lag.sh BENCH_PROGRAM APP_DIR [PRESSES]
set -euo pipefail
usage="usage: net_lag.sh BENCH_PROGRAM APP_DIR [PRESSES]"
bench=${1:?$usage}
app_dir=${2:?$usage}
presses=${3:-8}

source "$(dirname "$0")/../../tests/support/xvfb.sh"
start_xvfb 640x480
host_display=$DISPLAY
start_xvfb 640x480
guest_display=$DISPLAY
"$bench" "$app_dir/zorvane" "$host_display" "$guest_display" "$presses" 2> >(grep -v '^ALSA' >&2)
