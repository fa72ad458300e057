#!/usr/bin/env bash
# Real downloads from nginx on loopback port 80 (in a private network
# namespace): 1, 3 and 16 connections give files identical to the served ones.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
build=$(cd "$1" && pwd)
require unshare ip nginx cmp
enter_netns "$0" "$build"

work=$(mktemp -d /tmp/tandu-e2e-XXXXXX)
chmod 755 "$work"  # the server's workers read from it
trap 'stop_nginx "$work"; rm -rf "$work"' EXIT
make_files "$work/www"
start_nginx "$work/www" "$work"

for case in odd.bin:1 odd.bin:3 odd.bin:16 five.bin:8 empty.bin:4; do
    check_download "$build" "${case%:*}" "$work" "${case#*:}"
done

# A missing file is an error, reported, and its row ends "Error".
prog="$work/prog-missing"
make_program "$build" "$prog"
add_waiting "$prog" gone.bin http://localhost/gone.bin "$work/" 4
expect_exit 1 "$prog/tandu-cli" get gone.bin
grep -qx "Error: This URL cannot be downloaded." "$work/err" || fail "$(cat "$work/err")"
grep -q "^gone.bin  Error  " "$work/out" || fail "$(cat "$work/out")"
expect_exit 2 "$prog/tandu-cli" get
echo "ok: a missing file ends in Error with exit 1"
