#!/usr/bin/env bash
# Downloads a 1 GiB file from nginx on loopback (in a private network
# namespace, so port 80 is free) with tandu-cli at 16 and at 4 connections and
# with aria2c, axel and curl, round by round, and prints each one's median wall
# time, MB/s, CPU seconds, peak RSS, requests and the bytes nginx sent against
# the file's size, and Tandu's ratio to each peer.
#
#   bash bench/run.sh [PROGRAM-DIR] [ROUNDS]     (as root; default build/bin, 3)
#
# TANDU_BASELINE=OTHER-PROGRAM-DIR adds that build at 16 connections to each
# round ("base-16"), to compare two builds on the same machine in one run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bin}" && pwd)
rounds=${2:-3}
source "$root/tests/e2e/lib/servers.sh"
enter_netns "$0" "$build" "$rounds"
source "$root/bench/lib.sh"
bench_require nginx aria2c axel curl python3

work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
chmod 755 "$work"
trap 'bench_nginx_stop "$work/nginx"; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/out"
size=$((1024 * 1024 * 1024))
head -c "$size" /dev/urandom >"$work/www/big.bin"
bench_nginx "$work/nginx" "$work/www" "127.0.0.1:80" "sendfile on;"
bench_wait_port 127.0.0.1 80
url=http://127.0.0.1/big.bin
make_program "$build" "$work/prog" 512KB
baseline=${TANDU_BASELINE:-}
[ -z "$baseline" ] || make_program "$(cd "$baseline" && pwd)" "$work/base" 512KB

# One timed run: $1 label, then the command; stops the benchmark on a failure.
measure() {
    local label=$1
    shift
    rm -f "$work/out/big.bin"
    bench_served "$work/nginx" >/dev/null
    bench_measure "$label" "$work/results" 0 600 "$@"
    sleep 0.3
    echo "$label $(bench_served "$work/nginx")" >>"$work/served"
    bench_check_file "$work/results" "$work/www/big.bin" "$work/out/big.bin"
    tail -1 "$work/results" | grep -q ' ok$' || {
        cat "$work/results.err" >&2
        echo "bench: $label: $(tail -1 "$work/results")" >&2
        exit 1
    }
}

tandu() {
    local connections=$1 prog=${2:-$work/prog} label=${3:-tandu-$1}
    rm -f "$prog/definitions/"*
    add_waiting "$prog" big.bin "$url" "$work/out/" "$connections"
    measure "$label" "$prog/tandu-cli" get big.bin
}

for round in $(seq 1 "$rounds"); do
    echo "round $round of $rounds" >&2
    # The two builds take turns at going first: the first run after a round's
    # start pays for the page cache the last one left behind.
    if [ -n "$baseline" ] && [ $((round % 2)) -eq 0 ]; then
        tandu 16 "$work/base" base-16
        tandu 16
    else
        tandu 16
        [ -z "$baseline" ] || tandu 16 "$work/base" base-16
    fi
    tandu 4
    measure aria2c aria2c -x16 -s16 -q --allow-overwrite=true --auto-file-renaming=false \
        -d "$work/out" -o big.bin "$url"
    measure axel axel -q -n16 -o "$work/out/big.bin" "$url"
    measure curl curl -s -o "$work/out/big.bin" "$url"
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
    label, wall, cpu, rss, _, _ = line.rstrip("\n").rsplit(" ", 5)
    runs.setdefault(label, []).append((float(wall), float(cpu), int(rss)))
order = [l for l in ["tandu-16", "base-16", "tandu-4", "aria2c", "axel", "curl"] if l in runs]
median = {l: (statistics.median(w for w, _, _ in runs[l]),
              statistics.median(c for _, c, _ in runs[l]),
              max(r for _, _, r in runs[l])) for l in order}
print(f"1 GiB from nginx on loopback, median of {len(runs['curl'])} rounds")
print(f"{'tool':10} {'wall s':>8} {'MB/s':>8} {'CPU s':>8} {'peak RSS MB':>12} {'requests':>9} "
      f"{'sent/size':>10}")
for l in order:
    wall, cpu, rss = median[l]
    requests = statistics.median(n for n, _ in served[l])
    sent = statistics.median(b for _, b in served[l]) / size
    print(f"{l:10} {wall:8.2f} {size / 1e6 / wall:8.0f} {cpu:8.2f} {rss * 1024 / 1e6:12.1f} "
          f"{requests:9.0f} {sent:10.3f}")
print()
for t in ("tandu-16", "tandu-4"):
    for peer in ("aria2c", "axel", "curl"):
        print(f"{t} / {peer}: wall x{median[t][0] / median[peer][0]:.2f}, "
              f"CPU x{median[t][1] / median[peer][1]:.2f}")
if "base-16" in median:
    print(f"tandu-16 / base-16: wall x{median['tandu-16'][0] / median['base-16'][0]:.2f}, "
          f"CPU x{median['tandu-16'][1] / median['base-16'][1]:.2f}")
wall, cpu, rss = median["tandu-16"]
print()
print(f"bar: tandu-16 wall within 1.25x of curl: {wall / median['curl'][0]:.2f}x "
      f"({'met' if wall <= 1.25 * median['curl'][0] else 'NOT met'})")
print(f"bar: CPU per GiB <= 1.5 s: {cpu:.2f} s ({'met' if cpu <= 1.5 else 'NOT met'})")
# wait4 reports KiB; the program's KB and MB here are 1000 and 10^6 bytes.
limit = 16 * 512 * 1000 + 40 * 1000 * 1000
print(f"bar: peak RSS <= 16 x 512KB + 40 MB = {limit / 1e6:.1f} MB: {rss * 1024 / 1e6:.1f} MB "
      f"({'met' if rss * 1024 <= limit else 'NOT met'})")
PY
