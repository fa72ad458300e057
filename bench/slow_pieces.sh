#!/usr/bin/env bash
# Downloads of 256 MB from nginx on loopback where some connections crawl,
# by tandu-cli at 16 and 4 connections, aria2c -x16 and axel -n16, round by
# round. Three server shapes:
#   plain      every request at full speed (the yardstick)
#   1-in-8     one request in 8 (by nginx's random request id) at 300 KB/s
#   crawl      every request at full speed for a random 1 to 16 MB (by the
#              request id), then 300 KB/s until the client ends it
# Prints each tool's median wall time and the median seconds spent on the
# last 5% of the bytes (from the loopback byte count, see bench/measure.py).
# A run longer than CAP seconds is stopped and counts as CAP.
# TANDU_BASELINE=OTHER-PROGRAM-DIR adds that build at 16 connections to the
# plain shape ("base-16"), to compare two builds in one run.
#
#   bash bench/slow_pieces.sh [PROGRAM-DIR] [ROUNDS] [CAP]   (as root; build/bin, 3, 120)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bin}" && pwd)
rounds=${2:-3}
cap=${3:-120}
source "$root/tests/e2e/lib/servers.sh"
enter_netns "$0" "$build" "$rounds" "$cap"
source "$root/bench/lib.sh"
bench_require nginx aria2c axel python3

work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
chmod 755 "$work"
trap 'bench_nginx_stop "$work/nginx"; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/out"
size=$((256 * 1024 * 1024))
head -c "$size" /dev/urandom >"$work/www/big.bin"
url=http://127.0.0.1/big.bin
make_program "$build" "$work/prog" 512KB
baseline=${TANDU_BASELINE:-}
[ -z "$baseline" ] || make_program "$(cd "$baseline" && pwd)" "$work/base" 512KB

# nginx settings per shape; sendfile in small steps so a rate holds evenly.
shape_settings() {
    echo "sendfile on; sendfile_max_chunk 256k;"
    case $1 in
    1-in-8)
        cat <<'CONF'
map $request_id $slow_rate { "~[08]$" 300k; default 0; }
limit_rate $slow_rate;
CONF
        ;;
    crawl)
        echo 'map $request_id $crawl_after {'
        local megabytes=0 hex
        for hex in 0 1 2 3 4 5 6 7 8 9 a b c d e f; do
            megabytes=$((megabytes + 1))
            echo "    \"~^$hex\" ${megabytes}m;"
        done
        cat <<'CONF'
}
limit_rate_after $crawl_after;
limit_rate 300k;
CONF
        ;;
    esac
}

run() {  # $1 shape, $2 label, then the command
    local shape=$1 label=$2
    shift 2
    rm -f "$work/out/"*
    bench_measure "$shape|$label" "$work/results" "$size" "$cap" "$@"
    bench_check_file "$work/results" "$work/www/big.bin" "$work/out/big.bin"
}

tandu() {  # $1 shape, $2 connections, $3 program folder (default prog), $4 label
    local prog=$work/${3:-prog}
    rm -f "$prog/definitions/"*
    add_waiting "$prog" big.bin "$url" "$work/out/" "$2"
    run "$1" "${4:-tandu-$2}" "$prog/tandu-cli" get big.bin
}

for shape in plain 1-in-8 crawl; do
    bench_nginx "$work/nginx" "$work/www" "127.0.0.1:80" "$(shape_settings "$shape")"
    bench_wait_port 127.0.0.1 80
    for round in $(seq 1 "$rounds"); do
        echo "$shape: round $round of $rounds" >&2
        tandu "$shape" 16
        tandu "$shape" 4
        [ -z "$baseline" ] || [ "$shape" != plain ] || tandu "$shape" 16 base base-16
        run "$shape" aria2c aria2c -x16 -s16 -q --allow-overwrite=true \
            --auto-file-renaming=false -d "$work/out" -o big.bin "$url"
        run "$shape" axel axel -q -n16 -o "$work/out/big.bin" "$url"
    done
    bench_nginx_stop "$work/nginx"
    sleep 0.5
done

python3 - "$work/results" "$cap" <<'PY'
import statistics, sys
results, cap = sys.argv[1], float(sys.argv[2])
runs, shapes, tools = {}, [], []
for line in open(results):
    label, wall, cpu, rss, tail, status = line.rstrip("\n").rsplit(" ", 5)
    shape, tool = label.split("|")
    shapes += [shape] if shape not in shapes else []
    tools += [tool] if tool not in tools else []
    runs.setdefault((shape, tool), []).append((float(wall), float(tail), status))
print(f"256 MB from nginx on loopback, median of each tool's rounds (cap {cap:.0f} s)")
print(f"{'shape':8} {'tool':10} {'wall s':>8} {'last 5% s':>10}  rounds (wall s)")
for shape in shapes:
    best = min(statistics.median(w for w, _, _ in runs[(shape, t)]) for t in tools
               if not t.startswith(("tandu", "base")))
    for tool in tools:
        r = runs.get((shape, tool))
        if not r:
            continue
        wall = statistics.median(w for w, _, _ in r)
        tail = statistics.median(t for _, t, _ in r)
        each = " ".join(f"{w:.1f}" + ("" if s == "ok" else f"[{s}]") for w, _, s in r)
        print(f"{shape:8} {tool:10} {wall:8.2f} {tail:10.2f}  {each}")
    t16 = statistics.median(w for w, _, _ in runs[(shape, "tandu-16")])
    print(f"{shape:8} tandu-16 / fastest peer: x{t16 / best:.2f}")
    if (shape, "base-16") in runs:
        base = statistics.median(w for w, _, _ in runs[(shape, "base-16")])
        print(f"{shape:8} tandu-16 / base-16: x{t16 / base:.2f}")
PY
