#!/usr/bin/env bash
# SIGKILLs at random moments of an 8-connection download whose connections help
# each other, on a disk that loses what was not synced (lib/cutfs.py), each followed
# by nothing, a power cut or a harsh one; a few cuts just after "Completed". Each
# resumed: never "Completed" over wrong bytes, no row stuck, progress mostly kept.
# Full run: TANDU_CUTS=50 TANDU_CUTS_DONE=10 TANDU_CUT_MB=64
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
build=$(cd "$1" && pwd)
require unshare ip nginx cmp
enter_netns "$0" "$build"
[ -c /dev/fuse ] && /usr/bin/python3 -c "import fusepy" && command -v fusermount3 >/dev/null ||
    fail "FUSE cannot be used here (/dev/fuse, python3-fusepy, fuse3)"  # no skip: it proves nothing
cuts=${TANDU_CUTS:-9} after=${TANDU_CUTS_DONE:-2} mb=${TANDU_CUT_MB:-8} seed=${TANDU_SEED:-$RANDOM}
work=$(mktemp -d /tmp/tandu-e2e-XXXXXX) && chmod 755 "$work" && mkdir "$work/disk" "$work/www"
disk="$work/disk" prog="$work/prog" def="$work/disk/definitions/f.bin.def"
/usr/bin/python3 "$here/lib/cutfs.py" "$disk" "$seed" 2>"$work/fs.err" & fs=$!
trap 'stop_nginx "$work"; fusermount3 -u "$disk"; kill $fs 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do mountpoint -q "$disk" && break || sleep 0.1; done
mkdir "$disk/definitions" "$disk/dl" && sync "$disk" || fail "no FUSE disk: $(cat "$work/fs.err")"
make_program "$build" "$prog" 128KB && rmdir "$prog/definitions"
ln -s "$disk/definitions" "$prog/definitions" && head -c $((mb << 20)) /dev/urandom >"$work/www/f.bin"
# About twelve seconds a download, if no connection helped: a kill within six is mid-way.
start_nginx "$work/www" "$work" '$split_rate' \
    "map \$request_id \$split_rate { \"~[0-7]\$\" $((mb * 6))k; default $((mb * 20))k; }"
counted() { awk -F- '{ n += $1 } END { print n + 0 }' "${def%def}dwn" 2>/dev/null || echo 0; }
wrong=0 stuck=0 kept=0 during=0
for i in $(seq 1 $((cuts + after))); do
    [ -e "$def" ] || { rm -f "$disk/dl/f.bin"; add_waiting "$prog" f.bin http://localhost/f.bin "$disk/dl/" 8; sync "$def" "$disk/definitions"; }
    before=$(counted) mode=$(echo kill cut harsh | cut -d' ' -f$((i % 3 + 1))) status=0
    # Every other kill after the first commits, so some must keep progress.
    delay=$(awk -v r=$RANDOM -v i="$i" 'BEGIN { print i % 2 ? 0.5 + 2.5 * r / 32768 : 3 + 3 * r / 32768 }')
    "$prog/tandu-cli" get f.bin >/dev/null 2>"$work/err" &
    pid=$!
    [ "$i" -gt "$cuts" ] || { sleep "$delay"; kill -9 $pid 2>/dev/null || true; }
    wait $pid || status=$?
    [ "$status" -eq 0 ] || [ "$status" -eq 137 ] || { stuck=$((stuck + 1)); cat "$work/err"; }
    [ "$i" -le "$cuts" ] || sleep "0.$((RANDOM % 5))"  # just after Completed
    [ "$mode" = kill ] || echo "$mode" >"$disk/.cut"
    [ -e "$def" ] || cmp -s "$work/www/f.bin" "$disk/dl/f.bin" || { wrong=$((wrong + 1)); echo "wrong after $mode $i"; }
    # Progress is committed once a second: only a run that lasted a few seconds must keep some.
    [ ! -e "$def" ] || [ "$i" -gt "$cuts" ] || awk -v d="$delay" 'BEGIN { exit !(d < 3) }' ||
        { during=$((during + 1)); [ "$(counted)" -le "$before" ] || kept=$((kept + 1)); }
done
[ ! -e "$def" ] || "$prog/tandu-cli" get f.bin >/dev/null || stuck=$((stuck + 1))
echo "seed $seed: $cuts kills and cuts, $after after Completed: $wrong with wrong bytes," \
    "$stuck rows stuck, progress kept across $kept of $during"
[ "$wrong" -eq 0 ] && [ "$stuck" -eq 0 ] || fail "power cuts damaged downloads"
[ "$during" -gt 0 ] && [ $((kept * 2)) -gt "$during" ] && cmp "$work/www/f.bin" "$disk/dl/f.bin" || fail "progress lost, or a wrong file"
echo "ok: every kill and cut resumed to an identical file"
