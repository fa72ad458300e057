#!/usr/bin/env bash
# Many small files: FILES files of 100 KB, each its own URL in one list,
# fetched by tandu-cli (add-list, then get --all -j 16), curl --parallel
# (16 at once), aria2c -i LIST -j 16 and wget -i LIST, from nginx over http
# and https (a test CA made here), on plain loopback and over a path where
# every round trip costs 20 ms (a second private namespace behind a delaying
# TUN pair, as this kernel may have no netem). Prints each tool's median wall
# time, the requests per file and the bytes nginx sent against the files' size.
#
#   bash bench/many_files.sh [PROGRAM-DIR] [FILES] [ROUNDS]   (as root; build/bin, 1000, 3)
#   TANDU_CONNECTIONS=N sets Tandu's connections per download (default 16);
#   TANDU_BASELINE=OTHER-PROGRAM-DIR adds that build at -j 8 ("base-j8": older
#   builds take no more);
#   PATHS="20ms-http" runs only those of loopback-http 20ms-http loopback-https 20ms-https;
#   OFFER_HTTP2=1 has nginx offer HTTP/2 over https (curl then multiplexes its
#   16 transfers over one connection) and adds Tandu over HTTP/2 ("tandu-h2").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bin}" && pwd)
files=${2:-1000}
rounds=${3:-3}
source "$root/tests/e2e/lib/servers.sh"
enter_netns "$0" "$build" "$files" "$rounds"
source "$root/bench/lib.sh"
bench_require nginx aria2c wget curl openssl python3 nsenter
connections=${TANDU_CONNECTIONS:-16}
jobs=16
cap=600
baseline=${TANDU_BASELINE:-}

work=$(mktemp -d /tmp/tandu-bench-XXXXXX)
chmod 755 "$work"
trap 'bench_nginx_stop "$work/near"; bench_nginx_stop "$work/far"; stop_delay_line; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/tls"
head -c $((files * 102400)) /dev/urandom |
    split -b 102400 -d -a 5 --additional-suffix=.bin - "$work/www/f"

tls=$work/tls
bench_make_certificates "$tls" "IP:127.0.0.1,IP:10.77.0.2"
settings="sendfile on; ssl_certificate $tls/server.pem; ssl_certificate_key $tls/server.key;"

h2=${OFFER_HTTP2:+ http2}
bench_nginx "$work/near" "$work/www" "127.0.0.1:80; listen 127.0.0.1:443 ssl$h2" "$settings"
bench_wait_port 127.0.0.1 443
start_delay_line 10 "$work" $((rounds * 20 * cap))
bench_nginx "$work/far" "$work/www" "10.77.0.2:80; listen 10.77.0.2:443 ssl$h2" "$settings" \
    "nsenter -t $far_pid -n"
bench_wait_port 10.77.0.2 443

# Marks the last result "wrong" unless every served file arrived intact.
check_all() {
    local out=$1 name
    for name in "$work/www"/*; do
        cmp -s "$name" "$out/$(basename "$name")" || {
            sed -i '$ s/ ok$/ wrong/' "$work/results"
            return
        }
    done
}

# One tool's run: $1 label, $2 nginx state, then the command.
fetch() {
    local label=$1 nginx=$2
    shift 2
    rm -rf "$work/out" && mkdir -p "$work/out"
    bench_run "$label" "$work" "$nginx" 0 "$cap" "$@"
    check_all "$work/out"
}

# $1 program folder to copy tandu-cli from, $2 label, $3 path label, $4 nginx
# state, $5 downloads at once, then settings for its environment.
tandu() {
    # Empty before adding: a file already there gets a numbered name instead.
    rm -rf "$work/prog" "$work/out" && make_program "$1" "$work/prog" && mkdir -p "$work/out"
    "$work/prog/tandu-cli" add-list "$work/list" -d "$work/out" -n "$connections" >/dev/null
    bench_run "$3|$2" "$work" "$4" 0 "$cap" env "${@:6}" "$work/prog/tandu-cli" get --all -j "$5"
    check_all "$work/out"
}

for path in ${PATHS:-loopback-http 20ms-http loopback-https 20ms-https}; do
    host=127.0.0.1 nginx=$work/near scheme=${path#*-}
    [ "${path%%-*}" = loopback ] || host=10.77.0.2 nginx=$work/far
    (cd "$work/www" && for name in *; do echo "$scheme://$host/$name"; done) >"$work/list"
    sed 's/.*/url = "&"/' "$work/list" >"$work/curl.cfg"
    for round in $(seq 1 "$rounds"); do
        echo "$path: round $round of $rounds" >&2
        tandu "$build" tandu-j16 "$path" "$nginx" "$jobs"
        [ -z "$baseline" ] || tandu "$baseline" base-j8 "$path" "$nginx" 8
        [ -z "${OFFER_HTTP2:-}" ] || [ "$scheme" != https ] ||
            tandu "$build" tandu-h2 "$path" "$nginx" "$jobs" TANDU_HTTP2=1
        fetch "$path|curl-Z16" "$nginx" curl -s -Z --parallel-max "$jobs" --cacert "$tls/ca.pem" \
            --remote-name-all --output-dir "$work/out" -K "$work/curl.cfg"
        fetch "$path|aria2c-j16" "$nginx" aria2c -q -i "$work/list" -j "$jobs" \
            --ca-certificate="$tls/ca.pem" -d "$work/out" --allow-overwrite=true
        fetch "$path|wget" "$nginx" wget -q -i "$work/list" -P "$work/out" \
            --ca-certificate="$tls/ca.pem"
    done
done

python3 "$root/bench/report.py" --results "$work/results" --served "$work/served" \
    --size $((files * 102400)) --files "$files" --lead tandu-j16 \
    --title "$files files of 100 KB from nginx, one URL each, median of $rounds rounds"
