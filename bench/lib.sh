# shellcheck shell=bash
# Helpers shared by the benchmark scripts. Source after tests/e2e/lib/servers.sh
# and after enter_netns, so every server and path below is private.

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Fails (exit 1) when a tool the benchmark compares against is missing.
bench_require() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "bench: $tool is missing" >&2; exit 1; }
    done
}

# Runs a command once under bench/measure.py: $1 label, $2 results file,
# $3 bytes it should receive (0: no tail figure; counted on $bench_device, lo
# unless set), $4 time cap in seconds, then the command. Never fails: the
# status is in the results line.
bench_measure() {
    local label=$1 results=$2 bytes=$3 cap=$4
    shift 4
    sync
    python3 "$bench_dir/measure.py" --label "$label" --results "$results" \
        --bytes "$bytes" --device "${bench_device:-lo}" --timeout "$cap" -- "$@" \
        2>>"$results.err" || true
}

# Rewrites the status of the results file's last line to "wrong" unless the
# two files are identical.
bench_check_file() {
    local results=$1 expected=$2 got=$3
    cmp -s "$expected" "$got" || sed -i '$ s/ ok$/ wrong/' "$results"
}

# True when the tandu-cli in program folder $1 accepts "get -j N" (runs several downloads at once).
tandu_has_jobs() {
    local scratch
    scratch=$(mktemp -d)
    make_program "$1" "$scratch"
    local status=0
    (cd "$scratch" && timeout 20 ./tandu-cli get --all -j 2 >/dev/null 2>&1) || status=$?
    rm -rf "$scratch"
    [ "$status" -ne 2 ]
}

# nginx with its own configuration: $1 state folder, $2 document root,
# $3 listen argument (e.g. "127.0.0.1:80" or "127.0.0.1:443 ssl"),
# $4 extra lines for the http block, $5 (optional) a command prefix that runs
# nginx elsewhere (e.g. inside another namespace).
bench_nginx() {
    local state=$1 root=$2 listen=$3 extra=$4 prefix=${5:-}
    mkdir -p "$state"
    cat >"$state/nginx.conf" <<CONF
worker_processes 1;
daemon on;
pid $state/nginx.pid;
error_log $state/error.log;
events { worker_connections 4096; }
http {
    log_format sent '\$bytes_sent';
    access_log $state/access.log sent;
    client_body_temp_path $state/body;
    proxy_temp_path $state/proxy;
    fastcgi_temp_path $state/fastcgi;
    uwsgi_temp_path $state/uwsgi;
    scgi_temp_path $state/scgi;
    keepalive_requests 100000;
$extra
    server {
        listen $listen;
        root $root;
        location = /nginx-status { stub_status; }
    }
}
CONF
    $prefix nginx -c "$state/nginx.conf" -e "$state/error.log"
}

# What nginx at state folder $1 answered since the last call: "REQUESTS BYTES"
# (bytes sent, heads included; a request cut short counts what went out).
bench_served() {
    local log=$1/access.log
    awk '{ n++; b += $1 } END { printf "%d %d\n", n, b }' "$log"
    : >"$log"
}

# One timed run that also notes what the server sent for it: $1 label
# ("GROUP|TOOL"), $2 work folder (results, served), $3 nginx state folder,
# $4 bytes it should receive (0: no tail figure), $5 time cap, then the command.
bench_run() {
    local label=$1 work=$2 nginx=$3 bytes=$4 cap=$5
    shift 5
    bench_served "$nginx" >/dev/null
    bench_measure "$label" "$work/results" "$bytes" "$cap" "$@"
    sleep 0.3  # nginx logs a request once its connection lets go of it
    echo "$label $(bench_served "$nginx")" >>"$work/served"
}

# nginx's running totals of connections and requests, from its status page
# at $1 (host or host:port), e.g. "1042 5210".
bench_nginx_counts() {
    curl -s "http://$1/nginx-status" | awk 'NR == 3 { print $1, $3 }'
}

bench_nginx_stop() {
    local state=$1
    if [ -f "$state/nginx.pid" ]; then
        kill "$(cat "$state/nginx.pid")" 2>/dev/null || true
    fi
}

# Waits up to 5 s until something accepts connections on $1 (host) $2 (port).
bench_wait_port() {
    for _ in $(seq 1 50); do
        (exec 3<>"/dev/tcp/$1/$2") 2>/dev/null && return 0
        sleep 0.1
    done
    echo "bench: nothing listens on $1:$2" >&2
    return 1
}

# A second private namespace reached through a delaying TUN pair: this side
# is 10.77.0.1, the far side 10.77.0.2, each way costs $1 ms. Sets far_pid
# (run commands there with: nsenter -t "$far_pid" -n CMD) and delay_pid.
# $2: state folder, $3: lifetime in seconds (everything ends by itself),
# $4: MTU (65535), $5: the chance of losing each packet (0).
start_delay_line() {
    local delay_ms=$1 state=$2 lifetime=$3 mtu=${4:-65535} loss=${5:-0}
    unshare -n sleep "$lifetime" &
    far_pid=$!
    sleep 0.2
    python3 "$bench_dir/delay_line.py" tnear "$far_pid" tfar "$delay_ms" \
        "$state/delay.ready" "$lifetime" "$loss" &
    delay_pid=$!
    for _ in $(seq 1 50); do
        [ -f "$state/delay.ready" ] && break
        sleep 0.1
    done
    [ -f "$state/delay.ready" ] || { echo "bench: no delay line" >&2; return 1; }
    ip link set tnear up mtu "$mtu"
    ip addr add 10.77.0.1/32 dev tnear
    ip route add 10.77.0.2/32 dev tnear
    nsenter -t "$far_pid" -n sh -e -c "
        ip link set lo up
        ip link set tfar up mtu $mtu
        ip addr add 10.77.0.2/32 dev tfar
        ip route add 10.77.0.1/32 dev tfar"
}

stop_delay_line() {
    local pid
    for pid in ${delay_pid:-} ${far_pid:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

# A test CA and a server certificate it signed, in folder $1 (ca.pem,
# server.pem, server.key) for the names in $2 (e.g. "IP:127.0.0.1,DNS:localhost");
# SSL_CERT_FILE then trusts the CA.
bench_make_certificates() {
    local tls=$1 names=$2
    mkdir -p "$tls"
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tandu bench CA" \
        -keyout "$tls/ca.key" -out "$tls/ca.pem" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
    openssl req -newkey rsa:2048 -nodes -subj "/CN=bench" \
        -keyout "$tls/server.key" -out "$tls/server.csr" 2>/dev/null
    printf 'subjectAltName=%s\nextendedKeyUsage=serverAuth\n' "$names" >"$tls/ext"
    openssl x509 -req -days 2 -in "$tls/server.csr" -CA "$tls/ca.pem" -CAkey "$tls/ca.key" \
        -CAcreateserial -extfile "$tls/ext" -out "$tls/server.pem" 2>/dev/null
    export SSL_CERT_FILE=$tls/ca.pem
}
