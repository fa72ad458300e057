#!/usr/bin/env bash
# The browser extension for real: the native host refuses hostile messages
# and starts nothing for them; Debian's Chromium, headless with the unpacked
# extension and the host registered in a temporary home, sends a page's link
# to a running tandu, whose Add URL dialog then shows it; web-ext lint finds
# nothing in tanduxt.xpi.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
enter_netns "$0" "$@"  # no traffic leaves the test, whatever the browser tries
bin=$(cd "$1" && pwd)
[ -x "$bin/tandu-host" ] && [ -f "$bin/tanduxt.xpi" ] || { echo "skipped: no extension built"; exit 77; }
dir=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export LC_ALL=C HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir"
prog="$dir/prog"
mkdir -p "$prog/definitions" "$HOME" "$dir/downloads" "$dir/run" && chmod 700 "$dir/run"
cp -r "$bin/tandu-host" "$bin/tanduxt" "$prog/"

# The host alone, with a tandu that records how it was started.
printf '#!/bin/sh\nprintf "[%%s]" "$@" >>"%s/started"\n' "$dir" >"$prog/tandu"
chmod +x "$prog/tandu"
frame() { printf "\\x$(printf %02x $((${#1} & 255)))\\x$(printf %02x $((${#1} >> 8)))\\x00\\x00%s" "$1"; }
answer() { { "$prog/tandu-host" chrome-extension://test/ || true; } | tail -c +5; }
for message in '{"url":"file:///etc/passwd"}' '{"url":"javascript:alert(1)"}' '{"url":"http://h/a' \
    '{"url":"http://h/a\nb.zip"}' '{"url":"http://h/a","cookies":"c"}'; do
    frame "$message" | answer | grep -q '^{"ok":false,"error":"' || fail "host took $message"
done
printf '\x01\x00\x10\x00{}' | answer | grep -q 'longer than 1 MB' || fail "host took a length over 1 MB"
sleep 0.3
[ ! -e "$dir/started" ] || fail "a refused message started: $(cat "$dir/started")"
[ "$(frame '{"url":"https://h/a%20b.zip"}' | answer)" = '{"ok":true}' ] || fail "host refused a good address"
sleep 0.3
[ "$(cat "$dir/started")" = "[-url https://h/a%20b.zip]" ] || fail "started: $(cat "$dir/started")"
echo "ok: the host refuses hostile messages and passes one address as one argument"

# The package Firefox installs, its id the one the host's manifest allows.
mkdir "$dir/xpi"
(cd "$dir/xpi" && cmake -E tar xf "$bin/tanduxt.xpi")
id=$(sed -n 's/.*"id" : "\(.*\)".*/\1/p' "$dir/xpi/manifest.json")
"$prog/tandu-host" --register >/dev/null
grep -qF "\"allowed_extensions\": [\"$id\"]" "$HOME/.mozilla/native-messaging-hosts/org.tandu.host.json" ||
    fail "the Firefox host manifest does not allow $id"
lint=$(command -v web-ext || echo "$bin/../web-ext/node_modules/.bin/web-ext")
if [ -x "$lint" ]; then
    "$lint" lint --source-dir "$dir/xpi" --no-input --output json >"$dir/lint" || true
    grep -q '"summary":{"errors":0,"notices":0,"warnings":0}' "$dir/lint" || fail "web-ext lint: $(cat "$dir/lint")"
    echo "ok: web-ext lint"
else
    echo "web-ext is not installed (scripts/deps.sh puts it in build/web-ext): no lint"
fi

command -v chromium >/dev/null || { echo "skipped: chromium is not installed"; exit 77; }
require node Xvfb xdotool
cp "$bin/tandu" "$prog/tandu"
printf '1.0\r\n4\r\n%s/\r\n512KB\r\n' "$dir/downloads" >"$prog/config.cfg"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$dir/display")" QT_QPA_PLATFORM=xcb
"$prog/tandu" >"$dir/log" 2>&1 &
app=$!
window() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1; }
for _ in $(seq 100); do [ -n "$(window "Tandu Download Manager - Beta 1")" ] && break; sleep 0.1; done

link="http://127.0.0.1:9/from-the-browser.zip"
# Headless Chromium makes a throw-away profile unless told; the host's manifest is in this one.
flags=(--user-data-dir="$HOME/.config/chromium" --no-first-run --disable-gpu
    --disable-background-networking --proxy-server=127.0.0.1:9)
[ "$(id -u)" != 0 ] || flags+=(--no-sandbox)  # Chromium's sandbox refuses root
node "$here/lib/devtools.mjs" "$prog/tanduxt" "data:text/html,<a href=\"$link\">file</a>" "${flags[@]}" \
    >"$dir/result" 2>"$dir/browser.log" || fail "the browser run failed: $(grep devtools: "$dir/browser.log")"
expected="{\"extension\":\"jfeolpfmpgckbemcgfbmcmdkiionlnjd\",\"link\":\"$link\","
expected+='"refused":{"ok":false,"error":"not an http or https address"},"answer":{"ok":true}}'
[ "$(cat "$dir/result")" = "$expected" ] || fail "browser: $(cat "$dir/result")"
for _ in $(seq 50); do [ -n "$(window "Add URL to Download")" ] && break; sleep 0.1; done
dialog=$(window "Add URL to Download")
[ -n "$dialog" ] || fail "no Add URL dialog opened"
# OK in the dialog adds the download as its link box holds it.
xdotool windowfocus --sync "$dialog" key Return
for _ in $(seq 50); do [ -e "$prog/definitions/from-the-browser.zip.def" ] && break; sleep 0.1; done
[ "$(sed -n 3p "$prog/definitions/from-the-browser.zip.def" | tr -d '\r')" = "$link" ] ||
    fail "the dialog did not hold $link"
kill -0 "$app" || fail "tandu ended"
echo "ok: a link from Chromium reached the running window's Add URL dialog"
