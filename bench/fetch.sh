#!/usr/bin/env bash
# The network layer alone against curl: 1 GiB from nginx on loopback (private
# network namespace, test CA), over https and http, at 16 and 4 connections.
# Prints wall seconds, MB/s and CPU seconds (user + system) per run.
#
#   bash bench/fetch.sh [BUILD-DIR]     (as root; default build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
for lib in servers downloads tls; do source "$root/tests/e2e/lib/$lib.sh"; done
enter_netns "$0" "$build"
work=$(mktemp -d /tmp/tandu-bench-XXXXXX) && chmod 755 "$work"
trap 'stop_nginx "$work"; rm -rf "$work"' EXIT
use_hosts "127.0.0.1 good.test"
size=$((1024 * 1024 * 1024))
mkdir -p "$work/www" && head -c "$size" /dev/urandom >"$work/www/big.bin"
start_nginx_tls "$work/www" "$work"
export SSL_CERT_FILE="$work/pki/ca.crt"

measure() {
    local label=$1
    shift
    rm -f "$work/out.bin" && sync
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >/dev/null || fail "$label: $(tail -n 3 "$work/time")"
    cmp -s "$work/www/big.bin" "$work/out.bin" || fail "$label: wrong file"
    read -r wall user sys <"$work/time"
    awk -v l="$label" -v w="$wall" -v c="$(echo "$user + $sys" | bc)" \
        'BEGIN { printf "%-22s %6.2f s %8.1f MB/s %6.2f CPU-s\n", l, w, 1024 / w, c }'
}
for scheme in https http; do
    url=$scheme://good.test/big.bin
    measure "fetcher x16 $scheme" "$build/bench-bin/tandu_fetch_bench" "$url" "$size" 16 "$work/out.bin"
    measure "fetcher x4 $scheme" "$build/bench-bin/tandu_fetch_bench" "$url" "$size" 4 "$work/out.bin"
    measure "curl $scheme" curl -sS --cacert "$SSL_CERT_FILE" -o "$work/out.bin" "$url"
done
