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

# check: a bad address (real servers: reach_check.sh).
set +e
"$cli" check "www.example.com/x" 2>"$work/err"
status=$?
set -e
[ $status -eq 1 ] || fail "check of a bad address exited $status"
grep -qx "Error: Invalid hostname entered." "$work/err" || fail "check error: $(cat "$work/err")"

echo ok
