#!/usr/bin/env bash
# A download from a real server (nginx on loopback, slowed down) over 8
# connections that is killed with SIGKILL at random moments (TANDU_KILLS
# times, 20 by default) and resumed each time, one paused with SIGINT and
# SIGTERM, and one that a second process must leave alone: all end
# byte-identical to the served file.
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
kills_wanted=${TANDU_KILLS:-20}
# Large enough that the wanted kills land before the end: each round runs
# 0.05 to 0.45 s at 8 x 64 KB/s.
head -c $((kills_wanted * 300000 + 1)) /dev/urandom >"$work/www/kill.bin"
head -c 12000001 /dev/urandom >"$work/www/pause.bin"
head -c 12000001 /dev/urandom >"$work/www/twice.bin"
start_nginx "$work/www" "$work" 64k  # 64 KB/s per connection
prog="$work/prog"
make_program "$build" "$prog" 128KB
for name in pause.bin:4 twice.bin:4 kill.bin:8; do
    add_waiting "$prog" "${name%:*}" "http://localhost/${name%:*}" "$work/dl/" "${name#*:}"
done

# SIGKILL at random moments, resumed each time.
kills=0
while [ "$kills" -lt "$kills_wanted" ]; do
    "$prog/tandu-cli" get kill.bin >/dev/null 2>"$work/kill.err" &
    pid=$!
    sleep "$(printf "0.%02d" $((RANDOM % 40 + 5)))"
    ! kill -9 "$pid" 2>/dev/null || kills=$((kills + 1))
    status=0
    wait "$pid" || status=$?
    dwn="$prog/definitions/kill.bin.dwn"
    [ ! -e "$dwn" ] || ! grep -qvE $'^[0-9]+-[0-9]+\r?$' "$dwn" || fail "unreadable progress file after kill $kills"
    # Done, perhaps just before the kill landed.
    [ "$status" -ne 0 ] && [ -e "$prog/definitions/kill.bin.def" ] || break
    [ "$status" -eq 137 ] || { cat "$work/kill.err" >&2; fail "get exited $status"; }
done
# Slowed down while it was killed; the rest comes at full speed.
stop_nginx "$work"
start_nginx "$work/www" "$work" 512k
[ ! -e "$prog/definitions/kill.bin.def" ] || "$prog/tandu-cli" get kill.bin >/dev/null ||
    fail "the last resume of kill.bin exited $?"
cmp "$work/www/kill.bin" "$work/dl/kill.bin" || fail "kill.bin differs after $kills kills"
[ ! -e "$prog/definitions/kill.bin.def" ] || fail "kill.bin never completed ($kills kills)"
echo "ok: kill.bin identical after surviving $kills kills with SIGKILL"

# Ctrl-C or SIGTERM pauses (exit 130), and the row is then "Paused".
for signal in INT TERM INT TERM; do
    "$prog/tandu-cli" get pause.bin >/dev/null 2>"$work/pause.err" &
    sleep "0.$((RANDOM % 50 + 30))"
    kill -"$signal" $!
    status=0
    wait $! || status=$?
    [ "$status" -eq 130 ] || { cat "$work/pause.err" >&2; fail "SIG$signal: get exited $status"; }
    state=$("$prog/tandu-cli" list | awk -F'\t' '$1 == "pause.bin" { print $3 }')
    # Stopped before the probe was answered, a start leaves the row as it was.
    [ "$state" = Paused ] || [ "$(grep -c . "$prog/definitions/pause.bin.def")" -eq 5 ] ||
        fail "pause.bin is $state, not Paused"
done
expect_exit 0 "$prog/tandu-cli" get pause.bin
cmp "$work/www/pause.bin" "$work/dl/pause.bin" || fail "pause.bin differs after 4 pauses"
echo "ok: pause.bin identical after 4 pauses and resumes"

# A second process leaves a running download alone.
"$prog/tandu-cli" get twice.bin >/dev/null 2>&1 &
first=$!
sleep 0.5
expect_exit 1 "$prog/tandu-cli" get twice.bin
grep -q "being transferred by another Tandu process" "$work/err" || fail "$(cat "$work/err")"
wait "$first" || fail "the first get exited $?"
cmp "$work/www/twice.bin" "$work/dl/twice.bin" || fail "twice.bin differs"
echo "ok: a second process left twice.bin alone"
