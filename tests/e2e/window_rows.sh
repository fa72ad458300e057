#!/usr/bin/env bash
# A row acts on its own, tried on the real window under Xvfb with real clicks
# and keys: Enter starts the selected row, a double click opens a finished
# file through the desktop's opener (a recording xdg-open here), the right
# click's menu offers what applies and its commands work (Open folder, Copy
# URL, Speed limit..., Checksum...), Delete cancels. The rows show in the
# order they were added, not by name.
set -euo pipefail
source "$(dirname "$0")/lib/servers.sh"
enter_netns "$0" "$@"
source "$(dirname "$0")/lib/downloads.sh"
bin="$1"
[ -x "$bin/tandu" ] || { echo "skipped: no window program built"; exit 77; }
require Xvfb xdotool xclip nginx
dir=$(mktemp -d)
chmod 755 "$dir"
trap 'status=$?; [ "$status" = 0 ] || cat "$dir/log" >&2 2>/dev/null
      kill ${app:-} ${xvfb:-} 2>/dev/null || true; stop_nginx "$dir"; rm -rf "$dir"' EXIT

mkdir -p "$dir/www" "$dir/downloads" "$dir/home" "$dir/run" "$dir/path"
chmod 700 "$dir/run"
head -c 3000000 /dev/urandom >"$dir/www/zeta.bin"
start_nginx "$dir/www" "$dir"
prog="$dir/prog"
make_program "$bin" "$prog"
cp "$bin/tandu" "$prog/"
printf '1.0\r\n4\r\n%s/\r\n512KB\r\n' "$dir/downloads" >"$prog/config.cfg"
"$prog/tandu-cli" add http://127.0.0.1/zeta.bin >/dev/null
"$prog/tandu-cli" add http://127.0.0.1/alpha.bin >/dev/null
# The desktop's opener, recording what it was asked to open.
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/opened"\n' "$dir" >"$dir/path/xdg-open"
chmod +x "$dir/path/xdg-open"

start_xvfb "$dir"
PATH="$dir/path:$PATH" HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir" \
    "$prog/tandu" >"$dir/log" 2>&1 &
app=$!
main_title="Tandu Download Manager - Beta 1"
wait_window "$main_title" shown
main=$(window "$main_title")
xdotool windowmove --sync "$main" 0 0
key() { xdotool key --delay 80 "$@" && sleep 0.4; }
# Rows of the list, in pixels from the window's corner at 96 DPI (the list
# starts 240 twips below the menu bar; the header and rows are one line each).
row_y() { echo $((61 + 14 * $1)); }
click_row() { xdotool mousemove --window "$main" 170 "$(row_y "$1")" click "${@:2}" && sleep 0.5; }
def() { tr -d '\r' <"$prog/definitions/$1.def"; }
wait_for() {
    for _ in $(seq 100); do eval "$1" && return 0; sleep 0.1; done
    fail "$2"
}

# Enter starts the selected row; the first row is the first added (zeta, not alpha).
click_row 0 1
key Return
wait_for '[ ! -e "$prog/definitions/zeta.bin.def" ]' "Enter did not download zeta.bin: $(cat "$dir/log")"
cmp "$dir/www/zeta.bin" "$dir/downloads/zeta.bin" || fail "zeta.bin differs"
echo "ok: the first added row first, Enter starts it"

# A double click on the finished row opens its file through the opener.
click_row 0 --repeat 2 --delay 80 1
wait_for '[ -s "$dir/opened" ]' "the double click opened nothing"
[ "$(cat "$dir/opened")" = "$dir/downloads/zeta.bin" ] || fail "opened: $(cat "$dir/opened")"
# Its menu offers Open, Open folder and Copy URL (nothing to start, pause or limit).
click_row 0 3
key Down Down Return
wait_for '[ "$(tail -n 1 "$dir/opened")" = "$dir/downloads" ]' "Open folder opened: $(cat "$dir/opened")"
click_row 0 3
key Down Down Down Return
[ "$(xclip -o -selection clipboard)" = "http://127.0.0.1/zeta.bin" ] || fail "Copy URL: $(xclip -o -selection clipboard)"
echo "ok: a finished row opens, opens its folder and copies its URL"

# A waiting row's menu: Download, Cancel, Open folder, Copy URL, Speed limit..., Checksum...
click_row 1 3
key Down Down Down Down Down Return
wait_window "Speed limit" shown
xdotool windowfocus --sync "$(window "Speed limit")"
key ctrl+a
xdotool type 300K && key Return
wait_for 'def alpha.bin | grep -qx "Limit: 300"' "the speed limit was not stored: $(def alpha.bin)"
sum=$(printf 'x' | sha256sum | cut -d' ' -f1)
click_row 1 3
key Down Down Down Down Down Down Return
wait_window "Checksum" shown
xdotool windowfocus --sync "$(window "Checksum")"
key ctrl+a
xdotool type "sha256=$sum" && key Return
wait_for 'def alpha.bin | grep -qx "Checksum: sha256=$sum"' "the checksum was not stored: $(def alpha.bin)"
[ "$(def alpha.bin | sed -n 1,5p | tr '\n' '|')" = "alpha.bin|Waiting|http://127.0.0.1/alpha.bin|$dir/downloads/|4|" ] ||
    fail "lines 1-5 changed: $(def alpha.bin)"
echo "ok: a row's own speed limit and checksum from its menu"

# Delete cancels the selected row, as Cancel Download does.
click_row 1 1
key Delete
wait_for '[ ! -e "$prog/definitions/alpha.bin.def" ]' "Delete did not cancel alpha.bin"
[ -e "$dir/downloads/zeta.bin" ] || fail "Delete touched the finished row"
echo "ok: Delete cancels"
kill -0 "$app" || fail "the window ended: $(cat "$dir/log")"
