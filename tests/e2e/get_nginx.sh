#!/usr/bin/env bash
# Real downloads from nginx on loopback port 80 (in a private network
# namespace): 1, 3 and 16 connections give files identical to the served ones.
# (A server that ignores ranges, and one that answers 404: the engine's tests.)
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
