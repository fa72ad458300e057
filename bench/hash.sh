#!/usr/bin/env bash
# How fast a finished download is checked: a 1 GiB file (in the page cache,
# as a file just written is) hashed by the program's hasher, in slices run
# from its loop, against sha256sum and openssl on the same file, round by
# round; prints each one's median GB/s (10^9 bytes a second).
#
#   bash bench/hash.sh [BUILD-DIR] [ROUNDS]     (default build, 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
rounds=${2:-3}
work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
size=$((1024 * 1024 * 1024))
head -c "$size" /dev/urandom >"$work/f.bin"
cat "$work/f.bin" >/dev/null
for round in $(seq 1 "$rounds"); do
    for alg in sha256 sha512 sha1 md5; do
        "$build/bench-bin/tandu_hash_bench" "$work/f.bin" "$alg" |
            awk -v a="$alg" '{ print "tandu-" a, $2 }' >>"$work/results"
    done
    for tool in sha256sum "openssl dgst -sha256"; do
        start=$(date +%s.%N)
        $tool "$work/f.bin" >/dev/null
        echo "$(echo "$tool" | tr ' ' '-') $(echo "$(date +%s.%N) - $start" | bc)" >>"$work/results"
    done
done
python3 - "$work/results" "$size" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    label, seconds = line.split()
    runs.setdefault(label, []).append(float(seconds))
size = int(sys.argv[2])
print(f"1 GiB in the page cache, median of {len(runs['sha256sum'])} rounds")
for label, times in runs.items():
    print(f"{label:24} {statistics.median(times):6.2f} s {size / statistics.median(times) / 1e9:6.2f} GB/s")
gbs = size / statistics.median(runs["tandu-sha256"]) / 1e9
print(f"bar: SHA-256 at 1 GB/s or more: {gbs:.2f} GB/s ({'met' if gbs >= 1 else 'NOT met'})")
PY
