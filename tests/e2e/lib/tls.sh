# A test CA, nginx with TLS, private host names. Needs servers.sh, enter_netns.

# $1: "ADDRESS NAME..." lines over /etc/hosts, in this script's mount namespace.
use_hosts() {
    printf '%s\n' "$1" >"$work/hosts"
    mount --bind "$work/hosts" /etc/hosts
}

# In $1: ca.crt, the test CA; good.crt for good.test signed by it, and
# rogue.crt for good.test signed by a CA nobody trusts.
make_certificates() {
    local ec=(-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes) leaf
    mkdir -p "$1" && cd "$1"
    printf 'subjectAltName=DNS:good.test\nbasicConstraints=CA:FALSE\n' >leaf.ext
    for leaf in good:ca rogue:rogue-ca; do
        openssl req -x509 "${ec[@]}" -keyout "${leaf#*:}.key" -out "${leaf#*:}.crt" -days 2 \
            -subj "/CN=${leaf#*:}" 2>/dev/null
        openssl req "${ec[@]}" -keyout "${leaf%:*}.key" -out leaf.csr -subj /CN=good.test 2>/dev/null
        openssl x509 -req -in leaf.csr -CA "${leaf#*:}.crt" -CAkey "${leaf#*:}.key" -days 2 \
            -CAcreateserial -extfile leaf.ext -out "${leaf%:*}.crt" 2>/dev/null
    done
    cd - >/dev/null
}

# nginx serving $1 (state and certificates in $2): https on 443 and 8443
# (rogue), http on 80 and 8080 (also IPv6); /down goes https->http, /up back.
start_nginx_tls() {
    local root=$1 state=$2 pki=$2/pki temp
    make_certificates "$pki"
    mkdir -p "$state/nginx"
    temp=$(for t in client_body proxy fastcgi uwsgi scgi; do echo "${t}_temp_path $state/nginx/$t;"; done)
    cat >"$state/nginx/nginx.conf" <<CONF
pid $state/nginx/nginx.pid;
error_log $state/nginx/error.log;
events {}
http {
    # What requests carried besides their request line.
    log_format exact '\$request|\$http_host|\$http_user_agent|\$http_accept|\$http_range|\$http_accept_encoding';
    access_log $state/nginx/access.log exact;
    $temp
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
        # As servers that refuse requests without a User-Agent do.
        location /agent/ {
            alias $root/;
            if (\$http_user_agent = "") { return 403; }
        }
    }
}
CONF
    nginx -c "$state/nginx/nginx.conf" -e "$state/nginx/error.log"
    wait_for_port
}

# faults.py on port $1 in the background, its pid in $faults_pid.
start_faults() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/faults.py" "$1" &
    faults_pid=$!
    wait_for_port "$1"
}
