#!/usr/bin/env bash
# Several downloads at once from a slowed-down nginx: three run together with
# -j 3 and resume to identical files after a SIGKILL; one killed while two
# others run beside it in another process leaves them alone and resumes; a
# full output pipe nobody reads holds neither the downloads nor a SIGTERM.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/servers.sh"
source "$here/lib/downloads.sh"
build=$(cd "$1" && pwd)
require unshare ip nginx cmp
enter_netns "$0" "$build"

work=$(mktemp -d /tmp/tandu-e2e-XXXXXX)
chmod 755 "$work"  # the server's workers read from it
trap 'stop_nginx "$work"; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/dl"
prog="$work/prog"
make_program "$build" "$prog" 128KB
for name in a.bin b.bin c.bin d.bin e.bin f.bin g.bin h.bin i.bin; do
    head -c 3000001 /dev/urandom >"$work/www/$name"
    add_waiting "$prog" "$name" "http://localhost/$name" "$work/dl/" 4
done
start_nginx "$work/www" "$work" 256k

# Waits until every named download has a progress file: all are under way.
all_running() {
    for _ in $(seq 1 100); do
        (cd "$prog/definitions" && ls "${@/%/.dwn}") >/dev/null 2>&1 && return 0 || sleep 0.05
    done
    return 1
}

"$prog/tandu-cli" get a.bin b.bin c.bin -j 3 >"$work/three.out" 2>"$work/three.err" &
pid=$!
all_running a.bin b.bin c.bin || fail "three downloads did not run at once"
sleep 1.2
kill -9 "$pid"
wait "$pid" || true
expect_exit 0 "$prog/tandu-cli" get a.bin b.bin c.bin -j 3
for name in a.bin b.bin c.bin; do
    grep -q "^$name  Downloading  " "$work/three.out" || fail "no figures for $name"
    cmp "$work/www/$name" "$work/dl/$name" || fail "$name differs after the kill"
done
echo "ok: three at once, killed and resumed to identical files"

"$prog/tandu-cli" get d.bin e.bin -j 2 >/dev/null 2>"$work/two.err" &
two=$!
"$prog/tandu-cli" get f.bin >/dev/null 2>&1 &
one=$!
all_running d.bin e.bin f.bin || fail "the three downloads did not run at once"
sleep 0.5
kill -9 "$one"
wait "$one" || true
wait "$two" || fail "the two others exited $?: $(cat "$work/two.err")"
expect_exit 0 "$prog/tandu-cli" get f.bin
for name in d.bin e.bin f.bin; do
    cmp "$work/www/$name" "$work/dl/$name" || fail "$name differs"
done
echo "ok: one killed while two others ran; all identical"

# A reader that never reads: a full pipe holds neither the downloads nor a SIGTERM.
mkfifo "$work/pipe" && exec 3<>"$work/pipe"
dd if=/dev/zero of="$work/pipe" bs=64k count=1 oflag=nonblock status=none 2>/dev/null || true
timeout 60 "$prog/tandu-cli" get g.bin h.bin -j 2 >"$work/pipe" 2>&1 || fail "with a full pipe: exit $?"
"$prog/tandu-cli" get i.bin >"$work/pipe" 2>&1 &
all_running i.bin && sleep 0.5 && kill -TERM $! || fail "i.bin did not start"
timeout 5 tail --pid=$! -f /dev/null && { wait $! || [ $? -eq 130 ]; } || fail "SIGTERM with a full pipe"
expect_exit 0 "$prog/tandu-cli" get i.bin
for name in g.bin h.bin i.bin; do cmp "$work/www/$name" "$work/dl/$name" || fail "$name differs"; done
echo "ok: a full output pipe held neither the downloads nor a SIGTERM"
