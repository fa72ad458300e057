#!/usr/bin/env bash
# The window by the keyboard alone, with real key presses under Xvfb: menus,
# Tab, Enter (OK or the focused button; every dialog's OK is the same default
# button), Escape (Cancel), Enter for new lines in the list box, the arrow
# keys in the download list. Afterwards the user's home holds nothing the
# program or Qt remembered.
set -euo pipefail
source "$(dirname "$0")/lib/servers.sh"
source "$(dirname "$0")/lib/downloads.sh"
bin="$1"
[ -x "$bin/tandu" ] || { echo "skipped: no window program built"; exit 77; }
require Xvfb xdotool xdpyinfo
dir=$(mktemp -d)
trap 'kill ${app:-} ${xvfb:-} 2>/dev/null || true; rm -rf "$dir"' EXIT

prog="$dir/prog"
make_program "$bin" "$prog"
cp "$bin/tandu" "$prog/"
mkdir -p "$dir/downloads" "$dir/home" "$dir/run"
chmod 700 "$dir/run"
printf '1.0\r\n4\r\n%s/\r\n512KB\r\n' "$dir/downloads" >"$prog/config.cfg"
add_waiting "$prog" first.zip http://localhost/first.zip "$dir/downloads/" 4
add_waiting "$prog" second.zip http://localhost/second.zip "$dir/downloads/" 4
# The rows in the order the window lists them.
mapfile -t rows < <("$prog/tandu-cli" list | tail -n +2 | cut -f 1)

start_xvfb "$dir"
HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir" XDG_CONFIG_HOME= XDG_CACHE_HOME= \
    XDG_DATA_HOME= "$prog/tandu" >"$dir/log" 2>&1 &
app=$!

key() { xdotool key --delay 50 "$@" && sleep 0.3; }
type_text() { xdotool type --delay 10 "$1" && sleep 0.2; }
main_title="Tandu Download Manager - Beta 1"
wait_window "$main_title" shown
main=$(window "$main_title")
# Without a window manager the focus is handed back by hand after a dialog.
focus_main() { xdotool windowfocus --sync "$main" && sleep 0.3; }
# Menu $1 (0 = File), item $2 (0 = its first), opening the dialog titled $3.
open_dialog() {
    focus_main
    key alt
    for ((i = 0; i < $1; i++)); do key Right; done
    key Return
    for ((i = 0; i < $2; i++)); do key Down; done
    key Return
    wait_window "$3" shown
    xdotool windowfocus --sync "$(window "$3")"
}
def_url() { sed -n 3p "$prog/definitions/$1.def" | tr -d '\r'; }

# The download list: the first Down chooses the first row (the focus alone
# chose none); Tab reaches the buttons after the list, Pause is disabled and skipped.
focus_main
key Down Tab Tab space
sleep 0.5
[ ! -e "$prog/definitions/${rows[0]}.def" ] || fail "Cancel Download did not take the first row"
[ -e "$prog/definitions/${rows[1]}.def" ] || fail "the second row was cancelled"
echo "ok: list arrow keys and Tab to the buttons"

# Add URL: the link box has the focus. Enter is OK, Escape is Cancel; Tab
# goes link, Default location, connections, checksum, OK, Cancel (Enter on Cancel).
for keys in Return Escape "Tab Tab Tab Tab Tab Return"; do
    open_dialog 0 0 "Add URL to Download"
    type_text "http://localhost/${keys%% *}.zip"
    key $keys
    wait_window "Add URL to Download" gone
done
[ "$(def_url Return.zip)" = "http://localhost/Return.zip" ] || fail "Enter did not add Return.zip"
[ "$(ls "$prog/definitions" | grep -c '^Escape\|^Tab')" -eq 0 ] || fail "Escape or Cancel added a download"
echo "ok: Add URL by the keyboard"

# Add URL List: Enter makes a new line in the list box, Tab leaves it, Enter is OK.
open_dialog 0 2 "Add URL List"
key Tab Tab
type_text "http://localhost/line1.zip"$'\n'"http://localhost/line2.zip"
key Tab Return
wait_window "Add URL List" gone
[ "$(def_url line1.zip)$(def_url line2.zip)" = "http://localhost/line1.ziphttp://localhost/line2.zip" ] ||
    fail "line1.zip and line2.zip not added"
echo "ok: Add URL List by the keyboard"

# A file dialog opened and closed leaves nothing behind in the home folder.
open_dialog 0 2 "Add URL List"
key Tab space
wait_window "Open" shown
xdotool windowfocus --sync "$(window Open)"
key Escape
wait_window "Open" gone
xdotool windowfocus --sync "$(window "Add URL List")"
key Escape
wait_window "Add URL List" gone
kill -0 "$app" || fail "the window ended: $(cat "$dir/log")"
kill "$app"
wait "$app" 2>/dev/null || true
app=""
left=$(cd "$dir/home" && find . -type f)
[ -z "$left" ] || fail "the home folder holds: $left"
echo "ok: nothing remembered"
