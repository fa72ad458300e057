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

for n in 1 3 16; do
    check_download "$build" odd.bin "$work" "$n"
done
check_download "$build" five.bin "$work" 8
check_download "$build" empty.bin "$work" 4

# A missing file is an error, reported, and its row ends "Error".
prog="$work/prog-missing"
make_program "$build" "$prog"
add_waiting "$prog" gone.bin http://localhost/gone.bin "$work/" 4
status=0
"$prog/tandu-cli" get gone.bin >"$work/out-gone" 2>"$work/err-gone" || status=$?
[ "$status" -eq 1 ] || fail "a missing file gave exit $status"
grep -qx "Error: This URL cannot be downloaded." "$work/err-gone" || fail "$(cat "$work/err-gone")"
grep -q "^gone.bin  Error  " "$work/out-gone" || fail "$(cat "$work/out-gone")"
status=0
"$prog/tandu-cli" get >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "get without NAME gave exit $status"
echo "ok: a missing file ends in Error with exit 1"
