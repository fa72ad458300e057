#!/usr/bin/env bash
# The extension's host and package: hostile messages are refused, a tandu that
# cannot run is named with what to do, and web-ext lint passes tanduxt.xpi.
# The browsers themselves: browser_chromium.sh and browser_firefox.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/downloads.sh"
bin=$(cd "$1" && pwd)
[ -x "$bin/tandu-host" ] && [ -f "$bin/tanduxt.xpi" ] || fail "no extension built"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export LC_ALL=C HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir"
prog="$dir/prog"
mkdir -p "$prog/definitions" "$HOME" "$dir/xpi" && mkdir -m 700 "$dir/run"
cp "$bin/tandu-host" "$prog/"

frame() { printf "\\x$(printf %02x $((${#1} & 255)))\\x$(printf %02x $((${#1} >> 8)))\\x00\\x00%s" "$1"; }
answer() { { "$prog/tandu-host" chrome-extension://test/ || true; } | tail -c +5; }
for message in '{"url":"file:///etc/passwd"}' '{"url":"javascript:alert(1)"}' '{"url":"http://h/a' \
    '{"url":"http://h/a\nb.zip"}' '{"url":"http://h/a","cookies":"a=1\r\nX: y"}' \
    '{"url":"http://h/a","userAgent":"x\u0000"}'; do
    frame "$message" | answer | grep -q '^{"ok":false,"error":"' || fail "host took $message"
done
printf '\x01\x00\x10\x00{}' | answer | grep -q 'longer than 1 MB' || fail "host took a length over 1 MB"
# No window runs and the tandu beside the host cannot: the answer says what to do.
printf '#!/bin/sh\n' >"$prog/tandu" && chmod 644 "$prog/tandu"
frame '{"url":"https://h/a.zip"}' | answer | grep -qF "Make it executable (chmod +x $prog/tandu)" ||
    fail "a tandu that cannot run: $(frame '{"url":"https://h/a.zip"}' | answer)"
# Without /proc the host cannot tell where it is, and starts no tandu of the working folder.
mkdir "$dir/cwd" && printf '#!/bin/sh\ntouch "%s/started"\n' "$dir" >"$dir/cwd/tandu" && chmod +x "$dir/cwd/tandu"
frame '{"url":"https://h/c.zip"}' | { ASAN_OPTIONS=detect_leaks=0 unshare -m sh -c "umount -l /proc &&
    cd '$dir/cwd' && '$prog/tandu-host' x" || true; } | grep -q 'tandu cannot be found' || fail "no /proc"
sleep 0.3 && [ ! -e "$dir/started" ] || fail "without /proc the host started ./tandu"

# The package Firefox installs: lint clean, its id the one the host's manifest allows.
(cd "$dir/xpi" && cmake -E tar xf "$bin/tanduxt.xpi")
"$prog/tandu-host" --register >/dev/null
id=$(sed -n 's/.*"id" *: "\(.*\)".*/\1/p' "$dir/xpi/manifest.json")
grep -qF "[\"$id\"]" "$HOME/.mozilla/native-messaging-hosts/org.tandu.host.json" || fail "Firefox id '$id' not allowed"
lint=$(command -v web-ext || echo "$here/../../build/web-ext/node_modules/.bin/web-ext")
[ -x "$lint" ] || fail "web-ext is not installed (scripts/deps.sh puts it in build/web-ext)"
"$lint" lint --source-dir "$dir/xpi" --no-input --output json >"$dir/lint" || true
grep -q '"summary":{"errors":0,"notices":0,"warnings":0}' "$dir/lint" || fail "web-ext lint: $(cat "$dir/lint")"
echo "ok: hostile messages refused, a tandu that cannot run named, the package lints clean"
