#!/usr/bin/env bash
# Two builds of tandu-cli fetch 1 GiB from nginx on loopback (http, or https
# with SCHEME=https) at 16 connections, taking turns A B B A A B ..., so that
# neither always runs after the same fetch or in the same state of the page
# cache; prints each fetch and each build's median wall and CPU seconds. The
# fair way to tell two builds apart on a shared, noisy machine.
#
#   bash bench/alternate.sh BUILD-A BUILD-B [PAIRS]   (as root; 5 pairs)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
a=$(cd "$1" && pwd)
b=$(cd "$2" && pwd)
pairs=${3:-5}
source "$root/tests/e2e/lib/servers.sh"
enter_netns "$0" "$a" "$b" "$pairs"
source "$root/bench/lib.sh"
bench_require nginx python3
scheme=${SCHEME:-http}
work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
chmod 755 "$work"
trap 'bench_nginx_stop "$work/nginx"; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/out"
head -c $((1024 * 1024 * 1024)) /dev/urandom >"$work/www/big.bin"
if [ "$scheme" = https ]; then
    bench_make_certificates "$work/tls" "IP:127.0.0.1"
    bench_nginx "$work/nginx" "$work/www" "127.0.0.1:443 ssl" \
        "sendfile on; ssl_certificate $work/tls/server.pem; ssl_certificate_key $work/tls/server.key;"
    bench_wait_port 127.0.0.1 443
else
    bench_nginx "$work/nginx" "$work/www" "127.0.0.1:80" "sendfile on;"
    bench_wait_port 127.0.0.1 80
fi

for pair in $(seq 1 "$pairs"); do
    order=("$a" "$b")
    [ $((pair % 2)) -eq 1 ] || order=("$b" "$a")
    for build in "${order[@]}"; do
        label=A
        [ "$build" = "$a" ] || label=B
        rm -rf "$work/prog" "$work/out/"*
        make_program "$build" "$work/prog" 512KB
        "$work/prog/tandu-cli" add "$scheme://127.0.0.1/big.bin" -d "$work/out" -n 16 >/dev/null
        sync
        /usr/bin/time -o "$work/time" -f "%e %U %S" "$work/prog/tandu-cli" get big.bin >/dev/null
        cmp -s "$work/www/big.bin" "$work/out/big.bin" || { echo "bench: $label: file differs" >&2; exit 1; }
        echo "$label $(cat "$work/time")" | tee -a "$work/results"
    done
done

python3 - "$work/results" "$a" "$b" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    label, wall, user, system = line.split()
    runs.setdefault(label, []).append((float(wall), float(user) + float(system)))
print(f"1 GiB, 16 connections, {len(runs['A'])} fetches each, taking turns")
for label, build in (("A", sys.argv[2]), ("B", sys.argv[3])):
    wall = statistics.median(r[0] for r in runs[label])
    cpu = statistics.median(r[1] for r in runs[label])
    print(f"{label}  wall {wall:.2f} s  CPU {cpu:.2f} s  {build}")
wall = [statistics.median(r[0] for r in runs[k]) for k in ("A", "B")]
print(f"A / B: wall x{wall[0] / wall[1]:.2f}")
PY
