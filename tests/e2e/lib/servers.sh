# Helpers for end-to-end scripts: a private network namespace, real web
# servers on its loopback port 80, and a throw-away program folder.

# Re-runs the calling script inside new network and mount namespaces (exit
# 77 when that is not permitted here). Call first, with "$0" "$@".
enter_netns() {
    if [ -n "${TANDU_IN_NETNS:-}" ]; then
        ip link set lo up
        return 0
    fi
    if ! unshare -n -m true 2>/dev/null; then
        echo "skipped: unshare -n -m is not permitted here"
        exit 77
    fi
    TANDU_IN_NETNS=1 exec unshare -n -m bash "$@"
}

# Skips the script (exit 77) when a program it needs is not installed.
require() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
    done
}

# nginx serving $1 on 127.0.0.1:80; state under $2; $3 (optional) limits
# each connection's rate, e.g. 2m; $4 (optional) more http settings.
start_nginx() {
    local root=$1 state=$2 rate=${3:-0} more=${4:-} sendfile=on
    # A rate holds only when nginx copies the file itself, in small steps.
    [ "$rate" = 0 ] || sendfile=off
    mkdir -p "$state/nginx"
    cat >"$state/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon on;
pid $state/nginx/nginx.pid;
error_log $state/nginx/error.log;
events { worker_connections 1024; }
http {
    access_log off;
    client_body_temp_path $state/nginx/body;
    proxy_temp_path $state/nginx/proxy;
    fastcgi_temp_path $state/nginx/fastcgi;
    uwsgi_temp_path $state/nginx/uwsgi;
    scgi_temp_path $state/nginx/scgi;
    sendfile $sendfile;
    output_buffers 1 32k;
    limit_rate $rate;
    $more
    server {
        listen 127.0.0.1:80;
        root $root;
    }
}
CONF
    nginx -c "$state/nginx/nginx.conf" -e "$state/nginx/error.log"
    wait_for_port
}

stop_nginx() {
    local state=$1
    [ -f "$state/nginx/nginx.pid" ] && kill "$(cat "$state/nginx/nginx.pid")" 2>/dev/null || true
    sleep 0.2
}

# lighttpd serving $1 on 127.0.0.1:80; state under $2.
start_lighttpd() {
    local root=$1 state=$2
    mkdir -p "$state/lighttpd"
    cat >"$state/lighttpd/lighttpd.conf" <<CONF
server.document-root = "$root"
server.bind = "127.0.0.1"
server.port = 80
server.pid-file = "$state/lighttpd/lighttpd.pid"
server.errorlog = "$state/lighttpd/error.log"
server.username = ""
CONF
    lighttpd -f "$state/lighttpd/lighttpd.conf"
    wait_for_port
}

stop_lighttpd() {
    local state=$1
    [ -f "$state/lighttpd/lighttpd.pid" ] && kill "$(cat "$state/lighttpd/lighttpd.pid")" 2>/dev/null || true
    sleep 0.2
}

wait_for_port() {
    for _ in $(seq 1 50); do
        if (exec 3<>"/dev/tcp/127.0.0.1/${1:-80}") 2>/dev/null; then
            return 0
        fi
        sleep 0.1
    done
    echo "the server did not come up on port ${1:-80}" >&2
    return 1
}

# A program folder with its own copy of tandu-cli, settings and definitions.
# $1: the build's program folder, $2: the new folder, $3: buffer setting.
make_program() {
    local from=$1 to=$2 buffer=${3:-512KB}
    mkdir -p "$to/definitions"
    cp "$from/tandu-cli" "$to/"
    printf '1.0\r\n4\r\n\r\n%s\r\n' "$buffer" >"$to/config.cfg"
}

# A waiting download: $1 program folder, $2 name, $3 URL, $4 destination folder, $5 connections.
add_waiting() {
    printf '%s\r\nWaiting\r\n%s\r\n%s\r\n%s\r\n' "$2" "$3" "$4" "$5" >"$1/definitions/$2.def"
}
