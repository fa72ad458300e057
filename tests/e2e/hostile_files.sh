#!/usr/bin/env bash
# Stored files and export targets that are not what they should be: a pipe,
# a device, a link, a giant file. Every command ends with a clear message and
# leaves what the path names alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prog=$work/prog
make_program "$build" "$prog"
cli() { timeout 20 "$prog/tandu-cli" "$@"; }
add_waiting "$prog" a.zip http://h/a.zip "$work/" 4

# export writes only to a regular file: a pipe would block, a link or a
# device would be destroyed by the rename.
mkfifo "$work/fifo"
ln -s "$work/victim" "$work/link"
printf keep >"$work/victim"
for target in "$work/fifo" "$work/link" /dev/null; do
    expect_exit 1 cli export "$target"
    grep -q "not a regular file" "$work/err" || fail "export to $target: $(cat "$work/err")"
done
[ -p "$work/fifo" ] && [ -L "$work/link" ] && [ -c /dev/null ] || fail "an export target changed"
[ "$(cat "$work/victim")" = keep ] || fail "the link's file changed"
[ -z "$(ls "$work" | grep -F .tmp)" ] || fail "temporary files left: $(ls "$work")"

# A file the user had at the target name is never cut by a fresh start.
printf mine >"$work/a.zip"
expect_exit 1 cli get a.zip
grep -q "is already there" "$work/err" || fail "get over a user's file: $(cat "$work/err")"
[ "$(cat "$work/a.zip")" = mine ] || fail "the user's a.zip changed"
cli list | grep -qP '^a.zip\t\?\?\?\tWaiting' || fail "a.zip is no longer Waiting"

# Stored files that are pipes, endless devices or huge: the row reads "???",
# nothing blocks, memory stays small.
mkfifo "$prog/definitions/a.zip.dwn"
printf 'zero\r\nDownloading\r\nhttp://h/zero\r\n/tmp/\r\n1\r\n 9 \r\n 9 \r\n 0 \r\n' \
    >"$prog/definitions/zero.def"
ln -s /dev/zero "$prog/definitions/zero.dwn"
head -c 100000000 /dev/zero | tr '\0' x >"$prog/definitions/huge.def"
out=$(cli list) || fail "list exited $?"
grep -qP '^zero\t\?\?\?\tPaused\t\?\?\?' <<<"$out" || fail "zero row: $out"
grep -qP '^huge\t\?\?\?\tWaiting\t\?\?\?' <<<"$out" || fail "huge row: $out"
expect_exit 1 /usr/bin/time -f %M -o "$work/rss" timeout 20 "$prog/tandu-cli" get zero
[ "$(tail -n1 "$work/rss")" -lt 100000 ] || fail "get zero took $(tail -n1 "$work/rss") KB"
status=0 && { cli cancel a.zip </dev/null 2>"$work/err" || status=$?; }
[ "$status" -ne 124 ] || fail "cancel blocked on a pipe"

# add-list reads only regular files, and only so much of standard input.
expect_exit 1 cli add-list /dev/zero
grep -q "not a regular file" "$work/err" || fail "add-list /dev/zero: $(cat "$work/err")"
status=0 && { head -c 70000000 /dev/zero | cli add-list - 2>"$work/err" || status=$?; }
[ "$status" -eq 1 ] && grep -q "larger than" "$work/err" || fail "add-list of 70 MB: $status"
mkfifo "$prog/config.cfg.new" && mv "$prog/config.cfg.new" "$prog/config.cfg"
cli prefs >/dev/null || fail "prefs on a pipe exited $?"
echo ok
