#!/usr/bin/env bash
# The extension for real: its host refuses hostile messages, web-ext lint passes
# tanduxt.xpi, and headless Chromium with the unpacked extension and the host
# registered in a temporary home sends a page's link to a running tandu's Add URL.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
enter_netns "$0" "$@"  # nothing leaves the test, whatever the browser tries
bin=$(cd "$1" && pwd)
[ -x "$bin/tandu-host" ] && [ -f "$bin/tanduxt.xpi" ] || { echo "skipped: no extension built"; exit 77; }
dir=$(mktemp -d)
trap 'kill ${app:-} ${xvfb:-} 2>/dev/null; rm -rf "$dir"' EXIT
export LC_ALL=C HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir"
prog="$dir/prog" link="http://127.0.0.1:9/from-the-browser.zip"
mkdir -p "$prog/definitions" "$HOME" "$dir/downloads" "$dir/run" "$dir/xpi" && chmod 700 "$dir/run"
cp -r "$bin/tandu-host" "$bin/tanduxt" "$prog/"

# The host alone, with a tandu that records how it was started.
printf '#!/bin/sh\nprintf "[%%s]" "$@" >>"%s/started"\n' "$dir" >"$prog/tandu" && chmod +x "$prog/tandu"
frame() { printf "\\x$(printf %02x $((${#1} & 255)))\\x$(printf %02x $((${#1} >> 8)))\\x00\\x00%s" "$1"; }
answer() { { "$prog/tandu-host" chrome-extension://test/ || true; } | tail -c +5; }
for message in '{"url":"file:///etc/passwd"}' '{"url":"javascript:alert(1)"}' '{"url":"http://h/a' \
    '{"url":"http://h/a\nb.zip"}' '{"url":"http://h/a","cookies":"c"}'; do
    frame "$message" | answer | grep -q '^{"ok":false,"error":"' || fail "host took $message"
done
printf '\x01\x00\x10\x00{}' | answer | grep -q 'longer than 1 MB' || fail "host took a length over 1 MB"
[ "$(frame '{"url":"https://h/a%20b.zip"}' | answer)" = '{"ok":true}' ] || fail "host refused a good address"
sleep 0.3
[ "$(cat "$dir/started")" = "[-url https://h/a%20b.zip]" ] || fail "started: $(cat "$dir/started")"
# Without /proc the host cannot tell where it is, and starts no tandu of the working folder.
mkdir "$dir/cwd" && cp "$prog/tandu" "$dir/cwd/"
frame '{"url":"https://h/c.zip"}' | { ASAN_OPTIONS=detect_leaks=0 unshare -m sh -c "umount -l /proc && cd '$dir/cwd' &&
    '$prog/tandu-host' x" || true; } | grep -q 'tandu cannot be found' || fail "host without /proc"
sleep 0.3
[ "$(cat "$dir/started")" = "[-url https://h/a%20b.zip]" ] || fail "started: $(cat "$dir/started")"

# The package Firefox installs: lint clean, its id the one the host's manifest allows.
(cd "$dir/xpi" && cmake -E tar xf "$bin/tanduxt.xpi")
"$prog/tandu-host" --register >/dev/null
id=$(sed -n 's/.*"id" : "\(.*\)".*/\1/p' "$dir/xpi/manifest.json")
grep -qF "[\"$id\"]" "$HOME/.mozilla/native-messaging-hosts/org.tandu.host.json" || fail "Firefox id $id not allowed"
lint=$(command -v web-ext || echo "$bin/../web-ext/node_modules/.bin/web-ext")
if [ -x "$lint" ]; then
    "$lint" lint --source-dir "$dir/xpi" --no-input --output json >"$dir/lint" || true
    grep -q '"summary":{"errors":0,"notices":0,"warnings":0}' "$dir/lint" || fail "web-ext lint: $(cat "$dir/lint")"
else
    echo "cannot run: web-ext is not installed (scripts/deps.sh puts it in build/web-ext)"
    exit 77
fi

command -v chromium >/dev/null || { echo "skipped: chromium is not installed"; exit 77; }
require node Xvfb xdotool
cp "$bin/tandu" "$prog/tandu"
printf '1.0\r\n4\r\n%s/\r\n512KB\r\n' "$dir/downloads" >"$prog/config.cfg"
start_xvfb "$dir"
"$prog/tandu" >"$dir/log" 2>&1 &
app=$!
wait_window "Tandu Download Manager - Beta 1" shown

# Headless Chromium makes a throw-away profile unless told; the host's manifest is in this one.
flags=(--user-data-dir="$HOME/.config/chromium" --no-first-run --disable-gpu
    --disable-background-networking --proxy-server=127.0.0.1:9)
[ "$(id -u)" != 0 ] || flags+=(--no-sandbox)  # Chromium's sandbox refuses root
node "$here/lib/devtools.mjs" "$prog/tanduxt" "data:text/html,<a href=\"$link\">file</a>" "${flags[@]}" \
    >"$dir/result" 2>"$dir/browser.log" || fail "the browser run failed: $(grep devtools: "$dir/browser.log")"
expected="{\"extension\":\"jfeolpfmpgckbemcgfbmcmdkiionlnjd\",\"link\":\"$link\","
expected+='"refused":{"ok":false,"error":"not an http or https address"},"answer":{"ok":true}}'
[ "$(cat "$dir/result")" = "$expected" ] || fail "browser: $(cat "$dir/result")"
wait_window "Add URL to Download" shown
# OK in the dialog adds the download as its link box holds it.
xdotool windowfocus --sync "$(window "Add URL to Download")" key Return
for _ in $(seq 50); do [ -e "$prog/definitions/from-the-browser.zip.def" ] && break; sleep 0.1; done
[ "$(sed -n 3p "$prog/definitions/from-the-browser.zip.def" | tr -d '\r')" = "$link" ] ||
    fail "the dialog did not hold $link"
echo "ok: hostile messages refused; a link from Chromium reached the running window's Add URL dialog"
