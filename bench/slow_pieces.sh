#!/usr/bin/env bash
# 256 MB from nginx by tandu-cli at 16 and 4 connections, aria2c -x16 and
# axel -n16, round by round, on five shapes of path and server:
#   plain      loopback, every request at full speed (the yardstick)
#   limit      loopback, every request limited to 4 MB/s
#   1-in-8     loopback, one request in 8 (by nginx's random request id) at 300 KB/s
#   crawl      loopback, every request at full speed for a random 1 to 16 MB
#              (by the request id), then 300 KB/s until the client ends it
#   lossy      a second namespace 80 ms away (40 ms each way) that loses 0.2%
#              of its packets, MTU 1500
# Prints each tool's median wall time, seconds on the last 5% of the bytes
# (from the byte count of the path's device, see bench/measure.py), requests,
# and the bytes nginx sent against the file's size (1.00: nothing fetched
# twice or thrown away). A run longer than CAP seconds is stopped.
# TANDU_BASELINE=OTHER-PROGRAM-DIR adds that build at 16 connections to each
# shape ("base-16"), to compare two builds in one run. SHAPES="plain lossy"
# runs only those.
#
#   bash bench/slow_pieces.sh [PROGRAM-DIR] [ROUNDS] [CAP]   (as root; build/bin, 3, 180)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bin}" && pwd)
rounds=${2:-3}
cap=${3:-180}
source "$root/tests/e2e/lib/servers.sh"
enter_netns "$0" "$build" "$rounds" "$cap"
source "$root/bench/lib.sh"
bench_require nginx aria2c axel python3 nsenter

work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
chmod 755 "$work"
trap 'bench_nginx_stop "$work/nginx"; stop_delay_line; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/out"
size=$((256 * 1024 * 1024))
head -c "$size" /dev/urandom >"$work/www/big.bin"
make_program "$build" "$work/prog" 512KB
baseline=${TANDU_BASELINE:-}
[ -z "$baseline" ] || make_program "$(cd "$baseline" && pwd)" "$work/base" 512KB

# nginx settings per shape; sendfile in small steps so a rate holds evenly.
shape_settings() {
    echo "sendfile on; sendfile_max_chunk 256k;"
    case $1 in
    limit) echo "limit_rate 4m;" ;;
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
    bench_run "$shape|$label" "$work" "$work/nginx" "$size" "$cap" "$@"
    bench_check_file "$work/results" "$work/www/big.bin" "$work/out/big.bin"
}

tandu() {  # $1 shape, $2 connections, $3 program folder (default prog), $4 label
    local prog=$work/${3:-prog}
    rm -f "$prog/definitions/"*
    add_waiting "$prog" big.bin "$url" "$work/out/" "$2"
    run "$1" "${4:-tandu-$2}" "$prog/tandu-cli" get big.bin
}

for shape in ${SHAPES:-plain limit 1-in-8 crawl lossy}; do
    if [ "$shape" = lossy ]; then
        start_delay_line 40 "$work" $((rounds * 5 * cap + 60)) 1500 0.002
        bench_nginx "$work/nginx" "$work/www" "10.77.0.2:80" "$(shape_settings "$shape")" \
            "nsenter -t $far_pid -n"
        bench_wait_port 10.77.0.2 80
        url=http://10.77.0.2/big.bin bench_device=tnear
    else
        bench_nginx "$work/nginx" "$work/www" "127.0.0.1:80" "$(shape_settings "$shape")"
        bench_wait_port 127.0.0.1 80
        url=http://127.0.0.1/big.bin bench_device=lo
    fi
    for round in $(seq 1 "$rounds"); do
        echo "$shape: round $round of $rounds" >&2
        tandu "$shape" 16
        tandu "$shape" 4
        [ -z "$baseline" ] || tandu "$shape" 16 base base-16
        run "$shape" aria2c aria2c -x16 -s16 -q --allow-overwrite=true \
            --auto-file-renaming=false -d "$work/out" -o big.bin "$url"
        run "$shape" axel axel -q -n16 -o "$work/out/big.bin" "$url"
    done
    bench_nginx_stop "$work/nginx"
    sleep 0.5
done

python3 "$root/bench/report.py" --results "$work/results" --served "$work/served" \
    --size "$size" --title "256 MB from nginx, median of $rounds rounds (cap $cap s)"
