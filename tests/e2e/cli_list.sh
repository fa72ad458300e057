#!/usr/bin/env bash
# tandu-cli list prints the rows the window shows after start-up, export
# writes their URLs, cancel removes a row's own files and nothing else.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
dir=$(mktemp -d)
work=$dir
trap 'rm -rf "$dir"' EXIT
make_program "$1" "$dir"
dest="$dir/dest/"
mkdir "$dest"
printf 'paused.zip\r\nDownloading\r\nhttp://h/paused.zip\r\n%s\r\n3\r\n 1500000 \r\n 500000 \r\n 0 \r\n' "$dest" \
  > "$dir/definitions/paused.zip.def"
printf '250000-500000\r\n0-500000\r\n500000-500000\r\n' > "$dir/definitions/paused.zip.dwn"
printf 'fresh.zip\r\nDownloading\r\n  http://h/fresh.zip \r\n/tmp/\r\n3\r\n 1500000 \r\n 500000 \r\n 0 \r\n' \
  > "$dir/definitions/fresh.zip.def"
printf '0-500000\r\n0-500000\r\n0-500000\r\n' > "$dir/definitions/fresh.zip.dwn"
add_waiting "$dir" wait.iso http://h/wait.iso "$dest" 4
printf 'partial' >"$dest/paused.zip"
printf 'not the download' >"$dest/wait.iso"

out=$(LC_ALL=C "$dir/tandu-cli" list)
[ "$(head -n1 <<<"$out")" = "$(printf 'File\tSpeed\tState\tSize\tETA')" ] || fail "bad header: $out"
[ "$(wc -l <<<"$out")" -eq 4 ] || fail "want 3 rows: $out"
# Definitions no list order names (written by older builds) come by name.
order=$(printf 'fresh.zip\npaused.zip\nwait.iso')
[ "$(tail -n +2 <<<"$out" | cut -f1)" = "$order" ] || fail "order differs: $out / $order"
grep -qxF "$(printf 'paused.zip\t???\tPaused\t750/1,500KB\t???')" <<<"$out" || fail "paused row: $out"
grep -qxF "$(printf 'fresh.zip\t???\tPaused\t/1,500KB\t???')" <<<"$out" || fail "fresh row: $out"
grep -qxF "$(printf 'wait.iso\t???\tWaiting\t???\t???')" <<<"$out" || fail "waiting row: $out"
# The user's digit-group separator is used.
if locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  LC_ALL=de_DE.UTF-8 "$dir/tandu-cli" list | grep -qF '750/1.500KB' || fail "separator"
fi
# Nothing was written by listing.
[ "$(cat "$dir/definitions/paused.zip.dwn")" = "$(printf '250000-500000\r\n0-500000\r\n500000-500000\r')" ]

# export: one URL per line, CR LF, blanks kept, in the list's order.
expect_exit 0 "$dir/tandu-cli" export "$dir/out.txt"
expected=$(for name in $order; do sed -n 3p "$dir/definitions/$name.def"; done | od -c)
[ "$(od -c <"$dir/out.txt")" = "$expected" ] && [ "$(wc -c <"$dir/out.txt")" -eq 63 ] ||
    fail "export wrote: $(od -c "$dir/out.txt")"
expect_exit 1 "$dir/tandu-cli" export "$dir/no/such/dir/out.txt"
grep -q "^Error: .*$dir/no/such/dir/out.txt" "$dir/err" || fail "export error: $(cat "$dir/err")"

# cancel: the paused one loses its partial file, the waiting one leaves a
# file of its name alone.
expect_exit 0 "$dir/tandu-cli" cancel paused.zip
[ ! -e "$dest/paused.zip" ] && [ ! -e "$dir/definitions/paused.zip.def" ] &&
    [ ! -e "$dir/definitions/paused.zip.dwn" ] || fail "cancel paused.zip left files"
expect_exit 0 "$dir/tandu-cli" cancel wait.iso
[ "$(cat "$dest/wait.iso")" = "not the download" ] || fail "cancel wait.iso touched dest/wait.iso"
expect_exit 2 "$dir/tandu-cli" cancel

# Downloads come back in the order they were added (neither by name nor as
# the folder lists them), before those the order does not name; a cancelled
# one leaves the others in place.
added=$(seq 1 20 | sed 's/.*/n&.bin/' | shuf --random-source=<(yes))
for name in $added; do expect_exit 0 "$dir/tandu-cli" add -d "$dest" "http://h/$name"; done
[ "$("$dir/tandu-cli" list | tail -n +2 | cut -f1)" = "$(printf "%s\n" $added fresh.zip)" ] ||
    fail "added order lost: $("$dir/tandu-cli" list)"
third=$(sed -n 3p <<<"$added")
expect_exit 0 "$dir/tandu-cli" cancel "$third"
[ "$("$dir/tandu-cli" list | tail -n +2 | cut -f1)" = "$(grep -vx "$third" <<<"$added"; echo fresh.zip)" ] ||
    fail "order after a cancel: $("$dir/tandu-cli" list)"
[ "$(grep -c . "$dir/definitions/list.order")" -eq 19 ] || fail "list.order keeps a cancelled name"
for name in $added; do "$dir/tandu-cli" cancel "$name" >/dev/null 2>&1 || true; done

# A row is its definition file: one whose line 1 names another file is
# cancelled by the name shown; a cancel that finds nothing fails with a word.
printf 'shown.bin\r\nWaiting\r\nhttp://h/shown.bin\r\n/tmp/\r\n4\r\n' >"$dir/definitions/other.def"
expect_exit 0 "$dir/tandu-cli" cancel shown.bin
[ ! -e "$dir/definitions/other.def" ] || fail "other.def was left"
expect_exit 1 "$dir/tandu-cli" cancel shown.bin
[ -s "$dir/err" ] || fail "a cancel that removed nothing said nothing"
echo ok
