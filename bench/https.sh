#!/usr/bin/env bash
# Downloads 1 GiB over https from nginx on loopback (a test CA and server
# certificate made here, trusted through SSL_CERT_FILE or the tool's CA
# option; HTTP/2 offered, as most servers do) with tandu-cli at 16 and 4
# connections, tandu-cli at 16 over HTTP/2 where offered (TANDU_HTTP2=1,
# "tandu-16-h2"), curl (which takes HTTP/2), aria2c -x16 and axel -n16 (-k,
# see below), round by round, and prints each one's median wall time, MB/s,
# CPU seconds per GiB (user + system of the client alone, from wait4),
# requests and the bytes nginx sent against the file's size. Tandu's rows
# read "n/a" when it does not fetch a small https file intact.
# TANDU_BASELINE=OTHER-PROGRAM-DIR adds that build at 16 connections ("base-16").
#
#   bash bench/https.sh [PROGRAM-DIR] [ROUNDS]   (as root; default build/bin, 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bin}" && pwd)
rounds=${2:-3}
source "$root/tests/e2e/lib/servers.sh"
enter_netns "$0" "$build" "$rounds"
source "$root/bench/lib.sh"
bench_require nginx aria2c axel curl openssl python3
cap=300

work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
chmod 755 "$work"
trap 'bench_nginx_stop "$work/nginx"; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/out" "$work/tls"
size=$((1024 * 1024 * 1024))
head -c "$size" /dev/urandom >"$work/www/big.bin"
head -c 3000001 /dev/urandom >"$work/www/small.bin"

tls=$work/tls
bench_make_certificates "$tls" "IP:127.0.0.1,DNS:localhost"

bench_nginx "$work/nginx" "$work/www" "127.0.0.1:443 ssl http2" "
    ssl_certificate $tls/server.pem;
    ssl_certificate_key $tls/server.key;
    ssl_protocols TLSv1.2 TLSv1.3;"
bench_wait_port 127.0.0.1 443
make_program "$build" "$work/prog" 512KB
baseline=${TANDU_BASELINE:-}
[ -z "$baseline" ] || make_program "$(cd "$baseline" && pwd)" "$work/base" 512KB

run() {  # $1 label, then the command
    local label=$1
    shift
    rm -f "$work/out/"*
    bench_served "$work/nginx" >/dev/null
    bench_measure "$label" "$work/results" 0 "$cap" "$@"
    sleep 0.3
    echo "$label $(bench_served "$work/nginx")" >>"$work/served"
    bench_check_file "$work/results" "$work/www/big.bin" "$work/out/big.bin"
}

# $1 file name, $2 connections, $3 time cap, $4 results file, $5 label,
# $6 program folder (prog), then settings for its environment.
tandu_get() {
    local prog=$work/${6:-prog}
    rm -f "$prog/definitions/"* "$work/out/"*
    add_waiting "$prog" "$1" "https://127.0.0.1/$1" "$work/out/" "$2"
    bench_served "$work/nginx" >/dev/null
    bench_measure "${5:-tandu-$2}" "$4" 0 "$3" env "${@:7}" "$prog/tandu-cli" get "$1"
    sleep 0.3
    echo "${5:-tandu-$2} $(bench_served "$work/nginx")" >>"$work/served"
    bench_check_file "$4" "$work/www/$1" "$work/out/$1"
}

tandu_get small.bin 16 30 "$work/probe"
tandu_https=$(grep -q ' ok$' "$work/probe" && echo yes || echo no)
[ "$tandu_https" = yes ] || echo "note: this tandu-cli does not fetch https:// intact; its rows read n/a" >&2

url=https://127.0.0.1/big.bin
# One fetch of the round. Each round takes them in its own shuffled order, so
# no tool always runs right after the same other one: the fetch after axel's
# pays for the state axel leaves in the kernel (twice the system time).
fetch_one() {
    case $1 in
    tandu-16) tandu_get big.bin 16 "$cap" "$work/results" ;;
    tandu-16-h2) tandu_get big.bin 16 "$cap" "$work/results" tandu-16-h2 prog TANDU_HTTP2=1 ;;
    tandu-4) tandu_get big.bin 4 "$cap" "$work/results" ;;
    base-16) tandu_get big.bin 16 "$cap" "$work/results" base-16 base ;;
    curl) run curl curl -s --cacert "$tls/ca.pem" -o "$work/out/big.bin" "$url" ;;
    aria2c)
        run aria2c aria2c -x16 -s16 -q --ca-certificate="$tls/ca.pem" --allow-overwrite=true \
            --auto-file-renaming=false -d "$work/out" -o big.bin "$url"
        ;;
    # axel loads the CA but rejects every host name it is given (2.17), so
    # it runs without checks; the decryption work is the same.
    axel) run axel axel -k -q -n16 -o "$work/out/big.bin" "$url" ;;
    esac
}
fetches=(curl aria2c axel)
[ "$tandu_https" = yes ] && fetches=(tandu-16 tandu-16-h2 tandu-4 ${baseline:+base-16} "${fetches[@]}")
for round in $(seq 1 "$rounds"); do
    echo "round $round of $rounds" >&2
    order=$(python3 -c 'import random, sys
names = sys.argv[2:]
random.Random(int(sys.argv[1])).shuffle(names)
print(" ".join(names))' "$round" "${fetches[@]}")
    for name in $order; do
        fetch_one "$name"
    done
done

python3 - "$work/results" "$size" "$work/served" <<'PY'
import statistics, sys
results, size = sys.argv[1], int(sys.argv[2])
served = {}
for line in open(sys.argv[3]):
    label, requests, sent = line.split()
    served.setdefault(label, []).append((int(requests), int(sent)))
runs = {}
for line in open(results):
    label, wall, cpu, rss, tail, status = line.rstrip("\n").rsplit(" ", 5)
    runs.setdefault(label, []).append((float(wall), float(cpu), status))
print(f"1 GiB over https from nginx on loopback, median of {len(runs['curl'])} rounds")
print(f"{'tool':12} {'wall s':>8} {'MB/s':>8} {'CPU s/GiB':>10} {'requests':>9} {'sent/size':>10}"
      "  rounds (wall s)")
median = {}
for label in ("tandu-16", "tandu-16-h2", "tandu-4", "base-16", "curl", "aria2c", "axel"):
    if label not in runs:
        print(f"{label:12} {'n/a':>8} {'n/a':>8} {'n/a':>10}")
        continue
    r = runs[label]
    wall = statistics.median(w for w, _, _ in r)
    cpu = statistics.median(c for _, c, _ in r) * (1 << 30) / size
    median[label] = (wall, cpu)
    requests = statistics.median(n for n, _ in served[label])
    sent = statistics.median(b for _, b in served[label]) / size
    each = " ".join(f"{w:.2f}" + ("" if s == "ok" else f"[{s}]") for w, _, s in r)
    print(f"{label:12} {wall:8.2f} {size / 1e6 / wall:8.0f} {cpu:10.2f} {requests:9.0f} "
          f"{sent:10.3f}  {each}")
if "tandu-16" in median:
    wall, cpu = median["tandu-16"]
    print()
    print(f"bar: tandu-16 faster than curl: x{wall / median['curl'][0]:.2f} "
          f"({'met' if wall < median['curl'][0] else 'NOT met'})")
    print(f"bar: tandu-16 CPU per GiB <= 2.5 s: {cpu:.2f} ({'met' if cpu <= 2.5 else 'NOT met'})")
    for other in ("tandu-16-h2", "base-16"):
        if other in median:
            print(f"tandu-16 / {other}: wall x{wall / median[other][0]:.2f}")
PY
