#!/usr/bin/env bash
# Real downloads from lighttpd on loopback port 80 (in a private network
# namespace). lighttpd answers HTTP/1.0 range requests with the whole file, so
# more than one connection falls back to one; the files must still be identical.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
build=$(cd "$1" && pwd)
require unshare ip lighttpd cmp
enter_netns "$0" "$build"

work=$(mktemp -d /tmp/tandu-e2e-XXXXXX)
chmod 755 "$work"  # the server's workers read from it
trap 'stop_lighttpd "$work"; rm -rf "$work"' EXIT
make_files "$work/www"
start_lighttpd "$work/www" "$work"

while read -r name n expect; do
    check_download "$build" "$name" "$work" "$n" "$expect"
done <<<$'odd.bin 1\nodd.bin 3 fallback\nodd.bin 16 fallback\nempty.bin 4'
