#!/usr/bin/env bash
# tandu-cli export, cancel and check on a private program folder.
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$bin/tandu-cli" "$work/"
cli=$work/tandu-cli
mkdir "$work/definitions" "$work/dest"
printf '1.0\r\n4\r\n\r\n512KB\r\n' >"$work/config.cfg"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Two downloads: one waiting, one paused with a partial file.
printf 'a.zip\r\nWaiting\r\nhttp://h/a.zip\r\n%s/dest/\r\n4\r\n' "$work" >"$work/definitions/a.zip.def"
printf 'b.zip\r\nDownloading\r\n  http://h/b.zip \r\n%s/dest/\r\n2\r\n 10 \r\n 5 \r\n 0 \r\n' "$work" \
    >"$work/definitions/b.zip.def"
printf '5-5\r\n0-5\r\n' >"$work/definitions/b.zip.dwn"
printf 'abcde' >"$work/dest/b.zip"
printf 'not the download' >"$work/dest/a.zip"

# export: one URL per line, CR LF, blanks kept; order is the folder's.
"$cli" export "$work/out.txt" || fail "export exited $?"
expected=$(printf 'http://h/a.zip\r\n  http://h/b.zip \r\n' | sort)
[ "$(sort <"$work/out.txt")" = "$expected" ] || fail "export wrote: $(od -c "$work/out.txt")"
[ "$(wc -c <"$work/out.txt")" -eq 35 ] || fail "export size"
set +e
"$cli" export "$work/no/such/dir/out.txt" 2>"$work/err"
status=$?
set -e
[ $status -eq 1 ] || fail "export to a missing folder exited $status"
grep -q "^Error: .*$work/no/such/dir/out.txt" "$work/err" || fail "export error: $(cat "$work/err")"

# cancel: the paused one loses its partial file, the waiting one leaves a
# file of its name alone.
"$cli" cancel b.zip || fail "cancel b.zip exited $?"
[ ! -e "$work/dest/b.zip" ] && [ ! -e "$work/definitions/b.zip.def" ] &&
    [ ! -e "$work/definitions/b.zip.dwn" ] || fail "cancel b.zip left files"
"$cli" cancel a.zip || fail "cancel a.zip exited $?"
[ "$(cat "$work/dest/a.zip")" = "not the download" ] || fail "cancel a.zip touched dest/a.zip"
[ -z "$(ls "$work/definitions")" ] || fail "definitions left: $(ls "$work/definitions")"
set +e
"$cli" cancel nothing.zip 2>"$work/err"
status=$?
"$cli" cancel 2>/dev/null
usage=$?
set -e
[ $status -eq 1 ] || fail "cancel of an unknown name exited $status"
[ $usage -eq 2 ] || fail "cancel without a name exited $usage"

# check: a bad address, then a real server on port 80 of a private network.
set +e
"$cli" check "www.example.com/x" 2>"$work/err"
status=$?
set -e
[ $status -eq 1 ] || fail "check of a bad address exited $status"
grep -qx "Error: Invalid hostname entered." "$work/err" || fail "check error: $(cat "$work/err")"

if ! command -v python3 >/dev/null || ! unshare -n true 2>/dev/null; then
    echo "no python3 or no private network: the server check is skipped" >&2
    exit 0
fi
cat >"$work/server.py" <<'PY'
import socket, sys
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("127.0.0.1", 80))
server.listen(1)
open(sys.argv[1] + ".ready", "w").close()
request = b""
while not request:  # the check connects once before it asks
    peer, _ = server.accept()
    while b"\r\n\r\n" not in request:
        chunk = peer.recv(1024)
        if not chunk:
            break
        request += chunk
open(sys.argv[1], "wb").write(request)
peer.sendall(b"HTTP/1.0 200 OK\r\nX-Odd: \x1b[31mred\r\nContent-Length: 3\r\n\r\n")
peer.close()
PY
unshare -n bash -c '
    ip link set lo up
    python3 "$1/server.py" "$1/request" &
    for _ in $(seq 100); do [ -e "$1/request.ready" ] && break; sleep 0.1; done
    "$1/tandu-cli" check "http://127.0.0.1/file.zip" >"$1/answer" 2>"$1/err"
    echo $? >"$1/status"
    wait
' _ "$work" || true
[ "$(cat "$work/status")" = 0 ] || fail "check exited $(cat "$work/status"): $(cat "$work/err")"
[ "$(cat "$work/request")" = "$(printf 'HEAD http://127.0.0.1/file.zip HTTP/1.0\r\n\r\n')" ] ||
    fail "request was: $(od -c "$work/request")"
grep -q "^Host Found: Host found! Now checking if the file still exists" "$work/err" ||
    fail "no Host Found message: $(cat "$work/err")"
[ "$(head -c 17 "$work/answer")" = "$(printf 'HTTP/1.0 200 OK\r\n')" ] || fail "answer: $(cat "$work/answer")"
grep -qF 'X-Odd: \x1B[31mred' "$work/answer" || fail "control bytes shown raw: $(od -c "$work/answer")"
echo ok
