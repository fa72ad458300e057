#!/usr/bin/env bash
# Both programs explain themselves: --help lists everything, an unknown option
# gets the usage and status 2, the "-url" forms are no unknown options.
set -euo pipefail
source "$(dirname "$0")/lib/servers.sh"
source "$(dirname "$0")/lib/downloads.sh"
bin="$1"
dir=$(mktemp -d)
work=$dir
started=()
trap 'kill "${started[@]}" 2>/dev/null || true; rm -rf "$dir"' EXIT

# tandu-cli: every command it runs is in --help, and every command in --help runs.
commands=(list add add-list add-seq get cancel export check prefs)
"$bin/tandu-cli" --help >"$dir/help" 2>"$dir/err" || fail "tandu-cli --help exited $?"
[ ! -s "$dir/err" ] || fail "tandu-cli --help wrote to stderr"
listed=$(sed -n 's/^  \([a-z][a-z-]*\)\( .*\)\{0,1\}$/\1/p' "$dir/help" | sort | tr '\n' ' ')
[ "$listed" = "$(printf '%s\n' "${commands[@]}" | sort | tr '\n' ' ')" ] ||
    fail "tandu-cli --help lists '$listed'"
grep -q -- '--version' "$dir/help" || fail "--version is not in the help"
make_program "$bin" "$dir/cli"
for command in "${commands[@]}"; do
    (cd "$dir/cli" && ./tandu-cli "$command" </dev/null >/dev/null 2>"$dir/err") || true
    ! grep -q "unknown command" "$dir/err" || fail "$command is not a command"
done
expect_exit 2 "$bin/tandu-cli" frobnicate
grep -q "unknown command 'frobnicate'" "$dir/err" && grep -q '^usage:' "$dir/err" || fail "$(cat "$dir/err")"
expect_exit 2 "$bin/tandu-cli"

# tandu --help needs no display.
[ -x "$bin/tandu" ] || { echo "ok (no window program built)"; exit 0; }
env -u DISPLAY -u WAYLAND_DISPLAY "$bin/tandu" --help >"$dir/help" 2>"$dir/err" ||
    fail "tandu --help exited $?"
grep -q '^usage: tandu' "$dir/help" && [ ! -s "$dir/err" ] || fail "tandu --help: $(cat "$dir/help" "$dir/err")"

# The window program in its own folder, on the offscreen platform, with a
# private runtime folder so it never meets another running window.
prog="$dir/prog"
make_program "$bin" "$prog"
cp "$bin/tandu" "$prog/"
mkdir -m 700 "$dir/run"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$dir/run" TMPDIR="$dir"

refused() {  # $1: the option named in the message, then the arguments
    local named=$1 && shift
    expect_exit 2 timeout 10 "$prog/tandu" "$@"
    grep -qF "tandu: unknown option '$named'" "$dir/err" && grep -q '^usage: tandu' "$dir/err" ||
        fail "tandu $*: $(cat "$dir/err")"
    [ ! -s "$dir/out" ] || fail "tandu $*: wrote to stdout"
}
refused --bogus --bogus
refused -x -x "-url http://host/a.zip"
# Qt's own options are Qt's: only what is left is judged.
refused --later -style Fusion --later
refused -urx "-url http://host/a.zip" -urx

# The -url forms start the window (and stay, until killed).
runs() {
    "$prog/tandu" "$@" >"$dir/out" 2>"$dir/err" &
    local pid=$!
    started+=("$pid")
    sleep 1.5
    kill -0 "$pid" 2>/dev/null || fail "tandu $* ended: $(cat "$dir/err")"
    ! grep -q "unknown option" "$dir/err" || fail "tandu $*: $(cat "$dir/err")"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}
runs "-url http://host/a.zip"
runs -url http://host/a.zip
runs -url -looks-like-an-option
echo ok
