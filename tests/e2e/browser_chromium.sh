#!/usr/bin/env bash
# Real Chromium, not headless, on a desktop with openbox: the extension loaded,
# a real right-click on a link of a lab site behind a login. With the session
# option on (turned on in the extension's options, its access prompt allowed)
# the file arrives whole under the browser's name; with it off the site refuses.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
source "$here/lib/browser.sh"
unshare -n -m true 2>/dev/null || fail "a private network namespace cannot be made here"
enter_netns "$0" "$@"
need chromium Xvfb openbox xdotool nginx
bin=$(cd "$1" && pwd)
dir=$(mktemp -d)
trap 'kill ${browser:-} ${wm:-} ${xvfb:-} 2>/dev/null; stop_program "$prog"; stop_nginx "$dir"; rm -rf "$dir"' EXIT
export LC_ALL=C.UTF-8 HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir"
mkdir -p "$HOME" && mkdir -m 700 "$dir/run"
prog="$dir/prog"
start_lab_site "$dir"
start_desktop "$dir"
make_browser_program "$bin" "$prog" "$dir/downloads"
flags=(--user-data-dir="$HOME/.config/chromium" --no-first-run --disable-gpu --password-store=basic
    --disable-background-networking --load-extension="$prog/tanduxt" --window-size=1000,700)
[ "$(id -u)" != 0 ] || flags+=(--no-sandbox)  # Chromium's sandbox refuses root
chromium "${flags[@]}" http://127.0.0.1/login >"$dir/browser.log" 2>&1 &
browser=$!
# The entry is the last but one of the link's menu; the access prompt's focus starts on "Deny".
session_download "lab page - Chromium" "Up Up Return" \
    "chrome-extension://jfeolpfmpgckbemcgfbmcmdkiionlnjd/options.html" "Tab Return"
