# TLS and host names for end-to-end scripts: a test CA made at run time,
# nginx with TLS, and a private hosts file. Needs servers.sh.

# Like enter_netns, with a mount namespace as well, so that use_hosts can
# lay a private hosts file over /etc/hosts for this script alone.
enter_netns_with_hosts() {
    if [ -n "${TANDU_IN_NETNS:-}" ]; then
        ip link set lo up
        return 0
    fi
    unshare -n -m true 2>/dev/null || { echo "skipped: unshare -n -m is not permitted here"; exit 77; }
    TANDU_IN_NETNS=1 exec unshare -n -m bash "$@"
}

# $1: lines "ADDRESS NAME...", which the resolver (and so libcurl) reads.
use_hosts() {
    printf '%s\n' "$1" >"$work/hosts"
    mount --bind "$work/hosts" /etc/hosts
}

# In $1: ca.crt (trusted by the tests), good.crt/key for good.test signed by
# it, and rogue.crt/key for good.test signed by a CA nobody trusts.
make_certificates() {
    local dir=$1
    mkdir -p "$dir"
    local ec=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes)
    for ca in ca rogue-ca; do
        openssl req -x509 "${ec[@]}" -keyout "$dir/$ca.key" -out "$dir/$ca.crt" -days 2 \
            -subj "/CN=Tandu $ca" 2>/dev/null
    done
    for leaf in good:ca rogue:rogue-ca; do
        local name=${leaf%%:*} ca=${leaf##*:}
        openssl req "${ec[@]}" -keyout "$dir/$name.key" -out "$dir/$name.csr" \
            -subj "/CN=good.test" 2>/dev/null
        printf 'subjectAltName=DNS:good.test\nbasicConstraints=CA:FALSE\n' >"$dir/$name.ext"
        openssl x509 -req -in "$dir/$name.csr" -CA "$dir/$ca.crt" -CAkey "$dir/$ca.key" \
            -CAcreateserial -days 2 -extfile "$dir/$name.ext" -out "$dir/$name.crt" 2>/dev/null
    done
}

# nginx serving $1: https on 443 (good.crt) and 8443 (rogue.crt), http on 80
# and 8080, IPv4 and IPv6 loopback; /down redirects https to http, /up the
# other way. State under $2, certificates in $3.
start_nginx_tls() {
    local root=$1 state=$2 pki=$3
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
    root $root;
    server {
        listen 127.0.0.1:443 ssl;
        ssl_certificate $pki/good.crt;
        ssl_certificate_key $pki/good.key;
        location = /down { return 301 http://good.test/file.bin; }
    }
    server {
        listen 127.0.0.1:8443 ssl;
        ssl_certificate $pki/rogue.crt;
        ssl_certificate_key $pki/rogue.key;
    }
    server {
        listen 127.0.0.1:80;
        listen 127.0.0.1:8080;
        listen [::1]:8080;
        location = /up { return 302 https://good.test/file.bin; }
    }
}
CONF
    nginx -c "$state/nginx/nginx.conf" -e "$state/nginx/error.log"
    wait_for_port
}

# The fault server (faults.py) on $1, in the background; its pid in $faults_pid.
start_faults() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/faults.py" "$1" &
    faults_pid=$!
    for _ in $(seq 1 50); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the fault server did not come up on port $1"
}
