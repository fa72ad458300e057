#!/usr/bin/env bash
# tandu-cli list prints the rows the window shows after start-up.
set -euo pipefail
bin="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$bin/tandu-cli" "$dir/"
mkdir "$dir/definitions"
printf 'paused.zip\r\nDownloading\r\nhttp://h/paused.zip\r\n/tmp/\r\n3\r\n 1500000 \r\n 500000 \r\n 0 \r\n' \
  > "$dir/definitions/paused.zip.def"
printf '250000-500000\r\n0-500000\r\n500000-500000\r\n' > "$dir/definitions/paused.zip.dwn"
printf 'fresh.zip\r\nDownloading\r\nhttp://h/fresh.zip\r\n/tmp/\r\n3\r\n 1500000 \r\n 500000 \r\n 0 \r\n' \
  > "$dir/definitions/fresh.zip.def"
printf '0-500000\r\n0-500000\r\n0-500000\r\n' > "$dir/definitions/fresh.zip.dwn"
printf 'wait.iso\r\nWaiting\r\nhttp://h/wait.iso\r\n/tmp/\r\n4\r\n' > "$dir/definitions/wait.iso.def"
printf '1.0\r\n4\r\n\r\n512KB\r\n' > "$dir/config.cfg"

out=$(LC_ALL=C "$dir/tandu-cli" list)
expected_header=$(printf 'File\tSpeed\tState\tSize\tETA')
[ "$(head -n1 <<<"$out")" = "$expected_header" ] || { echo "bad header: $out"; exit 1; }
[ "$(wc -l <<<"$out")" -eq 4 ] || { echo "want 3 rows: $out"; exit 1; }
# Rows come in listing order, the same order the folder scan sees.
order=$(cd "$dir/definitions" && ls -U | grep '\.def$' | sed 's/\.def$//')
[ "$(tail -n +2 <<<"$out" | cut -f1)" = "$order" ] || { echo "order differs: $out / $order"; exit 1; }
grep -qxF "$(printf 'paused.zip\t???\tPaused\t750/1,500KB\t???')" <<<"$out" || { echo "paused row: $out"; exit 1; }
grep -qxF "$(printf 'fresh.zip\t???\tPaused\t/1,500KB\t???')" <<<"$out" || { echo "fresh row: $out"; exit 1; }
grep -qxF "$(printf 'wait.iso\t???\tWaiting\t???\t???')" <<<"$out" || { echo "waiting row: $out"; exit 1; }

# The user's digit-group separator is used.
if locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  LC_ALL=de_DE.UTF-8 "$dir/tandu-cli" list | grep -qF '750/1.500KB' || { echo "separator"; exit 1; }
fi
# Nothing was written by listing.
[ "$(cat "$dir/definitions/paused.zip.dwn")" = "$(printf '250000-500000\r\n0-500000\r\n500000-500000\r')" ]

# A row is its definition file: one whose line 1 names another file is
# cancelled by the name shown; a cancel that finds nothing fails with a word.
printf 'shown.bin\r\nWaiting\r\nhttp://h/shown.bin\r\n/tmp/\r\n4\r\n' >"$dir/definitions/other.def"
"$dir/tandu-cli" cancel shown.bin || { echo "cancel by the shown name failed"; exit 1; }
[ ! -e "$dir/definitions/other.def" ] || { echo "other.def was left"; exit 1; }
status=0
"$dir/tandu-cli" cancel shown.bin 2>"$dir/cancel.err" || status=$?
[ "$status" -eq 1 ] && [ -s "$dir/cancel.err" ] || { echo "empty cancel gave $status"; exit 1; }
echo ok
