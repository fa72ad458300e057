#!/usr/bin/env bash
# tandu-cli export, cancel and check on a private program folder.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_program "$1" "$work"
cli=$work/tandu-cli
mkdir "$work/dest"

# Two downloads: one waiting, one paused with a partial file.
add_waiting "$work" a.zip http://h/a.zip "$work/dest/" 4
printf 'b.zip\r\nDownloading\r\n  http://h/b.zip \r\n%s/dest/\r\n2\r\n 10 \r\n 5 \r\n 0 \r\n' "$work" \
    >"$work/definitions/b.zip.def"
printf '5-5\r\n0-5\r\n' >"$work/definitions/b.zip.dwn"
printf 'abcde' >"$work/dest/b.zip"
printf 'not the download' >"$work/dest/a.zip"

# export: one URL per line, CR LF, blanks kept, in the list's order.
expect_exit 0 "$cli" export "$work/out.txt"
expected=$(for name in $("$cli" list | tail -n +2 | cut -f 1); do
    sed -n 3p "$work/definitions/$name.def"; done | od -c)
[ "$(od -c <"$work/out.txt")" = "$expected" ] && [ "$(wc -c <"$work/out.txt")" -eq 35 ] ||
    fail "export wrote: $(od -c "$work/out.txt")"
expect_exit 1 "$cli" export "$work/no/such/dir/out.txt"
grep -q "^Error: .*$work/no/such/dir/out.txt" "$work/err" || fail "export error: $(cat "$work/err")"

# cancel: the paused one loses its partial file, the waiting one leaves a
# file of its name alone.
expect_exit 0 "$cli" cancel b.zip
[ ! -e "$work/dest/b.zip" ] && [ ! -e "$work/definitions/b.zip.def" ] &&
    [ ! -e "$work/definitions/b.zip.dwn" ] || fail "cancel b.zip left files"
expect_exit 0 "$cli" cancel a.zip
[ "$(cat "$work/dest/a.zip")" = "not the download" ] || fail "cancel a.zip touched dest/a.zip"
[ -z "$(ls "$work/definitions")" ] || fail "definitions left: $(ls "$work/definitions")"
expect_exit 2 "$cli" cancel

# check: a bad address (real servers: reach_check.sh).
expect_exit 1 "$cli" check "www.example.com/x"
grep -qx "Error: Invalid hostname entered." "$work/err" || fail "check error: $(cat "$work/err")"
echo ok
