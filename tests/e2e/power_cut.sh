#!/usr/bin/env bash
# Power cuts on a disk that loses what was not synced (lib/cutfs.py over
# FUSE): cuts at random moments of an 8-connection download and just after
# "Completed", every other one harsh (a random part of the unsynced pages,
# sizes and names reached the disk), each resumed: never "Completed" over
# wrong bytes, never a row that cannot go on, every file identical in the end,
# and progress kept across most cuts. A few cuts by default; the full run:
#   TANDU_CUTS=50 TANDU_CUTS_DONE=10 TANDU_CUT_MB=64 bash tests/e2e/power_cut.sh BUILD
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
build=$(cd "$1" && pwd)
require unshare ip nginx cmp
enter_netns "$0" "$build"
# Not a skip: a disk that cannot be cut proves nothing.
[ -c /dev/fuse ] && /usr/bin/python3 -c "import fusepy" && command -v fusermount3 >/dev/null ||
    fail "FUSE cannot be used here (/dev/fuse, python3-fusepy, fuse3)"
cuts=${TANDU_CUTS:-6} done_cuts=${TANDU_CUTS_DONE:-2} mb=${TANDU_CUT_MB:-8}
seed=${TANDU_SEED:-$RANDOM}

work=$(mktemp -d /tmp/tandu-e2e-XXXXXX)
chmod 755 "$work"
mnt="$work/disk" prog="$work/prog"
mkdir -p "$mnt" "$work/www"
/usr/bin/python3 "$here/lib/cutfs.py" "$mnt" "$seed" 2>"$work/fs.err" &
fs=$!
trap 'stop_nginx "$work"; fusermount3 -u "$mnt" 2>/dev/null; kill $fs 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do mountpoint -q "$mnt" && break; sleep 0.1; done
mountpoint -q "$mnt" || fail "the FUSE disk did not mount: $(cat "$work/fs.err")"
mkdir "$mnt/definitions" "$mnt/dl"
sync "$mnt"
make_program "$build" "$prog" 128KB
rmdir "$prog/definitions" && ln -s "$mnt/definitions" "$prog/definitions"
head -c $((mb * 1024 * 1024)) /dev/urandom >"$work/www/f.bin"
# About six seconds a download, over eight connections.
start_nginx "$work/www" "$work" "$((mb * 21))k"

def="$mnt/definitions/f.bin.def"
counted() { awk -F- '{ n += $1 } END { print n + 0 }' "$mnt/definitions/f.bin.dwn" 2>/dev/null || echo 0; }
fresh() {
    rm -f "$mnt/dl/f.bin"
    add_waiting "$prog" f.bin http://localhost/f.bin "$mnt/dl/" 8
    sync "$def" "$mnt/definitions"
}
wrong=0 stuck=0 kept=0 during=0 completed=0
# A download that ended: its file must be whole, or its row still there.
judge() {
    if [ ! -e "$def" ]; then
        completed=$((completed + 1))
        cmp -s "$work/www/f.bin" "$mnt/dl/f.bin" || { wrong=$((wrong + 1)); echo "wrong bytes after $1"; }
    fi
}
# One power cut, harsh every other time.
cut() { if [ $(($1 % 2)) -eq 1 ]; then echo harsh; else echo cut; fi >"$mnt/.cut"; }

for i in $(seq 1 "$cuts"); do
    [ -e "$def" ] || fresh
    before=$(counted)
    "$prog/tandu-cli" get f.bin >/dev/null 2>"$work/err" &
    pid=$!
    sleep "$(awk -v r=$RANDOM 'BEGIN { print 0.5 + 5.5 * r / 32768 }')"
    kill -9 "$pid" 2>/dev/null || true
    status=0
    wait "$pid" || status=$?
    cut "$i"
    if [ "$status" -ne 0 ] && [ "$status" -ne 137 ]; then
        stuck=$((stuck + 1))
        echo "cut $i: get exited $status: $(cat "$work/err")"
    fi
    judge "cut $i"
    if [ -e "$def" ] && [ "$status" -eq 137 ]; then
        during=$((during + 1))
        [ "$(counted)" -le "$before" ] || kept=$((kept + 1))
        "$prog/tandu-cli" list | grep -q "^f.bin	" || { stuck=$((stuck + 1)); echo "cut $i: no row"; }
    fi
done
for i in $(seq 1 "$done_cuts"); do
    [ -e "$def" ] || fresh
    "$prog/tandu-cli" get f.bin >/dev/null 2>"$work/err" || { stuck=$((stuck + 1)); cat "$work/err"; }
    sleep "$(awk -v r=$RANDOM 'BEGIN { print 0.5 * r / 32768 }')"
    cut "$i"
    judge "a cut after Completed"
done
# Whatever the last cut left resumes to the whole file.
if [ -e "$def" ]; then
    "$prog/tandu-cli" get f.bin >/dev/null 2>"$work/err" || { stuck=$((stuck + 1)); cat "$work/err"; }
    judge "the last resume"
fi
read -r file_syncs folder_syncs bytes <"$mnt/.syncs"
echo "seed $seed: $cuts cuts during ($during mid-download), $done_cuts after Completed;" \
    "$completed completed, $wrong with wrong bytes, $stuck rows stuck;" \
    "progress kept across $kept of $during; per GiB written: $((file_syncs * 1073741824 / bytes))" \
    "file syncs, $((folder_syncs * 1073741824 / bytes)) folder syncs"
[ "$wrong" -eq 0 ] && [ "$stuck" -eq 0 ] || fail "power cuts damaged downloads"
[ $((kept * 2)) -gt "$during" ] || fail "progress was lost across most cuts"
cmp "$work/www/f.bin" "$mnt/dl/f.bin" || fail "the file differs in the end"
echo "ok: every cut resumed to an identical file"
