#!/usr/bin/env bash
# Checksums and speed limits against nginx on loopback (private network
# namespace). A checksum in the URL's fragment never reaches the name and
# the right one completes; a wrong one, given or announced by the server
# (Repr-Digest), ends in "Error" naming both values with the file kept. A
# limit changed from another process reaches the running download without
# a new connection, and lifting it lets the download finish.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
build=$(cd "$1" && pwd)
require unshare ip nginx ss sha256sum
enter_netns "$0" "$build"

work=$(mktemp -d /tmp/tandu-e2e-XXXXXX)
chmod 755 "$work"
trap 'kill ${get:-} 2>/dev/null || true; stop_nginx "$work"; rm -rf "$work"' EXIT
mkdir -p "$work/www/told" "$work/dl"
head -c 3000001 /dev/urandom >"$work/www/f.iso"
head -c 20000000 /dev/urandom >"$work/www/big.bin"
cp "$work/www/f.iso" "$work/www/told/f.iso"
sum=$(sha256sum "$work/www/f.iso" | cut -d' ' -f1)
# This location announces a digest that is not the file's.
start_nginx "$work/www" "$work" 0 \
    "map \$uri \$digest { ~^/told/ 'sha-256=:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=:'; }
     add_header Repr-Digest \$digest;"
prog="$work/prog"
make_program "$build" "$prog"
cd "$prog"

./tandu-cli add -d "$work/dl" "http://127.0.0.1/f.iso#sha256=$sum"
./tandu-cli add -d "$work/dl" --checksum "md5=00112233445566778899AABBCCDDEEFF" http://127.0.0.1/f.iso
./tandu-cli add -d "$work/dl" http://127.0.0.1/told/f.iso
[ "$(./tandu-cli list | tail -n +2 | cut -f1 | tr '\n' ' ')" = "f.iso f (2).iso f (3).iso " ] ||
    fail "names: $(./tandu-cli list)"
expect_exit 0 ./tandu-cli get f.iso
grep -q "f.iso  Completed" "$work/out" || fail "right checksum: $(cat "$work/out")"
cmp "$work/www/f.iso" "$work/dl/f.iso" || fail "f.iso differs"
expect_exit 1 ./tandu-cli get "f (2).iso"
grep -q "f (2).iso  Error" "$work/out" || fail "wrong checksum: $(cat "$work/out")"
grep -q "Expected MD5: 00112233445566778899aabbccddeeff" "$work/err" &&
    grep -q "Found MD5: $(md5sum "$work/www/f.iso" | cut -d' ' -f1)" "$work/err" ||
    fail "the message names not both values: $(cat "$work/err")"
cmp "$work/www/f.iso" "$work/dl/f (2).iso" || fail "the mismatching file was not kept"
expect_exit 1 ./tandu-cli get "f (3).iso"
grep -q "Expected SHA-256: e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855" \
    "$work/err" || fail "the server's digest was not checked: $(cat "$work/err")"
echo "ok: checksums"

# A limit from the settings file, changed by another process while the
# download runs: the same connections carry on under the new limit.
./tandu-cli cancel f.iso >/dev/null 2>&1 || true
expect_exit 0 ./tandu-cli prefs --limit 100K
./tandu-cli add -d "$work/dl" -n 4 http://127.0.0.1/big.bin
./tandu-cli get big.bin >"$work/get.out" 2>&1 &
get=$!
connections() { ss -Htn state established '( dport = :80 )' | awk '{ print $3 }' | sort; }
for _ in $(seq 50); do [ "$(connections | wc -l)" -eq 4 ] && break; sleep 0.1; done
before=$(connections)
[ "$(wc -l <<<"$before")" -eq 4 ] || fail "want 4 connections, have: $before"
sleep 1
expect_exit 0 ./tandu-cli prefs --limit 200K
sleep 3
[ "$(connections)" = "$before" ] || fail "connections changed with the limit: $before / $(connections)"
grep -q "limit: 200KB/s" <(./tandu-cli prefs) || fail "prefs: $(./tandu-cli prefs)"
expect_exit 0 ./tandu-cli prefs --limit 0
# At 200 KB/s the rest would take over a minute and a half.
for _ in $(seq 300); do kill -0 "$get" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$get" 2>/dev/null || fail "lifting the limit did not reach the download"
wait "$get" || fail "get failed: $(cat "$work/get.out")"
get=""
cmp "$work/www/big.bin" "$work/dl/big.bin" || fail "big.bin differs"
echo "ok: a limit changed mid-download"
