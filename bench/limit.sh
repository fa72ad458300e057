#!/usr/bin/env bash
# Speed limits as tandu-cli holds them: one download over 16 connections and
# three at once (16 each), under an overall limit of 1 MB/s and of 50 MB/s,
# SECONDS each (default 30). The rate is what came over the namespace's
# loopback device (the packets' own headers add about 0.1%) from the 5th
# second on, against the limit. Then a limit changed from another
# process in the middle of a download (1 MB/s to 4 MB/s): how long the
# download takes to hold the new limit, and how many connections nginx
# accepted meanwhile (none is wanted).
#
#   bash bench/limit.sh [PROGRAM-DIR] [SECONDS]     (as root; default build/bin, 30)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bin}" && pwd)
seconds=${2:-30}
source "$root/tests/e2e/lib/servers.sh"
enter_netns "$0" "$build" "$seconds"
source "$root/bench/lib.sh"
bench_require nginx python3 curl

work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
chmod 755 "$work"
trap 'kill ${get:-} 2>/dev/null || true; bench_nginx_stop "$work/nginx"; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/out"
# Sparse: nginx sends zeros as fast as it can, and no case reaches the end.
truncate -s 8G "$work/www/big.bin"
bench_nginx "$work/nginx" "$work/www" "127.0.0.1:80" ""
bench_wait_port 127.0.0.1 80
prog="$work/prog"
make_program "$build" "$prog" 512KB

# Samples the bytes the loopback device carried every 50 ms for $1
# seconds: "seconds bytes" lines.
sample() {
    python3 - "$1" <<'PY'
import sys, time
span = float(sys.argv[1])
start = time.monotonic()
while time.monotonic() - start < span:
    with open("/proc/net/dev") as devices:
        lo = next(l for l in devices if l.split(":")[0].strip() == "lo")
    print(f"{time.monotonic() - start:.3f} {lo.split(':')[1].split()[0]}", flush=True)
    time.sleep(0.05)
PY
}

# $1 downloads at once, 16 connections each, under $2 (a tandu-cli RATE).
start_get() {
    rm -f "$prog/definitions/"* "$work/out/"*
    for i in $(seq 1 "$1"); do
        add_waiting "$prog" "big$i.bin" http://127.0.0.1/big.bin "$work/out/" 16
    done
    "$prog/tandu-cli" prefs --limit "$2" >/dev/null
    "$prog/tandu-cli" get --all -j "$1" >"$work/get.log" 2>&1 &
    get=$!
}
stop_get() {
    kill "$get" && wait "$get" 2>/dev/null || true
    get=""
}

echo "speed limits held, rate over ${seconds} s from the 5th second (1 MB = 10^6 bytes)"
printf '%-28s %10s %10s %8s\n' case "limit MB/s" "got MB/s" "off by"
for limit in 1M 50M; do
    for downloads in 1 3; do
        start_get "$downloads" "$limit"
        sample $((seconds + 5)) >"$work/samples"
        stop_get
        python3 - "$work/samples" "$limit" "$downloads" <<'PY'
import sys
samples = [tuple(map(float, l.split())) for l in open(sys.argv[1])]
limit = float(sys.argv[2][:-1]) * 1e6
t0, b0 = next(s for s in samples if s[0] >= 5)
t1, b1 = samples[-1]
rate = (b1 - b0) / (t1 - t0)
label = f"{sys.argv[3]} x 16 connections"
off = (rate - limit) / limit * 100
print(f"{label:28} {limit / 1e6:10.1f} {rate / 1e6:10.3f} {off:+7.2f}%  "
      f"({'within' if abs(off) <= 5 else 'NOT within'} 5%)")
PY
    done
done

# 1 MB/s, then 4 MB/s from another process after 10 s.
start_get 1 1M
sample 24 >"$work/samples" &
sampler=$!
sleep 10
accepted=$(bench_nginx_counts 127.0.0.1 | cut -d' ' -f1)
"$prog/tandu-cli" prefs --limit 4M >/dev/null
sleep 12
accepted_after=$(bench_nginx_counts 127.0.0.1 | cut -d' ' -f1)
wait "$sampler"
stop_get
echo
echo "a limit changed mid-download, 1 MB/s to 4 MB/s at second 10 (from the samples' start):"
python3 - "$work/samples" <<'PY'
import sys
samples = [tuple(map(float, l.split())) for l in open(sys.argv[1])]
def at(t):
    return min(samples, key=lambda s: abs(s[0] - t))
def rate(a, b):
    (ta, ba), (tb, bb) = at(a), at(b)
    return (bb - ba) / (tb - ta)
change = 10.05  # the prefs command's own start-up takes a few milliseconds
print("  MB/s by second: " + " ".join(f"{rate(s, s + 1) / 1e6:.2f}" for s in range(7, 20)))
print(f"  before, seconds 5-10: {rate(5, 10) / 1e6:.3f} MB/s")
reached = next((t for t, _ in samples if t >= change and rate(t, t + 1) >= 0.95 * 4e6), None)
print(f"  a whole second at 95% of the new limit or more from {reached - change:.2f} s after the change"
      if reached is not None else "  the new limit was NOT reached")
print(f"  after, seconds 14-22: {rate(14, 22) / 1e6:.3f} MB/s (the kernel's buffers grew with the limit)")
PY
# Taken by the status request itself: one.
echo "  connections nginx accepted in the 12 s after the change: $((accepted_after - accepted - 1))"
