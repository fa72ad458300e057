# Checks shared by the end-to-end scripts. check_download needs servers.sh.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Downloads $2 (served from $3/www) into a fresh program folder with $4
# connections and checks the result. $1: the build's program folder.
check_download() {
    local build=$1 name=$2 work=$3 connections=$4
    local prog="$work/prog-$name-$connections" dest="$work/dl-$name-$connections/"
    rm -rf "$prog" "$dest"
    mkdir -p "$dest"
    make_program "$build" "$prog"
    add_waiting "$prog" "$name" "http://localhost/$name" "$dest" "$connections"
    local out="$work/out-$name-$connections" err="$work/err-$name-$connections"
    local status=0
    "$prog/tandu-cli" get "$name" >"$out" 2>"$err" || status=$?
    if [ "$status" -ne 0 ]; then
        cat "$err" >&2
        fail "$name over $connections connections: tandu-cli exited $status"
    fi
    cmp "$work/www/$name" "$dest$name" || fail "$name over $connections connections differs"
    [ ! -e "$prog/definitions/$name.def" ] || fail "$name.def is left"
    [ ! -e "$prog/definitions/$name.dwn" ] || fail "$name.dwn is left"
    # The last figures of the row: Completed, "-" for speed and time left.
    tail -n 1 "$out" | tr '\r' '\n' | tail -n 1 | grep -q "^$name  Completed  .*KB  -  -  \[#*\] 100%$" ||
        fail "$name: last line is '$(tail -n 1 "$out")'"
    [ ! -s "$err" ] || fail "$name: unexpected messages: $(cat "$err")"
    echo "ok: $name over $connections connections"
}

# Files whose sizes are awkward for piece plans.
make_files() {
    local www=$1
    mkdir -p "$www"
    head -c 3000001 /dev/urandom >"$www/odd.bin"
    head -c 5 /dev/urandom >"$www/five.bin"
    : >"$www/empty.bin"
}

# Runs "$@" with its output in $work/out and $work/err; fails unless it exits $1.
expect_exit() {
    local want=$1 status=0
    shift
    "$@" >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq "$want" ] || fail "$* exited $status, not $want: $(cat "$work/err")"
}

# Xvfb on a display it picks itself (a fixed number may be another test's);
# its number is written under $1.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$1/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
    [ -s "$1/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$1/display")" QT_QPA_PLATFORM=xcb
}

# The X window titled exactly $1, if one is shown (mapped: only then can it take the focus).
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }

# Waits until the window titled $1 is "shown" or "gone" ($2).
wait_window() {
    for _ in $(seq 100); do
        if [ -n "$(window "$1")" ]; then [ "$2" = shown ] && return 0; else [ "$2" = gone ] && return 0; fi
        sleep 0.1
    done
    fail "window '$1' not $2"
}
