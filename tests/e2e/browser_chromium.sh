#!/usr/bin/env bash
# Real Chromium, not headless, on a desktop with openbox: the extension loaded,
# a real right-click on a link of a lab site behind a login. With the session
# option on (turned on in the extension's options, its access prompt allowed)
# the file arrives whole under the browser's name; with it off the site refuses.
# Then with "Hand downloads the browser starts to Tandu" on (over 1 MB), a
# plain click on the link ends in Tandu, and the browser's own download is gone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
source "$here/lib/browser.sh"
enter_netns "$0" "$@"
browser_lab chromium "$1"
flags=(--user-data-dir="$HOME/.config/chromium" --no-first-run --disable-gpu --password-store=basic
    --disable-background-networking --load-extension="$prog/tanduxt" --window-size=1000,700)
[ "$(id -u)" != 0 ] || flags+=(--no-sandbox)  # Chromium's sandbox refuses root
chromium "${flags[@]}" http://127.0.0.1/login >"$dir/browser.log" 2>&1 &
browser=$!
# The entry is the last but one of the link's menu; the access prompt's focus starts on "Deny".
session_download "lab page - Chromium" "Up Up Return" \
    "chrome-extension://jfeolpfmpgckbemcgfbmcmdkiionlnjd/options.html" "Tab Return"

set_options "chrome-extension://jfeolpfmpgckbemcgfbmcmdkiionlnjd/options.html" "lab page - Chromium" \
    "Tab space Tab Return Tab ctrl+a 1 Tab"
id=$(xdotool search --onlyvisible --name "lab page - Chromium" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$id")"
xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
wait_window "Add URL to Download" shown
press_in "^Add URL to Download\$" Return
caught="$dir/downloads/report (3).bin"
for _ in $(seq 100); do cmp -s "$caught" "$dir/www/files/report.bin" && break; sleep 0.2; done
cmp "$caught" "$dir/www/files/report.bin" || fail "the caught download did not arrive: $(ls "$dir/downloads")"
[ -z "$(ls -A "$HOME/Downloads" 2>/dev/null)" ] || fail "the browser kept its download: $(ls "$HOME/Downloads")"
echo "ok: a download Chromium started went to Tandu, with the session, and the browser's own went away"
