#!/usr/bin/env bash
# Downloads from nginx on loopback serving one request in two at a crawl, so
# that connections help slow ones: paused by SIGINT and SIGTERM while they
# help, paused by the build in TANDU_BASELINE (a program folder, optional), and
# one a second process must leave alone: each resumed, all byte-identical.
# (Kills at random moments while they help: power_cut.sh.)
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
for name in pause-INT:32 pause-TERM:32 twice:4 old:4; do
    head -c "${name#*:}000001" /dev/urandom >"$work/www/${name%:*}.bin"
done
start_nginx "$work/www" "$work" '$split_rate' 'map $request_id $split_rate { "~[0-7]$" 32k; default 1m; }'
prog="$work/prog"
make_program "$build" "$prog" 128KB
add() { add_waiting "$prog" "$1" "http://localhost/$1" "$work/dl/" 8; }
for name in pause-INT.bin pause-TERM.bin twice.bin old.bin; do add "$name"; done

# Starts get for $1 and waits (at most 15 s: the machine may be busy) until a connection helps.
get_until_helping() {
    "$prog/tandu-cli" get "$1" >"$work/$1.out" 2>"$work/$1.err" &
    pid=$!
    for _ in $(seq 150); do
        ! grep -qs "→ piece" "$work/$1.out" || return 0
        sleep 0.1
    done
    return 1
}

# Ctrl-C or SIGTERM pauses (exit 130) while connections help, and the row is
# then "Paused". Each signal has a download of its own: a resumed one may have
# too little left for any connection to help.
for signal in INT TERM; do
    file=pause-$signal.bin
    get_until_helping "$file" || fail "no connection helped in $file"
    kill -"$signal" "$pid"
    status=0
    wait "$pid" 2>/dev/null || status=$?
    [ "$status" -eq 130 ] || { cat "$work/$file.err" >&2; fail "SIG$signal: get exited $status"; }
    state=$("$prog/tandu-cli" list | awk -F'\t' -v f="$file" '$1 == f { print $3 }')
    [ "$state" = Paused ] || fail "$file is $state, not Paused"
done
expect_exit 0 "$prog/tandu-cli" get pause-INT.bin pause-TERM.bin
for file in pause-INT.bin pause-TERM.bin; do
    cmp "$work/www/$file" "$work/dl/$file" || fail "$file differs after its pause"
done
echo "ok: paused by SIGINT and SIGTERM while connections helped, resumed identical"

if [ -n "${TANDU_BASELINE:-}" ]; then
    cp "$TANDU_BASELINE/tandu-cli" "$prog/tandu-cli-old"
    "$prog/tandu-cli-old" get old.bin >/dev/null 2>&1 & sleep 1.5 && kill -INT $! && wait $! || true
    expect_exit 0 "$prog/tandu-cli" get old.bin
    cmp "$work/www/old.bin" "$work/dl/old.bin" || fail "old.bin differs"
    echo "ok: old.bin paused by the older build, identical"
fi

# A second process leaves a running download alone.
"$prog/tandu-cli" get twice.bin >/dev/null 2>&1 &
first=$!
sleep 0.5
expect_exit 1 "$prog/tandu-cli" get twice.bin
grep -q "being transferred by another Tandu process" "$work/err" || fail "$(cat "$work/err")"
wait "$first" || fail "the first get exited $?"
cmp "$work/www/twice.bin" "$work/dl/twice.bin" || fail "twice.bin differs"
echo "ok: a second process left twice.bin alone"
