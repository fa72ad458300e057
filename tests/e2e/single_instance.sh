#!/usr/bin/env bash
# A second start hands its URL to the running window and ends at once.
set -euo pipefail
source "$(dirname "$0")/lib/downloads.sh"
bin="$1"
command -v Xvfb >/dev/null && command -v xclip >/dev/null || exit 77
dir=$(mktemp -d)
trap 'kill ${app:-} ${xvfb:-} 2>/dev/null || true; rm -rf "$dir"' EXIT
cp "$bin/tandu" "$dir/"
mkdir "$dir/definitions"
printf '1.0\r\n4\r\n\r\n512KB\r\n' > "$dir/config.cfg"
start_xvfb "$dir"
# A private runtime dir keeps this test's instance apart from any other.
export XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir"
mkdir -m 700 "$dir/run"
"$dir/tandu" &
app=$!
title="Tandu Download Manager - Beta 1"
wait_window "$title" shown
echo -n "something else" | xclip -selection clipboard
sleep 0.2

start=$(date +%s%N)
timeout 5 "$dir/tandu" "-url http://host/file.zip"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$elapsed" -lt 2000 ] || { echo "hand-off took ${elapsed} ms"; exit 1; }
sleep 0.3
[ "$(xclip -o -selection clipboard)" = "http://host/file.zip" ] || { echo "clipboard: $(xclip -o -selection clipboard)"; exit 1; }
# The running instance owns the text now: no second window appeared, and
# it came forward with Add URL open on the address.
[ "$(xdotool search --name "^$title\$" | wc -l)" -eq 1 ]
focus=$(xdotool getwindowfocus getwindowname 2>/dev/null || true)
[ "$focus" = "Add URL to Download" ] || { echo "focus on '$focus'"; exit 1; }
kill -0 "$app"
echo ok
