#!/usr/bin/env bash
# Servers and disks that misbehave: a chunked answer, a server that hangs up
# without a word, and a destination folder removed while its download runs.
# Nothing is reported complete that is not.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
build=$(cd "$1" && pwd)
require unshare ip nginx cmp python3
enter_netns "$0" "$build"
work=$(mktemp -d /tmp/tandu-e2e-XXXXXX)
chmod 755 "$work"
trap 'stop_nginx "$work"; kill %1 2>/dev/null || true; rm -rf "$work"' EXIT
prog=$work/prog
make_program "$build" "$prog"
mkdir -p "$work/dl" "$work/www"

# A tiny server: 26 letters, sent chunked (no framing may reach the file).
python3 - <<'PY' &
import socket
server = socket.create_server(("127.0.0.1", 80))
while True:
    conn, _ = server.accept()
    request = conn.recv(4096)
    if request and b"/silent " not in request:
        conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                     b"1a\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\n\r\n")
    conn.close()
PY
wait_for_port
add_waiting "$prog" chunked http://localhost/chunked "$work/dl/" 1
expect_exit 0 timeout 20 "$prog/tandu-cli" get chunked
[ "$(cat "$work/dl/chunked")" = abcdefghijklmnopqrstuvwxyz ] || fail "chunked: $(cat "$work/dl/chunked")"
expect_exit 1 timeout 40 "$prog/tandu-cli" check http://localhost/silent
grep -q "closed the connection without an answer" "$work/err" || fail "check: $(cat "$work/err")"
kill %1

# The destination folder goes away mid-download: never "Completed" without
# the file; once it is back, the resume fetches everything again.
head -c 3000001 /dev/urandom >"$work/www/gone.bin"
start_nginx "$work/www" "$work" 256k
add_waiting "$prog" gone.bin http://localhost/gone.bin "$work/dest/" 8
mkdir "$work/dest"
"$prog/tandu-cli" get gone.bin >/dev/null 2>"$work/err" &
sleep 1
rm -rf "$work/dest"
status=0
wait %% || status=$?
[ "$status" -eq 1 ] || fail "get into a removed folder exited $status"
grep -q "was removed or replaced while it was being downloaded" "$work/err" ||
    fail "no word of the lost file: $(cat "$work/err")"
"$prog/tandu-cli" list | grep -qP '^gone.bin\t.*\tPaused\t' || fail "not Paused: $("$prog/tandu-cli" list)"
mkdir "$work/dest"
# A reader that goes away takes the progress line, not the download.
"$prog/tandu-cli" get gone.bin | head -c1 >/dev/null
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || fail "the resume into a closed pipe exited $status"
cmp "$work/www/gone.bin" "$work/dest/gone.bin" || fail "gone.bin differs after the resume"
echo ok
