# Helpers for the real-browser scripts: a lab site behind a login, a desktop
# with a window manager, and a program folder whose host the browsers find.
# Needs servers.sh and downloads.sh.

# nginx on 127.0.0.1:80 (inside the script's own namespace): /login sets a
# session cookie and leads to /page, whose one link fills the window;
# /files/ serves only with that cookie and /page as Referer, else a 403 page.
# The file served is $1/www/files/report.bin.
start_lab_site() {
    local work=$1 token
    token=$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')
    mkdir -p "$work/www/files" "$work/nginx"
    chmod 755 "$work"  # nginx reads as its own user
    head -c 3000001 /dev/urandom >"$work/www/files/report.bin"
    cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon on;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 64; }
http {
    log_format lab '\$status \$request_method \$uri "\$http_user_agent" "\$http_referer" \$cookie_session';
    access_log $work/nginx/access.log lab;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    server {
        listen 127.0.0.1:80;
        root $work/www;
        location = /login {
            add_header Set-Cookie "session=$token; Path=/; HttpOnly";
            return 302 http://127.0.0.1/page;
        }
        location = /page {
            default_type text/html;
            return 200 '<html><title>lab page</title><body style="margin:0"><a href="/files/report.bin" style="display:block;width:100vw;height:100vh;font-size:40px">report</a></body></html>';
        }
        location /files/ {
            set \$allowed "\$cookie_session|\$http_referer";
            if (\$allowed != "$token|http://127.0.0.1/page") { return 403 '<html>Please log in</html>'; }
        }
    }
}
CONF
    nginx -c "$work/nginx/nginx.conf" -e "$work/nginx/error.log"
    wait_for_port
}

# Xvfb with openbox, as a desktop has: menus and focus behave as for a user.
start_desktop() {
    start_xvfb "$1"
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    for _ in $(seq 300); do xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW && return 0; sleep 0.1; done
    fail "openbox did not start"
}

# A program folder $2 made from the build $1: the window, its host and the
# extension, settings that start downloads at once into $3, the host's
# manifests in $HOME.
make_browser_program() {
    local bin=$1 prog=$2 downloads=$3
    mkdir -p "$prog/definitions" "$downloads"
    cp -r "$bin/tandu" "$bin/tandu-host" "$bin/tanduxt" "$bin/tanduxt.xpi" "$prog/"
    printf '1.0\r\n4\r\n%s/\r\n512KB\r\n1\r\nStartAtOnce=1\r\n' "$downloads" >"$prog/config.cfg"
    "$prog/tandu-host" --register >/dev/null
}

# Ends the windows started from the program folder $1 (by the host, so no child of ours).
stop_program() {
    local pid
    for pid in $(pgrep -x tandu || true); do
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" != "$1/tandu" ] || kill "$pid" 2>/dev/null || true
    done
}

# Brings the window $1 to the front (focuses it where the manager will not) and presses the keys $2.
press_in() {
    local id
    id=$(xdotool search --onlyvisible --name "$1" | head -n 1)
    [ -n "$id" ] || fail "no window '$1'"
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
    [ -z "$2" ] || xdotool key --delay 150 $2
}

# A tool these tests need is missing: the script cannot run (a failure unless
# TANDU_ALLOW_SKIP=1, see run_script.sh).
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "cannot run: $tool is not installed (scripts/deps.sh installs it)"; exit 77; }
    done
}

# Right-clicks the middle of the window titled $1 and picks "Download with
# Tandu" by the keys $2 (its place in the menu differs per browser).
right_click_entry() {
    press_in "$1" ""
    eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name "$1" | head -n 1)")"
    xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
    sleep 1
    xdotool key --delay 150 $2
}

# Opens the extension's options ($1) in a new tab of the window titled $2,
# where the session box has the focus, presses the keys $3 there and closes the tab.
set_options() {
    press_in "$2" ctrl+t
    sleep 1.5
    xdotool key ctrl+l
    sleep 0.3
    xdotool type --delay 20 "$1"
    xdotool key Return
    sleep 2
    for key in $3; do xdotool key "$key"; sleep 0.8; done  # an access prompt takes a moment
    xdotool key ctrl+w
    sleep 1
}

# The lab site's file, from a right-click in the browser whose window is
# titled $1 (menu keys $2, options page $3, access prompt keys $4), with the
# session option on: it must arrive whole under the browser's name. Then
# with the option off the same link must fail at the site.
session_download() {
    local title=$1 keys=$2 page=$3 allow=$4 file="$dir/downloads/report.bin"
    wait_window "$title" shown
    set_options "$page" "$title" "space $allow"
    right_click_entry "$title" "$keys"
    wait_window "Add URL to Download" shown
    press_in "^Add URL to Download\$" Return
    # The list's order file stays; the download's own files go.
    left() { ls "$prog/definitions" | grep -vx list.order; }
    for _ in $(seq 150); do [ -z "$(left)" ] && break; sleep 0.2; done
    cmp "$file" "$dir/www/files/report.bin" || fail "no whole file: $(tail -n 3 "$dir/nginx/access.log")"
    [ -z "$(left)" ] || fail "left in definitions/: $(left)"
    echo "ok: $title: the file behind the login arrived whole as report.bin"

    set_options "$page" "$title" space
    right_click_entry "$title" "$keys"
    wait_window "Add URL to Download" shown
    press_in "^Add URL to Download\$" Return
    wait_window "Error" shown
    [ ! -e "$dir/downloads/report (2).bin" ] || fail "without the session the file still came"
    grep '/files/' "$dir/nginx/access.log" | tail -n 1 | grep -q '^403 ' || fail "the site did not refuse: $(tail -n 2 "$dir/nginx/access.log")"
    press_in "^Error\$" Return
    echo "ok: $title: without the session option the site refused the link"
}

# What a browser test stands on, in a fresh $dir removed at exit: a HOME and
# runtime folder of its own, the lab site, a desktop, and the program at $prog
# saving into $dir/downloads. $1 the browser's package, $2 the build's bin folder.
browser_lab() {
    need "$1" Xvfb openbox xdotool nginx
    local bin
    bin=$(cd "$2" && pwd)
    dir=$(mktemp -d)
    trap 'kill ${browser:-} ${wm:-} ${xvfb:-} 2>/dev/null; stop_program "$prog"; stop_nginx "$dir"; rm -rf "$dir"' EXIT
    export LC_ALL=C.UTF-8 HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir"
    mkdir -p "$HOME" && mkdir -m 700 "$dir/run"
    prog="$dir/prog"
    start_lab_site "$dir"
    start_desktop "$dir"
    make_browser_program "$bin" "$prog" "$dir/downloads"
}
