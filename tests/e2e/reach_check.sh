#!/usr/bin/env bash
# tandu-cli check against real servers, private host names and a test CA: each
# case ends with the answer or a clear message in time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for lib in servers downloads tls; do source "$here/lib/$lib.sh"; done
build=$(cd "$1" && pwd)
require unshare ip nginx openssl python3 mount
enter_netns "$0" "$build"

work=$(mktemp -d /tmp/tandu-e2e-XXXXXX) && chmod 755 "$work"
trap 'stop_nginx "$work"; kill "${faults_pid:-0}" 2>/dev/null; rm -rf "$work"' EXIT
use_hosts "127.0.0.1 good.test other.test"
mkdir -p "$work/www" && head -c 1000 /dev/urandom >"$work/www/file.bin"
start_nginx_tls "$work/www" "$work"
start_faults 8081
make_program "$build" "$work/prog"
export SSL_CERT_FILE="$work/pki/ca.crt"

# $1 URL, $2 exit status, $3 text the output must hold, $4 most seconds.
expect_check() {
    local status=0 started=$SECONDS
    "$work/prog/tandu-cli" check "$1" >"$work/out" 2>&1 || status=$?
    [ "$status" -eq "$2" ] || fail "check $1 exited $status: $(cat "$work/out")"
    grep -qF -- "$3" "$work/out" || fail "check $1 said: $(cat "$work/out")"
    [ $((SECONDS - started)) -le "${4:-10}" ] || fail "check $1 took $((SECONDS - started)) s"
    echo "ok: $1"
}
expect_check http://good.test/file.bin 0 "HTTP/1.1 200 OK"
# Port 80 gets the one request form: Host, User-Agent, no encoding.
[ "$(tail -n 1 "$work/nginx/access.log")" = "HEAD /file.bin HTTP/1.1|good.test|Tandu/1.0|*/*|-|identity" ] ||
    fail "plain request: $(tail -n 1 "$work/nginx/access.log")"
expect_check https://good.test/file.bin 0 "HTTP/1.1 200 OK"
expect_check http://good.test:8080/file.bin 0 "Content-Length: 1000"
expect_check "http://[::1]:8080/file.bin" 0 "HTTP/1.1 200 OK"
expect_check http://good.test/up 0 "HTTP/1.1 200 OK"
expect_check https://other.test/file.bin 1 "Error: The secure connection to other.test:443 was refused: SSL: no alternative certificate subject name matches target host name 'other.test'"
expect_check https://good.test:8443/file.bin 1 "Error: The secure connection to good.test:8443 was refused: SSL certificate problem: unable to get local issuer certificate"
expect_check https://good.test/down 1 "Error: Refused a redirect from https to http (http://good.test/file.bin): the download would not be encrypted."
expect_check http://good.test:8081/redirect/11 1 "Error: More than 10 redirects from http://good.test:8081/redirect/11."
expect_check http://good.test:8081/head405/5 0 "HTTP/1.1 405 Method Not Allowed"
expect_check http://good.test:8081/silent 1 "Error: No answer from good.test:8081 for 30 seconds." 40
# Without the test CA the system store knows no such issuer.
SSL_CERT_FILE= expect_check https://good.test/file.bin 1 "SSL certificate problem: unable to get local issuer certificate"
